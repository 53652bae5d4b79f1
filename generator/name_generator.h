// Random names for entries and titles.
//
// A name is made of dictionary lines when the word table has some for `prefs` (each line
// followed by a space, more lines while the text is short of maxLen and odd draws say so), and
// of random letters, digits and spaces otherwise; its first letter is upper-cased.
// makeName builds one name in the module-wide NameBuffer and returns it; the text stays valid
// until the next call, so callers copy it out at once. The text has at most maxLen - 1 characters
// and never more than 511. The draws it takes, and their order, are fixed: the same seed gives the
// same names on every build.
#ifndef QUINDLE_GENERATOR_NAME_GENERATOR_H
#define QUINDLE_GENERATOR_NAME_GENERATOR_H

#include <cstdint>

#include "filter/filter_api.h"

namespace quindle {

constexpr int kNameBufferSize = 512;
constexpr int kNameCapacity = kNameBufferSize - 1;

// Letters in keyboard order, then the digits 1 to 9 and 0; a draw picks one by position.
constexpr char kNameAlphabet[] = "qwertyuiopasdfghjklzxcvbnm1234567890";
constexpr int kNameAlphabetSize = 36;

// Upper-casing touches only the letters a to z; digits, spaces and other bytes stay.
constexpr char upperCasedLetter(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// `prefs` may be null (no dictionary); the word table may update prefs->lineCount. A maxLen
// below 1 gives the empty text and takes no draw.
const char* makeName(FilterPrefs* prefs, int32_t maxLen);

}  // namespace quindle

#endif
