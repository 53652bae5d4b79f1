// Dictionary entry names written straight into an entry's 64-byte name field from a draw block,
// with exactly the draws and text of makeName's dictionary form: lines joined by spaces while
// the text is short of the bound and odd draws say go on, cut to 63 characters (before a
// character the cut would split, as the text's encoding says), first letter upper-cased, the rest
// of the field zero-filled. These are the portable finder and writers; a kernel may bring faster
// ones of its own, which write the same bytes.
#ifndef QUINDLE_GENERATOR_DICTIONARY_DICTIONARY_NAME_FIELD_H
#define QUINDLE_GENERATOR_DICTIONARY_DICTIONARY_NAME_FIELD_H

#include <cstdint>
#include <cstring>

#include "filter/filter_api.h"
#include "filter/text_encoding.h"
#include "generator/dictionary/line_divider.h"
#include "generator/dictionary/word_table.h"
#include "generator/draws/draw_block.h"
#include "generator/draws/name_characters.h"

namespace quindle {

// Where a name's lines come from: indexes are drawn over the instance's line count, which may
// exceed the lines the table holds, and wrapped onto those; and how a name the bound cuts ends.
struct LineSource {
  const WordTable* table;
  const LineSlot* slots;  // the table's, here as well: a writer reaches a name's lines one load sooner
  LineDivider drawnLines;
  bool wraps;  // indexes may be drawn past the lines held (a stale stored count)
  TextEncoding encoding;
};

// `drawnLines` must be at least 1.
inline LineSource lineSourceFor(const WordTable& table, uint32_t drawnLines, const TextEncoding& encoding) {
  return {&table, table.slots, lineDividerFor(drawnLines), drawnLines > static_cast<uint32_t>(table.lineCount),
          encoding};
}

constexpr int kNameBound = FILE_ENTRY_NAME_SIZE;

// Each line of a name takes three draws for its index and, unless the name is full, one more
// saying whether it goes on.
constexpr int kLineIndexDraws = 3;
constexpr int kDrawsPerLine = kLineIndexDraws + 1;
// A name never takes more lines than this: each adds at least its space.
constexpr int kMostLinesPerName = 64;
// Go-on draws read into one mask; further ones are read one by one.
constexpr int kMaskedGoOnDraws = 8;

// The line taken by the three draws at `draws`: (((r3 << 15) | r2) << 15) | r1 in 32 bits, so
// only the two low bits of r3 survive.
inline uint32_t drawnLineIndex(const uint16_t* draws, const LineSource& lines) {
  const uint32_t drawn = (((static_cast<uint32_t>(draws[2]) << 15) | draws[1]) << 15) | draws[0];
  const uint32_t index = remainderOf(drawn, lines.drawnLines);
  if (!lines.wraps) return index;
  const uint32_t held = static_cast<uint32_t>(lines.table->lineCount);
  return index < held ? index : index % held;
}

// How many lines the name whose draws begin at `at` takes unless it reaches its bound first: up
// to and including the first line whose go-on draw is even, at most kMostLinesPerName. Worked out
// from a mask of those draws rather than draw by draw, since each is a coin toss that no branch
// could foresee.
inline int goOnLineCount(const DrawBlock& block, int at) {
  const uint16_t* goOn = block.draws + at + kLineIndexDraws;
  uint32_t odd = 0;
#pragma GCC unroll 8
  for (int line = 0; line < kMaskedGoOnDraws; ++line) odd |= (goOn[line * kDrawsPerLine] & 1u) << line;
  int lines = __builtin_ctz(~odd) + 1;
  if (lines > kMaskedGoOnDraws) {
    while (lines < kMostLinesPerName && (goOn[(lines - 1) * kDrawsPerLine] & 1u)) ++lines;
  }
  return lines;
}

// The first lines a name would take, worked out from its draws alone, so that the scout can ask
// for them ahead and hand them to the name writer. Most names take one or two; one in sixteen
// goes on past these, and the writer looks up the rest.
constexpr int kNameLinesAhead = 4;
struct NameLines {
  int goOnLines;  // goOnLineCount
  uint32_t lines[kNameLinesAhead];  // past goOnLines, the first line again: it costs nothing twice
};

// Fills `name` in place: read back whole right after being written field by field, a copy would
// wait for every field's store to finish.
inline __attribute__((always_inline)) void findNameLines(const DrawBlock& block, int at, const LineSource& lines, NameLines* name) {
  const int goOnLines = goOnLineCount(block, at);
  name->goOnLines = goOnLines;
  const uint32_t first = drawnLineIndex(block.draws + at, lines);
  name->lines[0] = first;
#pragma GCC unroll 4
  for (int i = 1; i < kNameLinesAhead; ++i) {
    const uint32_t drawn = drawnLineIndex(block.draws + at + i * kDrawsPerLine, lines);
    name->lines[i] = i < goOnLines ? drawn : first;
  }
}

// A kernel's finder of that kind; each finds exactly the same lines as findNameLines.
using NameLineFinder = void (*)(const DrawBlock& block, int at, const LineSource& lines, NameLines* name);

// Writes the name whose first line's draws begin at `at`, whose first lines are `first`
// (findNameLines), into an entry's name field: any name, however long its lines. It may also
// write into the size text after the field, which the entry's own is written over afterwards.
// Returns the draw after the name.
int writeDictionaryName(const DrawBlock& block, int at, const LineSource& lines,
                        const NameLines& first, char* field);

// Names of at most kNameLinesAhead lines, none of them long, stay short of the bound (4 lines of
// up to 14 characters and their spaces make 60): they are never cut, and the draws they take
// follow from their go-on draws alone. Most names are such short names, and every kernel has a
// writer for them that takes no branch on how many lines a name has, a coin toss.
constexpr int kShortNameLines = kNameLinesAhead;
static_assert(kShortNameLines * (kSlotChars + 1) < kNameBound, "short names are never cut");

// Bit i set where line i of `first` is long.
inline uint32_t longLineBits(const LineSource& lines, const NameLines& first) {
  uint32_t bits = 0;
  for (int i = 0; i < kShortNameLines; ++i) bits |= static_cast<uint32_t>(isLongLine(lines.slots[first.lines[i]])) << i;
  return bits;
}

// Bit i set where the name takes line i, for the first kShortNameLines lines.
inline uint32_t takenLineBits(int goOnLines) {
  return (1u << (goOnLines < kShortNameLines ? goOnLines : kShortNameLines)) - 1;
}

inline bool isShortName(const LineSource& lines, const NameLines& first) {
  return first.goOnLines <= kShortNameLines && (longLineBits(lines, first) & takenLineBits(first.goOnLines)) == 0;
}

// A short name, in plain C++: each line's characters and the zeros after them copied as one
// piece, then its space; a line the name does not take copies zeros and adds nothing.
inline int writeShortDictionaryName(const DrawBlock&, int at, const LineSource& lines, const NameLines& first,
                                    char* field) {
  static constexpr char kNoText[kSlotChars + 1] = {};
  std::memset(field, 0, kNameBound);
  int length = 0;
  for (int i = 0; i < kShortNameLines; ++i) {
    const bool takes = i < first.goOnLines;
    const LineSlot& slot = lines.slots[first.lines[i]];
    std::memcpy(field + length, takes ? slot.bytes + 1 : kNoText, kSlotChars + 1);
    const int characters = takes ? static_cast<unsigned char>(slot.bytes[0]) : 0;
    field[length + characters] = takes ? ' ' : '\0';
    length += characters + (takes ? 1 : 0);
  }
  field[0] = upperCasedLetter(field[0]);
  return at + first.goOnLines * kDrawsPerLine;
}

}  // namespace quindle

#endif
