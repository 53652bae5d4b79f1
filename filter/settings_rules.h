// What a setting typed by a person must be: the ranges of the two numbers, and the one way a typed
// number is read. The terminal form checks its answers with these, and a host's own settings
// command can call the very same code. (The Windows dialog reads its fields as the Windows dialog
// manager does instead: see dialog/dialog_rules.h.)
#ifndef QUINDLE_FILTER_SETTINGS_RULES_H
#define QUINDLE_FILTER_SETTINGS_RULES_H

#include <cstdint>

namespace quindle {

struct NumberRange {
  uint64_t least;
  uint64_t most;
};

// Levels are a signed field: no more than its largest positive value.
constexpr NumberRange kDirLevelsRange = {0, 2147483647u};
// Every directory holds fewer entries than this.
constexpr NumberRange kMaxFilesRange = {1, 4294967295u};

// Reads `text` as a plain decimal number: digits only (no sign, blanks or suffix), at most 20 of
// them, and within `range`. Otherwise (null and empty text too) false, and `value` is left alone.
bool readPlainNumber(const char* text, NumberRange range, uint64_t* value);

}  // namespace quindle

#endif
