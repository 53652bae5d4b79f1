#include "generator/dictionary_name_field.h"

#include <cstring>

#include "generator/letter_name.h"

namespace quindle {

namespace {

// The line drawn by the three draws from `at`: (((r3 << 15) | r2) << 15) | r1 in 32 bits, so
// only the two low bits of r3 survive, over the instance's line count.
const char* drawnLine(const DrawBlock& block, int at, const WordTable& table, uint32_t drawnLines) {
  const uint16_t* draws = block.draws + at;
  const uint32_t index = ((((static_cast<uint32_t>(draws[2]) << 15) | draws[1]) << 15) | draws[0]);
  return wordTableLine(table, index % drawnLines);
}

}  // namespace

int writeDictionaryName(const DrawBlock& block, int at, const WordTable& table,
                        uint32_t drawnLines, char* field) {
  // The field holds the first 64 characters; that is enough to tell when the text reaches the
  // bound, and the 64th is then replaced by the terminator.
  constexpr int kBound = kLetterNameField;
  int length = 0;
  const char* line = drawnLine(block, at, table, drawnLines);
  for (;;) {
    // Lines lie anywhere in a table of megabytes, and whether the name goes on is a coin toss
    // the processor cannot run ahead of, so the line it would take next is fetched meanwhile.
    const char* following = drawnLine(block, at + 4, table, drawnLines);
    __builtin_prefetch(following);
    at += 3;
    for (; *line != '\0' && length < kBound; ++line) field[length++] = *line;
    if (length < kBound) field[length++] = ' ';
    if (length >= kBound) break;
    if ((block.draws[at++] & 1u) == 0) break;
    line = following;
  }
  if (length == kBound) length = kBound - 1;
  std::memset(field + length, 0, static_cast<size_t>(kBound - length));
  field[0] = upperCasedLetter(field[0]);
  return at;
}

}  // namespace quindle
