// The dictionary's word table, one for the whole module and shared by every instance.
//
// loadWordTable follows the instance's settings through four states:
//   no dictionary        (empty path)                 -> none; names are random letters
//   not counted          (path set, lineCount 0)      -> release any table, count the file's
//                                                        pieces into lineCount, then load
//   counted, not loaded  (lineCount >= 1, no table)   -> load up to lineCount lines
//   loaded               (lineCount >= 1, a table)    -> the table; the file is not read again
// A lineCount below 0 gives none, every time. A file that cannot be opened, a file that yields no
// piece, or memory that cannot be had gives none, and the next call tries again. An instance may
// draw indexes up to its own lineCount from a table that holds fewer lines, loaded for another
// instance or from a file that has shrunk since it was counted.
#ifndef QUINDLE_GENERATOR_DICTIONARY_LOADED_WORD_TABLE_H
#define QUINDLE_GENERATOR_DICTIONARY_LOADED_WORD_TABLE_H

#include "filter/filter_api.h"
#include "generator/dictionary/word_table.h"

namespace quindle {

// The module's table for `prefs`, or null; may set prefs->lineCount.
const WordTable* loadWordTable(FilterPrefs* prefs);

// Frees the module's table; the next loadWordTable loads again.
void releaseWordTable();

}  // namespace quindle

#endif
