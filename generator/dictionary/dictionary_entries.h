// Filling a directory's entries with dictionary names: one walk for every kernel, with the
// kernel's own finder of a name's first lines and its own name writer.
//
// A name's lines lie anywhere in a table of megabytes and mostly miss the cache. One entry's
// lookups are too far apart in the instruction stream for the processor to overlap with the
// next entry's, so waiting for them entry by entry would cost more than making the entries.
// So, for a table too big to stay in the cache, a scout runs kScoutEntries ahead over the draw
// block, works out the first lines of each coming name and asks the memory for them; the name
// writer then takes those lines from it. The scout expects every name to end where a draw
// first says stop, and an entry to become a subdirectory where its draw says so and the
// current directory may hold one. Where that proves wrong (a name reached its bound, the walk
// left a directory) the next entry does not begin where expected, and the scout starts again
// from there, as it does after the block is refilled. What it worked out is used only for the
// entry at the very draw it was worked out from, so what is written depends on it in no way.
#ifndef QUINDLE_GENERATOR_DICTIONARY_DICTIONARY_ENTRIES_H
#define QUINDLE_GENERATOR_DICTIONARY_DICTIONARY_ENTRIES_H

#include <cstdint>

#include "filter/filter_api.h"
#include "generator/dictionary/dictionary_name_field.h"
#include "generator/dictionary/word_table.h"
#include "generator/draws/draw_block.h"
#include "generator/draws/entry_run.h"

namespace quindle {

constexpr int kScoutEntries = 16;  // a power of two: the ring's index is a mask

// An entry the scout expects, with the first lines its name would take.
struct ExpectedName {
  int at;  // where its name's draws should begin
  NameLines name;
};

struct DictionaryRun {
  LineSource lines;
  FillDraws fillDraws;  // for refills
  NameLineFinder findLines;
  DictionaryNameWriter writeName;
  bool scouting;        // false for a table small enough to stay in the cache
  // The coming entries, nearest first, as a ring from `first`.
  ExpectedName expected[kScoutEntries];
  int first;
  int expectedCount;
  int scoutAt;  // where the entry after the last expected one should begin
  uint32_t blockRefills;  // the block's refills when the ring was started: positions are for those draws
};

// `drawnLines` must be at least 1. The block is refilled with `fillDraws`, and names are found and
// written with `findLines` and `writeName`: the kernel's own.
DictionaryRun startDictionaryRun(const WordTable& table, uint32_t drawnLines, FillDraws fillDraws,
                                 NameLineFinder findLines, DictionaryNameWriter writeName);

// fillEntryRun with dictionary names.
FileEntry* fillDictionaryEntries(PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block,
                                 DictionaryRun& run);

}  // namespace quindle

#endif
