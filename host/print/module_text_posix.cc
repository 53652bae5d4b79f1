#include <cstdint>

#include "host/print/module_text.h"

namespace quindle_host {
namespace {

// Windows-1252 from 0x80 to 0x9F; its five unassigned bytes keep their own code points, as
// Windows maps them.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendCodePoint(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool inRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

// The length of the well-formed UTF-8 sequence at `bytes` (overlong forms, surrogates and code
// points above U+10FFFF are not well formed), or 0.
size_t utf8SequenceLength(const unsigned char* bytes, size_t available) {
  const unsigned char lead = bytes[0];
  size_t length = 0;
  unsigned char secondLow = 0x80, secondHigh = 0xBF;
  if (inRange(lead, 0xC2, 0xDF)) {
    length = 2;
  } else if (inRange(lead, 0xE0, 0xEF)) {
    length = 3;
    if (lead == 0xE0) secondLow = 0xA0;
    if (lead == 0xED) secondHigh = 0x9F;
  } else if (inRange(lead, 0xF0, 0xF4)) {
    length = 4;
    if (lead == 0xF0) secondLow = 0x90;
    if (lead == 0xF4) secondHigh = 0x8F;
  } else {
    return 0;
  }
  if (length > available || !inRange(bytes[1], secondLow, secondHigh)) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (!inRange(bytes[i], 0x80, 0xBF)) return 0;
  }
  return length;
}

}  // namespace

std::string moduleTextToUtf8(const char* text, size_t fieldSize) {
  size_t size = 0;
  while (size < fieldSize && text[size] != '\0') ++size;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  std::string out;
  out.reserve(size);
  for (size_t i = 0; i < size;) {
    if (bytes[i] < 0x80) {
      out += static_cast<char>(bytes[i++]);
      continue;
    }
    const size_t length = utf8SequenceLength(bytes + i, size - i);
    if (length > 0) {
      out.append(text + i, length);
      i += length;
      continue;
    }
    const unsigned char byte = bytes[i++];
    appendCodePoint(out, byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
  }
  return out;
}

}  // namespace quindle_host
