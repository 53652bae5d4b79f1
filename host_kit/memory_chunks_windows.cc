#include <windows.h>

#include "host_kit/memory_chunks.h"

namespace quindle_host_kit {
namespace {

// Committed a megabyte at a time: each step is one call, and memory is charged only as it fills.
constexpr size_t kCommitStep = size_t{1} << 20;

}  // namespace

bool reserveChunk(size_t size, MemoryChunk* chunk) {
  void* reserved = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
  if (!reserved) return false;
  chunk->start = static_cast<unsigned char*>(reserved);
  chunk->size = size;
  chunk->committed = 0;
  return true;
}

bool commitChunk(MemoryChunk* chunk, size_t upTo) {
  if (upTo <= chunk->committed) return true;
  if (upTo > chunk->size) return false;
  size_t end = (upTo + kCommitStep - 1) / kCommitStep * kCommitStep;
  if (end > chunk->size) end = chunk->size;
  if (!VirtualAlloc(chunk->start + chunk->committed, end - chunk->committed, MEM_COMMIT,
                    PAGE_READWRITE)) {
    return false;
  }
  chunk->committed = end;
  return true;
}

void releaseChunk(MemoryChunk* chunk) {
  if (chunk->start) VirtualFree(chunk->start, 0, MEM_RELEASE);
  *chunk = MemoryChunk();
}

}  // namespace quindle_host_kit
