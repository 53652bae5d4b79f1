// The module's text (names, sizes, titles, paths) is 8-bit text in the system's ANSI code page.
// The host shows it as UTF-8. On Windows the ANSI code page is converted. Elsewhere there is no
// ANSI code page: valid UTF-8 sequences pass through (dictionaries there are usually UTF-8), and
// every other byte is read as Windows-1252. The result is always valid UTF-8.
#ifndef QUINDLE_HOST_PRINT_MODULE_TEXT_H
#define QUINDLE_HOST_PRINT_MODULE_TEXT_H

#include <cstddef>
#include <string>

namespace quindle_host {

// Reads up to the first zero byte, and never more than `fieldSize` bytes.
std::string moduleTextToUtf8(const char* text, size_t fieldSize);

// `utf8` with every control character (see controlLength in filter/text_field.h) shown as '?'.
std::string withoutControls(const std::string& utf8);

}  // namespace quindle_host

#endif
