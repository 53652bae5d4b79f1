#include "generator/name_generator.h"

#include <algorithm>

#include "generator/dictionary/loaded_word_table.h"
#include "generator/dictionary/word_table.h"
#include "generator/draws/name_characters.h"
#include "generator/draws/random_source.h"

namespace quindle {
namespace {

char nameBuffer[kNameBufferSize];
constexpr size_t kBufferCapacity = static_cast<size_t>(kNameCapacity);

// A drawn length past the buffer still takes all its draws, so the draws that follow are the same
// as on an unbounded buffer; only the first 511 characters are kept.
void makeLetterName(int32_t maxLen) {
  const int32_t length = drawRandom() % maxLen;
  for (int32_t i = 0; i < length; ++i) {
    char c = ' ';
    if (drawRandom() % 6 != 1) c = kNameAlphabet[drawRandom() % kNameAlphabetSize];
    if (i < kNameCapacity) nameBuffer[i] = c;
  }
  nameBuffer[std::min<int32_t>(length, kNameCapacity)] = '\0';
}

// Draws an index over `drawnLines` lines from three draws: (((r3 << 15) | r2) << 15) | r1 in 32
// bits, so only the two low bits of r3 survive.
uint32_t drawLineIndex(uint32_t drawnLines) {
  const uint32_t r1 = static_cast<uint32_t>(drawRandom());
  const uint32_t r2 = static_cast<uint32_t>(drawRandom());
  const uint32_t r3 = static_cast<uint32_t>(drawRandom());
  return ((((r3 << 15) | r2) << 15) | r1) % drawnLines;
}

// Appends what fits of `text` and returns the length the text would have in a buffer without end.
size_t appendToName(size_t textLength, const char* text) {
  for (; *text != '\0'; ++text, ++textLength) {
    if (textLength < kBufferCapacity) nameBuffer[textLength] = *text;
  }
  return textLength;
}

// Lines, each followed by a space, while the text is shorter than maxLen and odd draws say go on.
// Once the buffer has overflowed nothing more could be kept, so the name stops there too; that
// only happens for bounds above 512 (titles), where every shorter bound has already stopped.
void makeDictionaryName(const WordTable& table, uint32_t drawnLines, int32_t maxLen) {
  const size_t bound = static_cast<size_t>(maxLen);
  size_t textLength = 0;
  for (;;) {
    textLength = appendToName(textLength, wordTableLine(table, drawLineIndex(drawnLines)));
    textLength = appendToName(textLength, " ");
    if (textLength >= bound || textLength > kBufferCapacity) break;
    if (drawRandom() % 2 == 0) break;
  }
  nameBuffer[std::min({textLength, kBufferCapacity, bound - 1})] = '\0';
}

}  // namespace

const char* makeName(FilterPrefs* prefs, int32_t maxLen) {
  const WordTable* table = prefs ? loadWordTable(prefs) : nullptr;
  if (maxLen < 1) {
    nameBuffer[0] = '\0';
    return nameBuffer;
  }
  if (table) {
    makeDictionaryName(*table, static_cast<uint32_t>(prefs->lineCount), maxLen);
  } else {
    makeLetterName(maxLen);
  }
  nameBuffer[0] = upperCasedLetter(nameBuffer[0]);
  return nameBuffer;
}

}  // namespace quindle
