#include "generator/dictionary/dictionary_entries.h"

namespace quindle {
namespace {

// A table up to this size stays in the cache while a tree is made, and asking for its lines
// ahead would only cost.
constexpr size_t kCachedTableBytes = 256 * 1024;

}  // namespace

DictionaryRun startDictionaryRun(const WordTable& table, uint32_t drawnLines, const TextEncoding& encoding) {
  DictionaryRun run = {};
  run.lines = lineSourceFor(table, drawnLines, encoding);
  run.scouting = static_cast<size_t>(table.lineCount) * sizeof(LineSlot) > kCachedTableBytes;
  return run;
}

}  // namespace quindle
