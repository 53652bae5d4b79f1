// The title, and any other name drawn one number at a time straight from the generator (the
// kernels write entry names from a draw block, with the same draws and the same text).
//
// A name is made of dictionary lines when the module's word table has some for `prefs` (each line
// followed by a space, more lines while the text is short of maxLen and odd draws say so), and
// of random letters, digits and spaces otherwise; its first letter is upper-cased.
// makeName builds one name in a module-wide buffer and returns it; the text stays valid until the
// next call, so callers copy it out at once. The text has at most maxLen - 1 characters and never
// more than kNameCapacity. The draws it takes, and their order, are fixed: the same seed gives the
// same names on every build.
#ifndef QUINDLE_GENERATOR_NAME_GENERATOR_H
#define QUINDLE_GENERATOR_NAME_GENERATOR_H

#include <cstdint>

#include "filter/filter_api.h"

namespace quindle {

constexpr int kNameBufferSize = 512;
constexpr int kNameCapacity = kNameBufferSize - 1;

// `prefs` may be null (no dictionary); the word table may update prefs->lineCount. A maxLen
// below 1 gives the empty text and takes no draw.
const char* makeName(FilterPrefs* prefs, int32_t maxLen);

}  // namespace quindle

#endif
