// Dictionary entry names written straight into an entry's 64-byte name field from a draw block,
// with exactly the draws and text of makeName's dictionary form: lines joined by spaces while
// the text is short of the bound and odd draws say go on, cut to 63 characters, first letter
// upper-cased, the rest of the field zero-filled. The same on every code path.
#ifndef QUINDLE_GENERATOR_DICTIONARY_NAME_FIELD_H
#define QUINDLE_GENERATOR_DICTIONARY_NAME_FIELD_H

#include <cstdint>

#include "generator/draw_block.h"
#include "generator/word_table.h"

namespace quindle {

// `drawnLines` is the instance's line count, over which line indexes are drawn. Returns the draw
// after the name.
int writeDictionaryName(const DrawBlock& block, int at, const WordTable& table,
                        uint32_t drawnLines, char* field);

}  // namespace quindle

#endif
