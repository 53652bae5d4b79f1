// What a draw makes of a name's character, the same for titles, random-letter entry names and
// dictionary names: a letter or digit picked by position in the alphabet, and the name's first
// letter upper-cased.
#ifndef QUINDLE_GENERATOR_DRAWS_NAME_CHARACTERS_H
#define QUINDLE_GENERATOR_DRAWS_NAME_CHARACTERS_H

namespace quindle {

// Letters in keyboard order, then the digits 1 to 9 and 0.
constexpr char kNameAlphabet[] = "qwertyuiopasdfghjklzxcvbnm1234567890";
constexpr int kNameAlphabetSize = 36;

// Upper-casing touches only the letters a to z; digits, spaces and other bytes stay.
constexpr char upperCasedLetter(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace quindle

#endif
