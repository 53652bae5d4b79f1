// Blocks carved one after another out of large chunks with a bump pointer, for a host that holds
// one tree at a time: the reference host, whose own tree goes back to it before the module builds
// the next. No block is given back on its own. The whole arena goes back at once, a call per chunk
// and without walking the tree, and the system has the memory back: what is held stays
// proportional to the tree held.
//
// Every block starts on a 16-byte boundary. Chunks are fresh from the system and never used again
// once given back, so a carved block reads as zeros. A refused request leaves the arena as it was.
// Module-wide state, like the allocator that uses it.
#ifndef QUINDLE_HOST_KIT_DIRECTORY_ARENA_H
#define QUINDLE_HOST_KIT_DIRECTORY_ARENA_H

#include <cstddef>

namespace quindle_host_kit {

constexpr size_t kArenaBlockAlignment = 16;

// `bytes` of zeros, or null when the system refuses the memory.
void* carveBlock(size_t bytes);

// Whether `block` is the first carved since the arena was last empty: the root of the oldest tree.
bool isOldestBlock(const void* block);

// Gives every chunk back.
void releaseArena();

}  // namespace quindle_host_kit

#endif
