// The Windows settings dialog's rules that need no window, so that they are tested on every build:
// how the dialog reads a typed number, and where it goes on the screen.
#ifndef QUINDLE_DIALOG_DIALOG_RULES_H
#define QUINDLE_DIALOG_DIALOG_RULES_H

#include <cstdint>

#include "filter/filter_api.h"

namespace quindle {

// Reads a dialog field as an unsigned number: leading blanks are skipped, then the decimal digits
// up to the first other character ("12abc" is 12). Text that does not start with a digit ("",
// "abc", "-3") and values above 4294967295 read as 0.
uint32_t readDialogNumber(const char* text);

// Brings a remembered top-left corner back onto a screen of the given size: each coordinate is
// lowered to size - 100 if larger, then raised to 0 if not positive. A zero coordinate means no
// position is known: then `known` is false and the dialog is to be centred instead.
struct ScreenPlacement {
  bool known;
  DialogPosition corner;
};
ScreenPlacement placeOnScreen(DialogPosition remembered, int32_t screenWidth, int32_t screenHeight);

// The top-left corner that centres a window on its owner; divisions truncate toward zero.
struct ScreenRect {
  int32_t left, top, right, bottom;
};
DialogPosition centredOn(const ScreenRect& owner, const ScreenRect& dialog);

}  // namespace quindle

#endif
