// The dictionary's word table as the module keeps it: one for the whole module, shared by every
// instance, kept in the module's state and handed in by the exports.
//
// loadWordTable follows an instance's settings through four states:
//   no dictionary        (empty path)                 -> none; names are random letters
//   not counted          (path set, lineCount 0)      -> release any table, count the file's
//                                                        pieces, then load
//   counted, not loaded  (lineCount >= 1, no table)   -> load up to lineCount lines
//   loaded               (lineCount >= 1, a table)    -> the table; the file is not read again
// A lineCount below 0 gives none, every time. A file that cannot be opened, a file that yields no
// piece, or memory that cannot be had gives none, and the next call tries again. An instance may
// draw indexes up to its own lineCount from a table that holds fewer lines, loaded for another
// instance or from a file that has shrunk since it was counted.
//
// It only reads the settings: the count it makes is handed back, for the caller to keep.
#ifndef QUINDLE_GENERATOR_DICTIONARY_LOADED_WORD_TABLE_H
#define QUINDLE_GENERATOR_DICTIONARY_LOADED_WORD_TABLE_H

#include <cstdint>

#include "filter/filter_api.h"
#include "filter/module_heap.h"
#include "filter/text_encoding.h"
#include "generator/dictionary/word_table.h"

namespace quindle {

// What names are made of: a table, and how many lines their draws range over (the instance's
// lineCount, which may exceed the lines the table holds). Without a table, random letters. And
// how the lines' text is encoded, so that a name cut at its bound keeps whole characters.
struct NameWords {
  const WordTable* table = nullptr;
  uint32_t drawnLines = 0;
  TextEncoding encoding;
};

struct LoadedWords {
  NameWords words;
  int32_t lineCount;  // the instance's lineCount from now on: counted afresh when it was 0
};

// The words come with a single-byte encoding; the caller says what the system's is.
LoadedWords loadWordTable(WordTable& loaded, ModuleHeap& heap, const FilterPrefs& prefs);

// Frees `loaded`; the next loadWordTable loads again.
void releaseWordTable(WordTable& loaded);

}  // namespace quindle

#endif
