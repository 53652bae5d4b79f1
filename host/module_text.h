// The module's text (names, sizes, titles, paths) is 8-bit text in the system's ANSI code page.
// The host shows it as UTF-8. On Windows the ANSI code page is converted. Elsewhere there is no
// ANSI code page: valid UTF-8 sequences pass through (dictionaries there are usually UTF-8), and
// every other byte is read as Windows-1252. The result is always valid UTF-8.
#ifndef QUINDLE_HOST_MODULE_TEXT_H
#define QUINDLE_HOST_MODULE_TEXT_H

#include <cstddef>
#include <string>

namespace quindle_host {

// Reads up to the first zero byte, and never more than `fieldSize` bytes.
std::string moduleTextToUtf8(const char* text, size_t fieldSize);

// The length of the control character at `i` in valid UTF-8 (C0 and DEL take one byte, the C1
// controls two), or 0 where there is none. Text from the module or the user that reaches a
// terminal raw could move its cursor, ring its bell or change its colours.
size_t controlLength(const std::string& utf8, size_t i);

// `utf8` with every control character shown as '?'.
std::string withoutControls(const std::string& utf8);

}  // namespace quindle_host

#endif
