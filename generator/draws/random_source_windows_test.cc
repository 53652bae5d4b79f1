// The platform's own generator is the reference: the same seed must give the same draws, and a
// clock second the draws of srand with that second mixed.
#include <cstdlib>

#include <gtest/gtest.h>

#include "generator/draws/random_source.h"

namespace quindle {
namespace {

TEST(RandomSourceOnWindows, MatchesTheCRunTimeRandForTheSameSeed) {
  RandomSource random;
  for (unsigned seed : {1u, 12345u, 1765224000u, 0xFFFFFFFFu}) {
    std::srand(seed);
    seedRandom(random, seed);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(drawRandom(random), std::rand()) << "seed " << seed;
  }
}

TEST(RandomSourceOnWindows, MatchesTheCRunTimeRandSeededWithTheMixedSecond) {
  RandomSource random;
  for (int64_t seconds : {int64_t{0}, int64_t{1765224123}, int64_t{1765224124}, int64_t{4102444800}}) {
    std::srand(mixClockSeconds(static_cast<uint32_t>(seconds)));
    seedRandomFromClock(random, seconds);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(drawRandom(random), std::rand()) << "second " << seconds;
  }
}

}  // namespace
}  // namespace quindle
