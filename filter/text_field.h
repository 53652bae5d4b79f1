// Fixed-size text fields in the host's records are filled the way the host expects: the text,
// cut at the field's size, then zero bytes to the end of the field.
#ifndef QUINDLE_FILTER_TEXT_FIELD_H
#define QUINDLE_FILTER_TEXT_FIELD_H

#include <cstring>

namespace quindle {

inline void copyZeroFilled(char* field, size_t fieldSize, const char* text) {
  const size_t length = strnlen(text, fieldSize);
  std::memcpy(field, text, length);
  std::memset(field + length, 0, fieldSize - length);
}

}  // namespace quindle

#endif
