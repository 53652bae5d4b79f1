#include "host/print/json_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "host/print/module_text.h"

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

// What `write` puts into a document, as text.
std::string written(const std::function<void(JsonWriter&)>& write) {
  std::FILE* file = std::tmpfile();
  JsonWriter json{file, {}};
  write(json);
  finishJson(json);
  std::string text(static_cast<size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  text.resize(std::fread(&text[0], 1, text.size(), file));
  std::fclose(file);
  return text;
}

// Commas go between items only, empty containers stay closed on their line, and items of a
// line-per-item array are indented by the line-per-item arrays around them.
TEST(JsonWriter, PutsCommasBetweenItemsAndLinesWhereTheLayoutAsks) {
  EXPECT_EQ(written([](JsonWriter& json) {
              openJsonObject(json);
              writeJsonKey(json, "n");
              writeJsonNumber(json, -3);
              writeJsonKey(json, "u");
              writeJsonUnsigned(json, UINT64_MAX);
              writeJsonKey(json, "flags");
              openJsonArray(json, JsonLayout::inline_items);
              writeJsonBool(json, true);
              writeJsonNull(json);
              closeJsonArray(json);
              writeJsonKey(json, "none");
              openJsonArray(json, JsonLayout::item_per_line);
              closeJsonArray(json);
              closeJsonObject(json);
            }),
            "{\"n\": -3, \"u\": 18446744073709551615, \"flags\": [true, null], \"none\": []}\n");
  EXPECT_EQ(written([](JsonWriter& json) {
              openJsonObject(json);
              writeJsonKey(json, "entries");
              openJsonArray(json, JsonLayout::item_per_line);
              openJsonObject(json);
              writeJsonKey(json, "children");
              openJsonArray(json, JsonLayout::item_per_line);
              writeJsonString(json, "a\"");
              writeJsonString(json, "b");
              closeJsonArray(json);
              closeJsonObject(json);
              openJsonObject(json);
              closeJsonObject(json);
              closeJsonArray(json);
              closeJsonObject(json);
            }),
            "{\"entries\": [\n  {\"children\": [\n    \"a\\\"\",\n    \"b\"]},\n  {}]}\n");
}

}  // namespace
}  // namespace quindle_host
