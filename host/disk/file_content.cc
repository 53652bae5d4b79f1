#include "host/disk/file_content.h"

#include <cstring>

namespace quindle_host {
namespace {

// SplitMix64's finalizer: every bit of the input moves about half of the output's.
uint64_t mix(uint64_t value) {
  value ^= value >> 30;
  value *= 0xbf58476d1ce4e5b9ull;
  value ^= value >> 27;
  value *= 0x94d049bb133111ebull;
  return value ^ (value >> 31);
}

constexpr uint64_t kStep = 0x9e3779b97f4a7c15ull;
constexpr uint64_t kTreeMark = 0x6a09e667f3bcc909ull;

}  // namespace

uint64_t treeSeed(int64_t second) { return mix(static_cast<uint64_t>(second) ^ kTreeMark); }

// Not symmetric in its two halves (the folder's seed is mixed, the index is stepped), so that
// entry i of second s and entry s of second i get seeds of their own.
uint64_t entrySeed(uint64_t folderSeed, int32_t index) {
  return mix(mix(folderSeed) + (static_cast<uint64_t>(static_cast<uint32_t>(index)) + 1) * kStep);
}

// Counter mode, so that any stretch of a file can be made on its own: word n is mix(seed + n).
void fillRandom(uint64_t seed, uint64_t offset, unsigned char* buffer, size_t bytes) {
  uint64_t word = offset / 8;
  for (size_t at = 0; at + 8 <= bytes; at += 8, ++word) {
    const uint64_t value = mix(seed + word * kStep);
    std::memcpy(buffer + at, &value, 8);  // little-endian on every system this builds for
  }
}

}  // namespace quindle_host
