// A dictionary's lines in memory, and reading them from a file.
//
// A line is its piece (see piece_reader.h) up to the first zero byte, less one trailing line
// feed where there is one. A table holds at most the pieces actually read, never more than it is
// asked for, so a stored count (which may be stale, huge or corrupt) never sizes an allocation.
// Names may draw indexes past the lines a table holds: wordTableLine wraps them onto those.
#ifndef QUINDLE_GENERATOR_DICTIONARY_WORD_TABLE_H
#define QUINDLE_GENERATOR_DICTIONARY_WORD_TABLE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "filter/module_heap.h"

namespace quindle {

// A line as names read it: one 16-byte record per line, so that a line costs one lookup whose
// address follows from its index alone.
//   a short line (up to kSlotChars):  byte 0 = its length, then its characters, then zero bytes
//   a long line:                      byte 0 = kLongLine, bytes 4-7 = its length, bytes 8-15 =
//                                     where it begins in longText
// A short line's characters and the zeros after them can be copied as one piece of kSlotChars + 1
// bytes, which leaves the text after them zeroed.
struct LineSlot {
  char bytes[16];
};
constexpr int kSlotChars = 14;
constexpr unsigned char kLongLine = 0xFF;

struct WordTable {
  LineSlot* slots;  // one per line
  char* longText;   // long lines, zero-terminated, end to end; null when there are none
  int32_t lineCount;  // lines held; 0 for an empty table
};

inline bool isLongLine(const LineSlot& slot) {
  return static_cast<unsigned char>(slot.bytes[0]) == kLongLine;
}

// The line's length, and its text (zero-terminated).
inline uint32_t lineLength(const LineSlot& slot) {
  if (!isLongLine(slot)) return static_cast<unsigned char>(slot.bytes[0]);
  uint32_t length;
  std::memcpy(&length, slot.bytes + 4, sizeof length);
  return length;
}
inline const char* lineText(const WordTable& table, const LineSlot& slot) {
  if (!isLongLine(slot)) return slot.bytes + 1;
  uint64_t offset;
  std::memcpy(&offset, slot.bytes + 8, sizeof offset);
  return table.longText + offset;
}

// The line for a drawn index; indexes past the lines held wrap around. The table must hold a line.
const char* wordTableLine(const WordTable& table, uint32_t index);

// Fills `table` with up to maxLines lines of an open binary stream, read from its current
// position, in memory from `heap`. False, with `table` empty, when no line was read or memory ran
// out.
bool readWordTable(FILE* file, int32_t maxLines, ModuleHeap& heap, WordTable* table);
void freeWordTable(WordTable* table);

}  // namespace quindle

#endif
