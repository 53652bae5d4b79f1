#include "host/json_text.h"

#include <gtest/gtest.h>

#include "host/module_text.h"

namespace quindle_host {
namespace {

TEST(JsonText, EscapesQuotesBackslashesAndEveryControlCharacter) {
  EXPECT_EQ(jsonString("plain words"), "\"plain words\"");
  EXPECT_EQ(jsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(jsonString("\n\r\t\x01\x1f\x7f"), "\"\\n\\r\\t\\u0001\\u001f\\u007f\"");
  EXPECT_EQ(jsonString("\xc2\x80\xc2\x9f"), "\"\\u0080\\u009f\"");  // C1 controls
  EXPECT_EQ(jsonString("caf\xc3\xa9 \xe2\x82\xac"), "\"caf\xc3\xa9 \xe2\x82\xac\"");
}

TEST(ModuleText, StopsAtTheZeroOrTheFieldsEnd) {
  const char field[4] = {'a', 'b', 'c', 'd'};  // no zero byte within the field
  EXPECT_EQ(moduleTextToUtf8(field, sizeof field), "abcd");
  EXPECT_EQ(moduleTextToUtf8("ab\0cd", 5), "ab");
  EXPECT_EQ(moduleTextToUtf8("", 1), "");
}

}  // namespace
}  // namespace quindle_host
