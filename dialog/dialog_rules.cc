#include "dialog/dialog_rules.h"

namespace quindle {
namespace {

int32_t clampCoordinate(int32_t value, int32_t screenSize) {
  const int64_t highest = static_cast<int64_t>(screenSize) - 100;
  int64_t clamped = value > highest ? highest : value;
  if (clamped <= 0) clamped = 0;
  return static_cast<int32_t>(clamped);
}

}  // namespace

uint32_t readDialogNumber(const char* text) {
  if (!text) return 0;
  while (*text == ' ' || *text == '\t') ++text;
  if (*text < '0' || *text > '9') return 0;
  uint64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + static_cast<uint64_t>(*text - '0');
    if (value > UINT32_MAX) return 0;
  }
  return static_cast<uint32_t>(value);
}

ScreenPlacement placeOnScreen(DialogPosition remembered, int32_t screenWidth,
                              int32_t screenHeight) {
  if (remembered.x == 0 || remembered.y == 0) return {false, remembered};
  return {true,
          {clampCoordinate(remembered.x, screenWidth), clampCoordinate(remembered.y, screenHeight)}};
}

DialogPosition centredOn(const ScreenRect& owner, const ScreenRect& dialog) {
  const int32_t ownerWidth = owner.right - owner.left, ownerHeight = owner.bottom - owner.top;
  const int32_t width = dialog.right - dialog.left, height = dialog.bottom - dialog.top;
  return {owner.left + (ownerWidth - width) / 2, owner.top + (ownerHeight - height) / 2};
}

}  // namespace quindle
