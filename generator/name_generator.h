// The title, and any other name drawn one number at a time straight from the generator (the
// kernels write entry names from a draw block, with the same draws and the same text). The whole
// tree is made before the title, so the title takes the draws after the tree's last entry.
//
// A name is made of dictionary lines when `words` has a table (each line followed by a space,
// more lines while the text is short of maxLen and odd draws say so), and of random letters,
// digits and spaces otherwise; its first letter is upper-cased.
// makeName builds one name in `buffer` and returns it; the text stays valid until the buffer is
// used again, so callers copy it out at once. The text has at most maxLen - 1 characters and
// never more than kNameCapacity. The draws it takes, and their order, are fixed: the same seed
// gives the same names on every build.
#ifndef QUINDLE_GENERATOR_NAME_GENERATOR_H
#define QUINDLE_GENERATOR_NAME_GENERATOR_H

#include <cstdint>

#include "generator/dictionary/loaded_word_table.h"
#include "generator/draws/random_source.h"

namespace quindle {

constexpr int kNameBufferSize = 512;
constexpr int kNameCapacity = kNameBufferSize - 1;

struct NameBuffer {
  char text[kNameBufferSize];
};

// A maxLen below 1 gives the empty text and takes no draw.
const char* makeName(const NameWords& words, int32_t maxLen, RandomSource& random,
                     NameBuffer& buffer);

// Writes a random title of at most titleLen - 1 characters, zero-filling the rest of the buffer.
// A null buffer or a titleLen below 1 is left alone and takes no draw.
void writeTitle(const NameWords& words, char* title, int32_t titleLen, RandomSource& random,
                NameBuffer& buffer);

}  // namespace quindle

#endif
