// The settings form on a text terminal, for builds without a window system: the same fields as
// the dialog, asked one after another, with the dialog's effects. Each answer is checked with the
// rules the reference host's settings command applies too (filter/settings_rules.h and
// checkDictionaryChoice in platform/dictionary_file.h): levels from 0 to 2147483647 and max files
// from 1 to 4294967295, typed as plain decimal numbers, and a dictionary that is a readable
// regular file, stored as its absolute path. A bad answer gets a one-line reason and the same
// question again. An empty answer keeps what the field shows; "-" as the dictionary means none. A
// dictionary is chosen (stored at once, line count reset) as soon as it is typed; the last
// question is OK or Cancel. The end of input counts as Cancel. The stored path is shown with its
// control characters as '?', so that none of them acts on the terminal. A damaged stored value
// (negative levels or line count, a file bound of 0) is never kept: the numbers show their
// defaults, and the count is made afresh.
#ifndef QUINDLE_DIALOG_TERMINAL_FORM_H
#define QUINDLE_DIALOG_TERMINAL_FORM_H

#include <cstdio>

#include "filter/filter_api.h"

namespace quindle {

// Returns 1 after OK, 0 after Cancel.
int runTerminalForm(std::FILE* in, std::FILE* out, FilterPrefs* prefs);

}  // namespace quindle

#endif
