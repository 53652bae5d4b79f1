// Large pieces of address space for the directory arena, straight from the system: reserved whole,
// committed as the arena fills them, given back whole. On Linux a chunk is asked for as
// transparent huge pages, which take a five-hundredth of the page faults of 4 KB pages; where the
// kernel says no, it is made of ordinary pages and nothing else changes. On Windows a chunk is
// reserved first and committed in steps; large pages need a privilege users do not have, so they
// are never asked for. A fresh chunk reads as zeros.
#ifndef QUINDLE_HOST_KIT_MEMORY_CHUNKS_H
#define QUINDLE_HOST_KIT_MEMORY_CHUNKS_H

#include <cstddef>

namespace quindle_host_kit {

struct MemoryChunk {
  unsigned char* start = nullptr;
  size_t size = 0;       // reserved
  size_t committed = 0;  // usable from `start`
};

// How much a chunk's size is rounded up to: the huge page, so that every chunk can be made of them.
constexpr size_t kChunkGranule = size_t{2} << 20;

// Reserves `size` bytes (a multiple of kChunkGranule); false when the system refuses.
bool reserveChunk(size_t size, MemoryChunk* chunk);

// Makes the chunk usable up to `upTo` bytes from its start; false when the system refuses.
bool commitChunk(MemoryChunk* chunk, size_t upTo);

void releaseChunk(MemoryChunk* chunk);

}  // namespace quindle_host_kit

#endif
