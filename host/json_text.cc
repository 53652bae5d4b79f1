#include "host/json_text.h"

#include <cstdio>

#include "filter/text_field.h"

namespace quindle_host {
namespace {

void appendUnicodeEscape(std::string& out, unsigned code) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04x", code);
  out += escape;
}

}  // namespace

std::string jsonString(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size() + 2);
  out += '"';
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(utf8[i]);
    switch (byte) {
      case '"': out += "\\\""; continue;
      case '\\': out += "\\\\"; continue;
      case '\n': out += "\\n"; continue;
      case '\r': out += "\\r"; continue;
      case '\t': out += "\\t"; continue;
      default: break;
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

}  // namespace quindle_host
