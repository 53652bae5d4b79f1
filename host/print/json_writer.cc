#include "host/print/json_writer.h"

#include <cinttypes>

#include "filter/text_field.h"

namespace quindle_host {
namespace {

void appendUnicodeEscape(std::string& out, unsigned code) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04x", code);
  out += escape;
}

// What goes before a value or a key: nothing after a key, else a comma after an earlier item,
// and for an item-per-line array a new line indented by the item-per-line arrays open.
void beginItem(JsonWriter& json) {
  if (json.afterKey) {
    json.afterKey = false;
    return;
  }
  if (json.open.empty()) return;
  JsonContainer& container = json.open.back();
  if (!container.empty) std::fputs(",", json.out);
  if (container.layout == JsonLayout::item_per_line) {
    std::fputs("\n", json.out);
    for (const JsonContainer& around : json.open) {
      if (around.layout == JsonLayout::item_per_line) std::fputs("  ", json.out);
    }
  } else if (!container.empty) {
    std::fputs(" ", json.out);
  }
  container.empty = false;
}

void openContainer(JsonWriter& json, char bracket, JsonLayout layout) {
  beginItem(json);
  std::fputc(bracket, json.out);
  json.open.push_back({layout, true});
}

void closeContainer(JsonWriter& json, char bracket) {
  json.open.pop_back();
  std::fputc(bracket, json.out);
}

}  // namespace

std::string jsonString(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size() + 2);
  out += '"';
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(utf8[i]);
    switch (byte) {
      case '"':
        out += "\\\"";
        continue;
      case '\\':
        out += "\\\\";
        continue;
      case '\n':
        out += "\\n";
        continue;
      case '\r':
        out += "\\r";
        continue;
      case '\t':
        out += "\\t";
        continue;
      default:
        break;
    }
    const size_t control = quindle::controlLength(utf8.data(), utf8.size(), i);
    if (control == 0) {
      out += static_cast<char>(byte);
    } else {
      i += control - 1;
      appendUnicodeEscape(out, static_cast<unsigned char>(utf8[i]));
    }
  }
  out += '"';
  return out;
}

void openJsonObject(JsonWriter& json) { openContainer(json, '{', JsonLayout::inline_items); }

void closeJsonObject(JsonWriter& json) { closeContainer(json, '}'); }

void openJsonArray(JsonWriter& json, JsonLayout layout) { openContainer(json, '[', layout); }

void closeJsonArray(JsonWriter& json) { closeContainer(json, ']'); }

void writeJsonKey(JsonWriter& json, const char* key) {
  beginItem(json);
  std::fprintf(json.out, "%s: ", jsonString(key).c_str());
  json.afterKey = true;
}

void writeJsonString(JsonWriter& json, const std::string& utf8) {
  beginItem(json);
  std::fputs(jsonString(utf8).c_str(), json.out);
}

void writeJsonNumber(JsonWriter& json, int64_t number) {
  beginItem(json);
  std::fprintf(json.out, "%" PRId64, number);
}

void writeJsonUnsigned(JsonWriter& json, uint64_t number) {
  beginItem(json);
  std::fprintf(json.out, "%" PRIu64, number);
}

void writeJsonBool(JsonWriter& json, bool value) {
  beginItem(json);
  std::fputs(value ? "true" : "false", json.out);
}

void writeJsonNull(JsonWriter& json) {
  beginItem(json);
  std::fputs("null", json.out);
}

bool finishJson(JsonWriter& json) {
  std::fputs("\n", json.out);
  return std::fflush(json.out) == 0 && !std::ferror(json.out);
}

}  // namespace quindle_host
