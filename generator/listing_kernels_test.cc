// Each code path on its own: its draws and the names it writes, against the generator and the
// simple model. Differences show here with the draw that went wrong, before a whole tree differs.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "generator/draw_block.h"
#include "generator/draw_math.h"
#include "generator/listing_paths.h"
#include "generator/name_generator.h"
#include "reference_model.h"

namespace quindle {
namespace {

using quindle_test::ModelRandom;

std::vector<const ListingKernel*> availableKernels() {
  int count = 0;
  const ListingKernel* const* kernels = availableListingKernels(&count);
  return std::vector<const ListingKernel*>(kernels, kernels + count);
}

class ListingKernels : public ::testing::TestWithParam<const ListingKernel*> {
 protected:
  const ListingKernel& kernel() const { return *GetParam(); }
  DrawBlock block;
};

TEST_P(ListingKernels, FillTheGeneratorsDrawsWithTheirCharacters) {
  for (uint32_t state : {0u, 1u, 0x80000000u, 0xFFFFFFFFu, 1765224000u}) {
    startDrawBlock(&block, kernel(), state);
    ModelRandom model{state};
    for (int i = 0; i < kBlockDraws; ++i) {
      const int draw = model.next();
      ASSERT_EQ(block.draws[i], draw) << "draw " << i << " from " << state;
      ASSERT_EQ(block.glyphs[i], kNameAlphabet[draw % 36]) << "draw " << i;
      ASSERT_EQ(block.letterBits[i / 64] >> (i % 64) & 1u, draw % 6 != 1 ? 1u : 0u) << "draw " << i;
    }
    EXPECT_EQ(block.endState, model.state);
  }
}

TEST_P(ListingKernels, RefillsKeepTheSequenceAndGiveBackUnreadDraws) {
  const uint32_t seed = 424242;
  startDrawBlock(&block, kernel(), seed);
  ModelRandom model{seed};
  int taken = 0;
  // Steps of every size up to an entry's bound cross refills at every offset within a chunk.
  for (int step = 1; taken < 5 * kBlockDraws; step = step % kEntryDrawBound + 7) {
    if (block.filled - block.next < kRefillBelow) refillDrawBlock(&block, kernel());
    ASSERT_GE(block.filled - block.next, kRefillBelow);
    for (int i = 0; i < step; ++i, ++taken) {
      ASSERT_EQ(block.draws[block.next++], model.next()) << "draw " << taken;
    }
  }
  EXPECT_EQ(finishDrawBlock(block), model.state);
}

TEST_P(ListingKernels, LetterNamesMatchTheModelAndTakeItsDraws) {
  for (uint32_t seed = 0; seed < 30000; ++seed) {
    const uint32_t state = seed * 2654435761u;
    startDrawBlock(&block, kernel(), state);
    char field[64];
    std::memset(field, 0x7F, sizeof field);
    const int next = kernel().writeLetterName(block, 0, field);
    ModelRandom model{state};
    const std::string expected = quindle_test::modelLetterName(model, 64);
    ASSERT_EQ(std::string(field, sizeof field), expected + std::string(64 - expected.size(), '\0'))
        << "seed " << seed;
    ASSERT_EQ(block.draws[next], model.next()) << "seed " << seed << ": the name took other draws";
  }
}

std::string kernelName(const ::testing::TestParamInfo<const ListingKernel*>& info) {
  return info.param->name;
}

INSTANTIATE_TEST_SUITE_P(EveryPath, ListingKernels, ::testing::ValuesIn(availableKernels()), kernelName);

}  // namespace
}  // namespace quindle
