// Filling a directory's entries from a draw block, shared by every kernel and by both kinds of
// names. Each kernel instantiates fillEntryRun with its own random-letter name writer inside a
// function compiled for its instructions, so the writer is inlined and its constants stay in
// registers from one entry to the next, with the draw position in a register too; dictionary
// names take one walk for every kernel (generator/dictionary/dictionary_entries.h), which calls
// the kernel's writer through a pointer.
#ifndef QUINDLE_GENERATOR_DRAWS_ENTRY_RUN_H
#define QUINDLE_GENERATOR_DRAWS_ENTRY_RUN_H

#include <cstddef>
#include <cstdint>
#include <cstring>


#include "filter/filter_api.h"
#include "generator/draws/draw_block.h"
#include "generator/draws/draw_math.h"
#include "generator/draws/size_texts.h"

namespace quindle {

// A directory whose entries are still being filled.
struct PendingDirectory {
  FileEntry* entries;
  int32_t count;
  int32_t next;
  int32_t depth;
};

// After its name an entry takes three draws: its size, its value, and whether it becomes a
// subdirectory (a remainder of kDirectoryDraw modulo 20, where directories may be made).
constexpr int kEntryTailDraws = 3;
constexpr uint32_t kDirectoryDraw = 1;

inline bool becomesSubdirectory(uint32_t directoryDraw, bool mayHoldDirectories) {
  return mayHoldDirectories && remainderOf(directoryDraw, kDivideBy20) == kDirectoryDraw;
}

// Entries are written a few ahead of where the memory was asked for, line by line: asking for a
// whole new directory at once keeps the memory busy with lines needed much later. Sixteen ahead:
// the fastest kernels take 20 to 30 ns an entry, and where the host's memory is not in the cache
// (as after other work) eight entries were less than a line's trip from memory.
constexpr int kPrefetchEntries = 16;

// What a run makes between entries to keep draws coming: nothing (all drawing left to refills),
// or, for kernels whose entries wait mostly on where each one begins (random-letter names), a
// chunk of draws whenever fewer than kMakeAhead lie ahead (draw_block.h), so that making them
// overlaps with writing the entries instead of coming in bursts.
struct NoMaker {
  uint32_t state;
};

// Fills the directory's entries from its `next` on, until it is full or an entry is to become a
// subdirectory, which is returned with its directory draw taken. Every field but the host's byte
// is written; a subdirectory's entry is finished by the caller.
// `writeName(block, at, field)` writes the name whose draws begin at `at` and returns the draw after it.
template <typename NameWriter, typename Maker = NoMaker>
inline __attribute__((always_inline)) FileEntry* fillEntryRun(
    PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block, FillDraws fillDraws,
    NameWriter writeName, Maker* maker = nullptr, DrawMaking<Maker> making = {}) {
  // Kept in registers: every store through an entry's character fields may alias the records.
  int at = block.next;
  FileEntry* const entries = dir.entries;
  const int32_t count = dir.count;
  int32_t next = dir.next;
  FileEntry* subdirectory = nullptr;
  while (next < count) {
    if (maker) at = makeDrawsAhead(maker, making, block, at);
    if (block.filled - at < kRefillBelow) {
      if (maker) making.settle(maker, drawBlockFillAt(block, 0));
      block.next = at;
      refillDrawBlock(&block, fillDraws);
      at = block.next;
    }
    FileEntry& entry = entries[next++];
    const char* const ahead = reinterpret_cast<const char*>(&entry + kPrefetchEntries);
    __builtin_prefetch(ahead, 1);
    __builtin_prefetch(ahead + 64, 1);
    at = writeName(block, at, entry.name);
    std::memcpy(entry.sizeText, kSizeTexts.sizes[remainderOf(block.draws[at], kDivideBy300)].text,
                sizeof entry.sizeText);
    entry.value = block.draws[at + 1];
    // The flags as one store with the value's upper bytes, zeros like them (a draw is below 2^15),
    // ending just before the host's byte: a store fewer per entry.
    static_assert(offsetof(FileEntry, flags) == offsetof(FileEntry, value) + sizeof entry.value &&
                      offsetof(FileEntry, hostByte) == offsetof(FileEntry, flags) + sizeof entry.flags,
                  "the value's upper bytes, then the flags, then the host's byte");
    const uint64_t zeros = 0;
    std::memcpy(reinterpret_cast<char*>(&entry) + offsetof(FileEntry, hostByte) - sizeof zeros, &zeros, sizeof zeros);
    entry.children = nullptr;
    const uint32_t directoryDraw = block.draws[at + 2];
    at += kEntryTailDraws;
    if (becomesSubdirectory(directoryDraw, mayHoldDirectories)) {
      subdirectory = &entry;
      break;
    }
  }
  if (maker) making.settle(maker, drawBlockFillAt(block, 0));
  dir.next = next;
  block.next = at;
  return subdirectory;
}

}  // namespace quindle

#endif
