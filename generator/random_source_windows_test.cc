// The platform's own generator is the reference: the same seed must give the same draws.
#include <cstdlib>

#include <gtest/gtest.h>

#include "generator/random_source.h"

namespace quindle {
namespace {

TEST(RandomSourceOnWindows, MatchesTheCRunTimeRandForTheSameSeed) {
  for (unsigned seed : {1u, 12345u, 1765224000u, 0xFFFFFFFFu}) {
    std::srand(seed);
    seedRandom(seed);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(drawRandom(), std::rand()) << "seed " << seed;
  }
}

}  // namespace
}  // namespace quindle
