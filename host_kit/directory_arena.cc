#include "host_kit/directory_arena.h"

#include <cstdint>
#include <new>

#include "host_kit/memory_chunks.h"

namespace quindle_host_kit {
namespace {

// Big enough that a chunk is a rare event (a 13-level tree of 1.4 GB takes about forty-five),
// small enough that a small tree reserves little.
constexpr size_t kChunkBytes = size_t{32} << 20;

// The chunks keep their own list in their first bytes, so that the arena never allocates
// anything but chunks: its callers run inside the module's calls.
struct ChunkHeader {
  MemoryChunk chunk;
  ChunkHeader* previous;
};
constexpr size_t kHeaderBytes =
    (sizeof(ChunkHeader) + kArenaBlockAlignment - 1) / kArenaBlockAlignment * kArenaBlockAlignment;

ChunkHeader* current = nullptr;
size_t used = 0;  // of the current chunk, from its start
const void* oldest = nullptr;

bool roundUp(size_t value, size_t to, size_t* rounded) {
  if (value > SIZE_MAX - (to - 1)) return false;
  *rounded = (value + to - 1) / to * to;
  return true;
}

// A new chunk with room for `bytes` after its header, made current; the rest of the chunk it
// replaces is left unused.
unsigned char* startChunk(size_t bytes) {
  size_t size = 0;
  if (bytes > SIZE_MAX - kHeaderBytes || !roundUp(kHeaderBytes + bytes, kChunkGranule, &size)) {
    return nullptr;
  }
  if (size < kChunkBytes) size = kChunkBytes;
  MemoryChunk chunk;
  if (!reserveChunk(size, &chunk)) return nullptr;
  if (!commitChunk(&chunk, kHeaderBytes + bytes)) {
    releaseChunk(&chunk);
    return nullptr;
  }
  current = new (chunk.start) ChunkHeader{chunk, current};
  used = kHeaderBytes + bytes;
  return chunk.start + kHeaderBytes;
}

}  // namespace

void* carveBlock(size_t bytes) {
  if (!roundUp(bytes, kArenaBlockAlignment, &bytes)) return nullptr;
  unsigned char* block = nullptr;
  if (current && bytes <= current->chunk.size - used) {
    if (!commitChunk(&current->chunk, used + bytes)) return nullptr;
    block = current->chunk.start + used;
    used += bytes;
  } else {
    block = startChunk(bytes);
    if (!block) return nullptr;
  }
  if (!oldest) oldest = block;
  return block;
}

bool isOldestBlock(const void* block) { return block && block == oldest; }

void releaseArena() {
  while (current) {
    MemoryChunk chunk = current->chunk;  // the header goes with its chunk
    current = current->previous;
    releaseChunk(&chunk);
  }
  used = 0;
  oldest = nullptr;
}

}  // namespace quindle_host_kit
