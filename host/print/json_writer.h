// The one JSON writer of the host: every JSON document it prints (a listing, the settings) is
// written through it, so escaping and commas are done in one place. It writes as it goes, so a
// huge listing is never held in memory; it keeps one small record per open container.
//
// An array may be laid out one item a line, indented by the arrays of that kind around it:
//   {"entries": [
//     {"name": "a", "children": [
//       {"name": "b"}]}]}
// Everything else stays on the line it starts on.
#ifndef QUINDLE_HOST_PRINT_JSON_WRITER_H
#define QUINDLE_HOST_PRINT_JSON_WRITER_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace quindle_host {

// A UTF-8 string as a quoted JSON string. Quotes and backslashes are escaped, and so is every
// control character (C0, DEL and C1), so names with odd bytes can neither break the document nor
// reach a terminal raw. The input must be valid UTF-8 (see module_text.h).
std::string jsonString(const std::string& utf8);

enum class JsonLayout { inline_items, item_per_line };

struct JsonContainer {
  JsonLayout layout;
  bool empty;
};

struct JsonWriter {
  std::FILE* out;
  std::vector<JsonContainer> open;
  bool afterKey = false;
};

void openJsonObject(JsonWriter& json);
void closeJsonObject(JsonWriter& json);
void openJsonArray(JsonWriter& json, JsonLayout layout);
void closeJsonArray(JsonWriter& json);

// The key of the object's next member; its value follows.
void writeJsonKey(JsonWriter& json, const char* key);
void writeJsonString(JsonWriter& json, const std::string& utf8);
void writeJsonNumber(JsonWriter& json, int64_t number);
void writeJsonUnsigned(JsonWriter& json, uint64_t number);
void writeJsonBool(JsonWriter& json, bool value);
void writeJsonNull(JsonWriter& json);

// Ends the document with a newline and flushes it; false when any of it could not be written.
bool finishJson(JsonWriter& json);

}  // namespace quindle_host

#endif
