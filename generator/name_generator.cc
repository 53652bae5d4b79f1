#include "generator/name_generator.h"

#include <algorithm>

#include "generator/random_source.h"

namespace quindle {
namespace {

char nameBuffer[kNameBufferSize];

char upperCased(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

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

}  // namespace

const char* makeName(FilterPrefs* /*prefs*/, int32_t maxLen) {
  if (maxLen < 1) {
    nameBuffer[0] = '\0';
    return nameBuffer;
  }
  makeLetterName(maxLen);
  nameBuffer[0] = upperCased(nameBuffer[0]);
  return nameBuffer;
}

}  // namespace quindle
