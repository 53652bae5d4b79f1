#include <sys/mman.h>

#include <cstdint>

#include "host_kit/memory_chunks.h"

namespace quindle_host_kit {

// Asked for one granule more than needed, then cut to a granule boundary: a huge page must start
// on one. Without MAP_NORESERVE the kernel still refuses a size it could never back.
bool reserveChunk(size_t size, MemoryChunk* chunk) {
  if (size > SIZE_MAX - kChunkGranule) return false;
  const size_t asked = size + kChunkGranule;
  void* mapped = ::mmap(nullptr, asked, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return false;
  unsigned char* base = static_cast<unsigned char*>(mapped);
  const uintptr_t address = reinterpret_cast<uintptr_t>(base);
  unsigned char* start = base + (kChunkGranule - address % kChunkGranule) % kChunkGranule;
  if (start > base) ::munmap(base, static_cast<size_t>(start - base));
  unsigned char* end = start + size;
  if (end < base + asked) ::munmap(end, static_cast<size_t>(base + asked - end));
#ifdef MADV_HUGEPAGE
  ::madvise(start, size, MADV_HUGEPAGE);  // a kernel that says no gives ordinary pages
#endif
  chunk->start = start;
  chunk->size = size;
  chunk->committed = size;  // pages come as they are first touched
  return true;
}

bool commitChunk(MemoryChunk* chunk, size_t upTo) { return upTo <= chunk->size; }

void releaseChunk(MemoryChunk* chunk) {
  if (chunk->start) ::munmap(chunk->start, chunk->size);
  *chunk = MemoryChunk();
}

}  // namespace quindle_host_kit
