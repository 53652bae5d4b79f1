#include "generator/name_generator.h"

#include <algorithm>

#include "filter/text_encoding.h"
#include "filter/text_field.h"
#include "generator/dictionary/word_table.h"
#include "generator/draws/name_characters.h"

namespace quindle {
namespace {

constexpr size_t kBufferCapacity = static_cast<size_t>(kNameCapacity);

// A drawn length past the buffer still takes all its draws, so the draws that follow are the same
// as on an unbounded buffer; only the first 511 characters are kept.
void makeLetterName(int32_t maxLen, RandomSource& random, char* name) {
  const int32_t length = drawRandom(random) % maxLen;
  for (int32_t i = 0; i < length; ++i) {
    char c = ' ';
    if (drawRandom(random) % 6 != 1) c = kNameAlphabet[drawRandom(random) % kNameAlphabetSize];
    if (i < kNameCapacity) name[i] = c;
  }
  name[std::min<int32_t>(length, kNameCapacity)] = '\0';
}

// Draws an index over `drawnLines` lines from three draws: (((r3 << 15) | r2) << 15) | r1 in 32
// bits, so only the two low bits of r3 survive.
uint32_t drawLineIndex(uint32_t drawnLines, RandomSource& random) {
  const uint32_t r1 = static_cast<uint32_t>(drawRandom(random));
  const uint32_t r2 = static_cast<uint32_t>(drawRandom(random));
  const uint32_t r3 = static_cast<uint32_t>(drawRandom(random));
  return ((((r3 << 15) | r2) << 15) | r1) % drawnLines;
}

// Appends what fits of `text` and returns the length the text would have in a buffer without end.
// The buffer's last byte, where the terminator goes, holds a character for now: a cut at the
// capacity looks at the first character it cuts away.
size_t appendToName(char* name, size_t textLength, const char* text) {
  for (; *text != '\0'; ++text, ++textLength) {
    if (textLength < kBufferCapacity + 1) name[textLength] = *text;
  }
  return textLength;
}

// Lines, each followed by a space, while the text is shorter than maxLen and odd draws say go on.
// Once the buffer has overflowed nothing more could be kept, so the name stops there too; that
// only happens for bounds above 512 (titles), where every shorter bound has already stopped. A
// name cut short keeps whole characters.
void makeDictionaryName(const NameWords& words, int32_t maxLen, RandomSource& random, char* name) {
  const size_t bound = static_cast<size_t>(maxLen);
  size_t textLength = 0;
  for (;;) {
    const uint32_t index = drawLineIndex(words.drawnLines, random);
    const char* line = wordTableLine(*words.table, index);
    textLength = appendToName(name, textLength, line);
    textLength = appendToName(name, textLength, " ");
    if (textLength >= bound || textLength > kBufferCapacity) break;
    if (drawRandom(random) % 2 == 0) break;
  }
  const size_t cut = std::min(kBufferCapacity, bound - 1);
  name[textLength > cut ? wholeCharacterCut(name, cut, words.encoding) : textLength] = '\0';
}

}  // namespace

const char* makeName(const NameWords& words, int32_t maxLen, RandomSource& random,
                     NameBuffer& buffer) {
  char* name = buffer.text;
  if (maxLen < 1) {
    name[0] = '\0';
    return name;
  }
  if (words.table) {
    makeDictionaryName(words, maxLen, random, name);
  } else {
    makeLetterName(maxLen, random, name);
  }
  name[0] = upperCasedLetter(name[0]);
  return name;
}

void writeTitle(const NameWords& words, char* title, int32_t titleLen, RandomSource& random,
                NameBuffer& buffer) {
  if (!title || titleLen < 1) return;
  const char* name = makeName(words, titleLen, random, buffer);
  copyZeroFilled(title, static_cast<size_t>(titleLen), name);
  title[titleLen - 1] = '\0';
}

}  // namespace quindle
