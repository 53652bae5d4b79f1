// Fixed-size text fields in the host's records are filled the way the host expects: the text,
// cut at the field's size, then zero bytes to the end of the field. And the one test of what in
// such text must never reach a terminal raw.
#ifndef QUINDLE_FILTER_TEXT_FIELD_H
#define QUINDLE_FILTER_TEXT_FIELD_H

#include <cstring>

namespace quindle {

inline void copyZeroFilled(char* field, size_t fieldSize, const char* text) {
  const size_t length = strnlen(text, fieldSize);
  std::memcpy(field, text, length);
  std::memset(field + length, 0, fieldSize - length);
}

// The length of the control character at `i` of the `length` bytes of `text`: 1 for a C0 control
// or DEL, 2 for a C1 control as UTF-8 encodes it (C2 80 to C2 9F), 0 for anything else. A stored
// path or a name holds any bytes, and a control that reaches a terminal raw could move its cursor,
// ring its bell or change its colours.
inline size_t controlLength(const char* text, size_t length, size_t i) {
  const unsigned char byte = static_cast<unsigned char>(text[i]);
  if (byte < 0x20 || byte == 0x7F) return 1;
  const bool c1 = byte == 0xC2 && i + 1 < length &&
                  static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                  static_cast<unsigned char>(text[i + 1]) <= 0x9F;
  return c1 ? 2 : 0;
}

}  // namespace quindle

#endif
