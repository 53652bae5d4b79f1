// What goes into the files: nothing (a length with no blocks), zero blocks, or bytes from a fast
// generator. Random bytes depend only on the tree's second and the entry's place in the tree (its
// index in each folder on the way down), so the same second gives the same bytes, whichever
// thread writes the entry and in whatever order.
#ifndef QUINDLE_HOST_DISK_FILE_CONTENT_H
#define QUINDLE_HOST_DISK_FILE_CONTENT_H

#include <cstddef>
#include <cstdint>

namespace quindle_host {

enum class FileContent { sparse, zero, random };  // in the order --content names them

// The seed of the tree's top folder, from the tree's second.
uint64_t treeSeed(int64_t second);

// The seed of entry `index` of the folder whose seed is `folderSeed`: a file's bytes, or a
// subfolder's own seed.
uint64_t entrySeed(uint64_t folderSeed, int32_t index);

// The `bytes` bytes that start at `offset` in the file of seed `seed`; `offset` and `bytes` are
// multiples of 8. Several gigabytes a second: one multiply per eight bytes.
void fillRandom(uint64_t seed, uint64_t offset, unsigned char* buffer, size_t bytes);

}  // namespace quindle_host

#endif
