// Filling a directory's entries with dictionary names: one walk for every kernel, which each
// kernel instantiates with its own finder of a name's first lines and its own name writer, inside
// a function compiled for its instructions, so that both are inlined.
//
// A name's lines lie anywhere in a table of megabytes and mostly miss the cache. One entry's
// lookups are too far apart in the instruction stream for the processor to overlap with the
// next entry's, so waiting for them entry by entry would cost more than making the entries.
// So, for a table too big to stay in the cache, a scout runs kScoutEntries ahead over the draw
// block, works out the first lines of each coming name and asks the memory for them; the name
// writer then takes those lines from it. The scout expects every name to end where a draw
// first says stop, and no entry to become a subdirectory: about one entry in fifty does, and
// working out which lay on the path from each expected entry to the next, the longest in the
// walk; with it, dictionary entries took 2-3% longer than with the scout starting again after
// each subdirectory. Where the scout proves wrong (a name reached its bound, an entry became a
// subdirectory, the walk left a directory) the next entry does not begin where expected, and the
// scout starts again from there, as it does after the block is refilled. What it worked out is
// used only for the entry at the very draw it was worked out from, so what is written depends on
// it in no way.
#ifndef QUINDLE_GENERATOR_DICTIONARY_DICTIONARY_ENTRIES_H
#define QUINDLE_GENERATOR_DICTIONARY_DICTIONARY_ENTRIES_H

#include <cstdint>

#include "filter/filter_api.h"
#include "filter/text_encoding.h"
#include "generator/dictionary/dictionary_name_field.h"
#include "generator/dictionary/word_table.h"
#include "generator/draws/draw_block.h"
#include "generator/draws/entry_run.h"

namespace quindle {

// A power of two: the ring's index is a mask. Four entries ahead give the lines a few hundred
// cycles to arrive; further ahead measured slower: each entry asks for up to four lines, and
// sixteen entries' worth, asked for at once when the scout starts again, fill the processor's
// queue of lines awaited, so the writer's own loads and stores wait behind them.
constexpr int kScoutEntries = 4;

// An entry the scout expects, with the first lines its name would take.
struct ExpectedName {
  int at;  // where its name's draws should begin
  NameLines name;
};

struct DictionaryRun {
  LineSource lines;
  bool scouting;  // false for a table small enough to stay in the cache
  // The coming entries, nearest first, as a ring from `first`.
  ExpectedName expected[kScoutEntries];
  int first;
  int expectedCount;
  int scoutAt;  // where the entry after the last expected one should begin
  uint32_t blockRefills;  // the block's refills when the ring was started: positions are for those draws
};

// `drawnLines` must be at least 1.
DictionaryRun startDictionaryRun(const WordTable& table, uint32_t drawnLines, const TextEncoding& encoding);

// A kernel's fillEntryRun with dictionary names.
using DictionaryEntryFill = FileEntry* (*)(PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block,
                                           DictionaryRun& run);

// fillDictionaryRun, with or without the scout: each is a walk of its own, so that neither
// carries the other's state from one entry to the next.
template <bool kScouting, typename FinderLines, typename FindLines, typename WriteName>
inline __attribute__((always_inline)) FileEntry* fillDictionaryRunWith(
    PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block, DictionaryRun& run, FillDraws fillDraws,
    const FinderLines& finderLines, FindLines findLines, WriteName writeName) {
  const LineSource& lines = run.lines;
  // The ring's bookkeeping, the table's lines and the finder's divider are held in locals, in
  // registers from one entry to the next: in the records, each would be read back after every
  // store into an entry. The finder reads a copy of the lines' source of its own: the writer hands
  // the record's address on to the plain writer, and whatever is handed on is read back like it.
  const LineSlot* const slots = lines.slots;
  const FinderLines scoutLines = finderLines;
  int first = run.first;
  int expectedCount = run.expectedCount;
  int scoutAt = run.scoutAt;
  uint32_t blockRefills = run.blockRefills;
  // The lambdas are inlined too, so that the finder and the writer become direct calls that the
  // kernel's own function inlines.
  const auto expectedAt = [&](int nearness) __attribute__((always_inline)) -> ExpectedName& {
    return run.expected[(first + nearness) & (kScoutEntries - 1)];
  };
  // Works out the entry expected at scoutAt into the ring's next place, asks for its first
  // lines, and moves scoutAt on to where the entry after it should begin. False, changing
  // nothing, where that could mean reading past the block.
  const auto expectOneMore = [&](const DrawBlock& drawn) __attribute__((always_inline)) {
    int at = scoutAt;
    if (at + kEntryDrawBound > drawn.filled) return false;
    ExpectedName& expected = expectedAt(expectedCount++);
    expected.at = at;
    findLines(drawn, at, scoutLines, &expected.name);
#pragma GCC unroll 4
    for (int i = 0; i < kNameLinesAhead; ++i) __builtin_prefetch(slots + expected.name.lines[i]);
    at += expected.name.goOnLines * kDrawsPerLine;
    scoutAt = at + kEntryTailDraws;
    return true;
  };
  const auto writeEntryName = [&](const DrawBlock& drawn, int at, char* field) __attribute__((always_inline)) {
    if (!kScouting) {
      NameLines name;
      findLines(drawn, at, scoutLines, &name);
      return writeName(drawn, at, lines, name, field);
    }
    if (expectedCount == 0 || blockRefills != drawn.refills || expectedAt(0).at != at) {
      expectedCount = 0;
      scoutAt = at;
      blockRefills = drawn.refills;
    }
    while (expectedCount < kScoutEntries && expectOneMore(drawn)) {
    }
    if (expectedCount == 0) {
      NameLines name;
      findLines(drawn, at, scoutLines, &name);
      return writeName(drawn, at, lines, name, field);
    }
    const int end = writeName(drawn, at, lines, expectedAt(0).name, field);
    first = (first + 1) & (kScoutEntries - 1);
    --expectedCount;
    return end;
  };
  FileEntry* const subdirectory = fillEntryRun(dir, mayHoldDirectories, block, fillDraws, writeEntryName);
  run.first = first;
  run.expectedCount = expectedCount;
  run.scoutAt = scoutAt;
  run.blockRefills = blockRefills;
  return subdirectory;
}

// fillEntryRun with dictionary names: `findLines(block, at, finderLines, &name)` finds a name's
// first lines as findNameLines does, from `finderLines`, the run's lines in whatever form the
// finder wants them (a kernel may work its divider out into vectors once for the run),
// `writeName(block, at, lines, name, field)` writes it as writeDictionaryName does, and
// `fillDraws` refills the block. Nothing here reads the block's characters or letter bits, nor
// does anything else while a tree of dictionary names is made, so `fillDraws` may make the draws
// alone.
template <typename FinderLines, typename FindLines, typename WriteName>
inline __attribute__((always_inline)) FileEntry* fillDictionaryRun(
    PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block, DictionaryRun& run, FillDraws fillDraws,
    const FinderLines& finderLines, FindLines findLines, WriteName writeName) {
  if (run.scouting) {
    return fillDictionaryRunWith<true>(dir, mayHoldDirectories, block, run, fillDraws, finderLines, findLines, writeName);
  }
  return fillDictionaryRunWith<false>(dir, mayHoldDirectories, block, run, fillDraws, finderLines, findLines, writeName);
}

}  // namespace quindle

#endif
