#include "dialog/dialog_rules.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

TEST(DialogNumbers, ReadLikeTheWindowsDialogManager) {
  EXPECT_EQ(readDialogNumber("12abc"), 12u);
  EXPECT_EQ(readDialogNumber("  42"), 42u);
  EXPECT_EQ(readDialogNumber("007"), 7u);
  EXPECT_EQ(readDialogNumber("4294967295"), 4294967295u);
  EXPECT_EQ(readDialogNumber("2147483648"), 2147483648u);
  EXPECT_EQ(readDialogNumber("1 2"), 1u);
  for (const char* unreadable : {"", "abc", "-3", "+3", " -1", "4294967296", "99999999999999999999"}) {
    EXPECT_EQ(readDialogNumber(unreadable), 0u) << unreadable;
  }
  EXPECT_EQ(readDialogNumber(nullptr), 0u);
}

TEST(DialogPlacement, BringsARememberedCornerBackOntoTheScreen) {
  const ScreenPlacement far = placeOnScreen({2000, 50}, 1024, 768);
  EXPECT_TRUE(far.known);
  EXPECT_EQ(far.corner.x, 924);
  EXPECT_EQ(far.corner.y, 50);

  const ScreenPlacement partlyOff = placeOnScreen({-30, 900}, 1024, 768);
  EXPECT_TRUE(partlyOff.known);
  EXPECT_EQ(partlyOff.corner.x, 0) << "a negative coordinate comes back as 0";
  EXPECT_EQ(partlyOff.corner.y, 668);

  // Without a display size both coordinates end at 0, which means unknown next time.
  const ScreenPlacement noDisplay = placeOnScreen({500, 400}, 0, 0);
  EXPECT_EQ(noDisplay.corner.x, 0);
  EXPECT_EQ(noDisplay.corner.y, 0);

  EXPECT_FALSE(placeOnScreen({0, 50}, 1024, 768).known);
  EXPECT_FALSE(placeOnScreen({50, 0}, 1024, 768).known);
  EXPECT_EQ(placeOnScreen({INT32_MIN, INT32_MAX}, 1024, 768).corner.y, 668);
}

TEST(DialogPlacement, CentresOnTheOwnerTruncatingTowardZero) {
  const DialogPosition inside = centredOn({100, 100, 501, 400}, {0, 0, 200, 151});
  EXPECT_EQ(inside.x, 100 + 201 / 2);
  EXPECT_EQ(inside.y, 100 + 149 / 2);
  // A dialog wider than its owner: the odd negative half truncates toward zero, not down.
  const DialogPosition wider = centredOn({10, 10, 110, 60}, {0, 0, 301, 101});
  EXPECT_EQ(wider.x, 10 - 100);
  EXPECT_EQ(wider.y, 10 - 25);
}

}  // namespace
}  // namespace quindle
