// The settings form on a text terminal, for builds without a window system: the same fields as
// the dialog, asked one after another, with the dialog's effects. An empty answer keeps what the
// field shows; numbers are read by the dialog's rule; typing a dictionary path is choosing that
// file (stored at once, line count reset); the last question is OK or Cancel. The end of input
// counts as Cancel.
#ifndef QUINDLE_DIALOG_TERMINAL_FORM_H
#define QUINDLE_DIALOG_TERMINAL_FORM_H

#include <cstdio>

#include "filter/filter_api.h"

namespace quindle {

// Returns 1 after OK, 0 after Cancel.
int runTerminalForm(std::FILE* in, std::FILE* out, FilterPrefs* prefs);

}  // namespace quindle

#endif
