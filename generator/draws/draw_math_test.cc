#include "generator/draws/draw_math.h"

#include <gtest/gtest.h>

#include "reference_model.h"

namespace quindle {
namespace {

using quindle_test::ModelRandom;

TEST(DrawMath, ReciprocalsDivideEveryDrawExactly) {
  for (const Reciprocal& r : {kDivideBy6, kDivideBy20, kDivideBy36, kDivideBy300}) {
    for (uint32_t draw = 0; draw <= static_cast<uint32_t>(kRandomMax); ++draw) {
      ASSERT_EQ(quotientOf(draw, r), draw / r.divisor) << "draw " << draw << " / " << r.divisor;
      // The vector kernels take the high half of a 16-bit product first, then the rest of the shift.
      ASSERT_EQ(((draw * r.multiplier) >> 16) >> (r.shift - 16), draw / r.divisor);
      ASSERT_LT(r.multiplier, 65536u);
    }
  }
}

TEST(DrawMath, JumpingAheadLandsWhereSteppingDoes) {
  ModelRandom seeds{99};
  for (int trial = 0; trial < 20; ++trial) {
    const uint32_t start = static_cast<uint32_t>(seeds.next()) * 2654435761u;
    ModelRandom stepped{start};
    uint32_t taken = 0;
    for (uint32_t count : {0u, 1u, 2u, 3u, 8u, 16u, 63u, 64u, 4096u, 100000u}) {
      for (; taken < count; ++taken) stepped.next();
      ASSERT_EQ(advanceState(start, count), stepped.state) << "after " << count << " draws";
    }
  }
}

// Walks the draws one character at a time, the way the rule reads.
uint64_t walkedStarts(uint64_t letterDraws) {
  uint64_t starts = 0;
  for (int at = 0; at < 64; at += (letterDraws >> at & 1u) ? 2 : 1) starts |= 1ull << at;
  return starts;
}

TEST(DrawMath, CharacterStartsMatchACharacterByCharacterWalk) {
  ModelRandom random{7};
  for (int trial = 0; trial < 20000; ++trial) {
    uint64_t mask = 0;
    for (int part = 0; part < 4; ++part) mask = mask << 16 | static_cast<uint64_t>(random.next()) << 1 | (random.next() & 1);
    // Runs of letters are long in real draws (five in six), so denser masks are tried too.
    if (trial % 2) mask |= mask << 1 | mask >> 3;
    ASSERT_EQ(characterStarts(mask), walkedStarts(mask)) << std::hex << mask;
  }
  EXPECT_EQ(characterStarts(~0ull), kEvenBits);
  EXPECT_EQ(characterStarts(0), ~0ull);
}

}  // namespace
}  // namespace quindle
