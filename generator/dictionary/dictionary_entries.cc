#include "generator/dictionary/dictionary_entries.h"

namespace quindle {
namespace {

// A table up to this size stays in the cache while a tree is made, and asking for its lines
// ahead would only cost.
constexpr size_t kCachedTableBytes = 256 * 1024;

int writeFoundName(const DrawBlock& block, int at, const DictionaryRun& run, char* field) {
  NameLines first;
  run.findLines(block, at, run.lines, &first);
  return run.writeName(block, at, run.lines, first, field);
}

ExpectedName& expectedAt(DictionaryRun& run, int nearness) {
  return run.expected[(run.first + nearness) & (kScoutEntries - 1)];
}

// Works out the entry expected at run.scoutAt into the ring's next place, asks for its first
// lines, and moves scoutAt on to where the entry after it should begin. False, changing
// nothing, where that could mean reading past the block.
bool expectOneMore(const DrawBlock& block, bool mayHoldDirectories, DictionaryRun& run) {
  int at = run.scoutAt;
  if (at + kEntryDrawBound > block.filled) return false;
  ExpectedName& expected = expectedAt(run, run.expectedCount++);
  expected.at = at;
  run.findLines(block, at, run.lines, &expected.name);
  for (uint32_t line : expected.name.lines) __builtin_prefetch(run.lines.table->slots + line);
  at += expected.name.goOnLines * kDrawsPerLine;
  const uint32_t directoryDraw = block.draws[at + kEntryTailDraws - 1];
  at += kEntryTailDraws;
  if (becomesSubdirectory(directoryDraw, mayHoldDirectories)) ++at;  // its count
  run.scoutAt = at;
  return true;
}

// Moves the scout on to the entry whose name begins at `at`, and writes that name.
int scoutAndWrite(const DrawBlock& block, int at, bool mayHoldDirectories, DictionaryRun& run,
                  char* field) {
  if (run.expectedCount == 0 || run.blockRefills != block.refills || expectedAt(run, 0).at != at) {
    run.expectedCount = 0;
    run.scoutAt = at;
    run.blockRefills = block.refills;
  }
  while (run.expectedCount < kScoutEntries && expectOneMore(block, mayHoldDirectories, run)) {
  }
  if (run.expectedCount == 0) return writeFoundName(block, at, run, field);
  const int end = run.writeName(block, at, run.lines, expectedAt(run, 0).name, field);
  run.first = (run.first + 1) & (kScoutEntries - 1);
  --run.expectedCount;
  return end;
}

}  // namespace

DictionaryRun startDictionaryRun(const WordTable& table, uint32_t drawnLines, FillDraws fillDraws,
                                 NameLineFinder findLines, DictionaryNameWriter writeName) {
  DictionaryRun run = {};
  run.lines = lineSourceFor(table, drawnLines);
  run.fillDraws = fillDraws;
  run.findLines = findLines;
  run.writeName = writeName;
  run.scouting = static_cast<size_t>(table.lineCount) * sizeof(LineSlot) > kCachedTableBytes;
  return run;
}

FileEntry* fillDictionaryEntries(PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block,
                                 DictionaryRun& run) {
  return fillEntryRun(dir, mayHoldDirectories, block, run.fillDraws,
                      [&](const DrawBlock& drawn, int at, char* field) {
                        if (!run.scouting) return writeFoundName(drawn, at, run, field);
                        return scoutAndWrite(drawn, at, mayHoldDirectories, run, field);
                      });
}

}  // namespace quindle
