#include "host/disk/file_content.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace quindle_host {
namespace {

// A file's random bytes do not depend on the pieces they are made in: the writer makes files
// longer than its piece in several.
TEST(FileContent, RandomBytesAreTheSameInAnyPieces) {
  const size_t bytes = 300 * 1024;
  const uint64_t seed = entrySeed(treeSeed(1765224012), 3);
  std::vector<unsigned char> whole(bytes);
  fillRandom(seed, 0, whole.data(), bytes);
  for (size_t piece : {size_t{8}, size_t{4096}, size_t{256 * 1024}, size_t{99992}}) {
    std::vector<unsigned char> pieces(bytes);
    for (size_t offset = 0; offset < bytes; offset += piece) {
      fillRandom(seed, offset, pieces.data() + offset, std::min(piece, bytes - offset));
    }
    EXPECT_EQ(pieces, whole) << "pieces of " << piece;
  }
  EXPECT_GT(std::count(whole.begin(), whole.end(), 0), 0);
  EXPECT_LT(std::count(whole.begin(), whole.end(), 0), static_cast<long>(bytes / 128));
}

// Every place in a tree, and the same place at another second, has a seed of its own.
TEST(FileContent, EveryPlaceHasASeedOfItsOwn) {
  std::set<uint64_t> seeds;
  size_t places = 0;
  for (int64_t second : {int64_t{0}, int64_t{1}, int64_t{2}, int64_t{4294967295}}) {
    const uint64_t top = treeSeed(second);
    for (int32_t folder = 0; folder < 40; ++folder) {
      const uint64_t below = entrySeed(top, folder);
      seeds.insert(below);
      ++places;
      for (int32_t entry = 0; entry < 40; ++entry, ++places) seeds.insert(entrySeed(below, entry));
    }
  }
  EXPECT_EQ(seeds.size(), places);
}

}  // namespace
}  // namespace quindle_host
