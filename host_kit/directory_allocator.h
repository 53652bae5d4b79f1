// The host's side of the tree, for every program here that hosts the module (the reference host,
// the tests and their drivers, the fuzz targets, the benchmarks): the two callbacks through which
// the module gets directories and hands trees back, and the rules and counts each program sets
// and reads.
//
// Each directory is one block: the FileDirectory the module sees, the host's own bookkeeping,
// then the entries. A block comes from the heap, or, for a host that holds one tree at a time,
// from the arena (directory_arena.h): then freeTree gives the memory of every tree back when it is
// handed the oldest tree's root, without walking it, and keeps any other until then.
// Both callbacks run inside the module's calls, so neither throws nor crashes on anything the
// module can hand them: any count from 0 up is served (0 gives a directory without entries); a
// negative count, one too large to address, one the rules refuse, one that would take the entries
// held past the budget, or a failed allocation gives null. After a failed allocation every request
// is refused until the trees are all freed, so that the host keeps memory for its own work.
// freeTree releases a whole tree without recursion and without allocating, so a tree thousands of
// levels deep is as safe as a flat one. Every directory of a tree must come from allocDirectory.
//
// A host runs one call at a time on one thread, so the rules and counts are plain process-wide
// state.
#ifndef QUINDLE_HOST_KIT_DIRECTORY_ALLOCATOR_H
#define QUINDLE_HOST_KIT_DIRECTORY_ALLOCATOR_H

#include <cstdint>

#include "filter/filter_api.h"

namespace quindle_host_kit {

// What a new directory's entries hold before the module writes them.
enum class EntryFill {
  zeros,      // as a careful host gives them: a field left unwritten reads as empty
  marked,     // every byte kMarkerByte, so that a field the module forgot to write shows
  untouched,  // as the heap gives them, so that Valgrind sees every byte the module leaves unwritten
};
constexpr unsigned char kMarkerByte = 0xAB;

struct AllocatorRules {
  bool fromArena = false;  // not to be changed while directories are held
  EntryFill fill = EntryFill::zeros;
  uint64_t entryBudget = UINT64_MAX;  // the most entries the directories held may have in all
  int64_t refuseCall = 0;             // the 1-based call to refuse; 0: none
  bool refuseLaterCalls = false;      // and every call after it
};

// What the trees hold now, and what was asked, refused and spent since the last reset.
struct AllocatorCounts {
  int64_t calls = 0;
  int64_t freeTreeCalls = 0;
  uint64_t directories = 0;  // held now
  uint64_t entries = 0;      // entry records in the directories held now
  uint64_t bytes = 0;        // memory the directories held now take
  uint64_t refusedByRule = 0;
  uint64_t refusedOverBudget = 0;
  uint64_t refusedNoMemory = 0;
  double secondsFreeing = 0;
};

// The rules in force; a program changes them before it hands the module its callbacks.
AllocatorRules& allocatorRules();
const AllocatorCounts& allocatorCounts();

// Sets `rules` and starts the counts afresh (the directories held stay counted).
void resetAllocator(const AllocatorRules& rules);

FileDirectory* QUINDLE_CALL allocDirectory(int32_t count);
void QUINDLE_CALL freeTree(FileDirectory* root);

// The entry count the directory was allocated with; 0 for null.
int32_t entryCountOf(const FileDirectory* dir);

// The directory below `entry` that walks and freeTree follow: its children, unless the module
// left them unwritten (null, or the marker in a marked tree).
FileDirectory* childrenOf(const FileEntry& entry);

// Called after every directory handed out (null: nothing), so that a long run can show progress.
void setAllocationWatcher(void (*watcher)());

// A FileFilterInfo as a host sets it up before initialize, with these callbacks.
FileFilterInfo hostInfoFor(FileFilterSettingsKey key);

}  // namespace quindle_host_kit

#endif
