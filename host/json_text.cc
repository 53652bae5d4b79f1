#include "host/json_text.h"

#include <cstdio>

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
    if (byte < 0x20 || byte == 0x7F) {
      appendUnicodeEscape(out, byte);
    } else if (byte == 0xC2 && i + 1 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
      // U+0080 to U+009F, the C1 controls, encoded as C2 80 to C2 9F.
      appendUnicodeEscape(out, static_cast<unsigned char>(utf8[++i]));
    } else {
      out += static_cast<char>(byte);
    }
  }
  out += '"';
  return out;
}

}  // namespace quindle_host
