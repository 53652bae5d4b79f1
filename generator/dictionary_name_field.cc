#include "generator/dictionary_name_field.h"

#include <cstring>

#include "generator/letter_name.h"

namespace quindle {

int writeDictionaryName(const DrawBlock& block, int at, const WordTable& table,
                        uint32_t drawnLines, char* field) {
  // The field holds the first 64 characters; that is enough to tell when the text reaches the
  // bound, and the 64th is then replaced by the terminator.
  constexpr int kBound = kLetterNameField;
  const uint16_t* draws = block.draws;
  int length = 0;
  for (;;) {
    const uint32_t index =
        ((((static_cast<uint32_t>(draws[at + 2]) << 15) | draws[at + 1]) << 15) | draws[at]) % drawnLines;
    at += 3;
    for (const char* line = wordTableLine(table, index); *line != '\0' && length < kBound; ++line) {
      field[length++] = *line;
    }
    if (length < kBound) field[length++] = ' ';
    if (length >= kBound) break;
    if ((draws[at++] & 1u) == 0) break;
  }
  if (length == kBound) length = kBound - 1;
  std::memset(field + length, 0, static_cast<size_t>(kBound - length));
  field[0] = upperCasedLetter(field[0]);
  return at;
}

}  // namespace quindle
