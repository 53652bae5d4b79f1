#include "generator/random_source.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

TEST(RandomSource, GivesTheRunTimeLibrarySequenceForASeed) {
  seedRandom(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int value : expected) EXPECT_EQ(drawRandom(), value);

  seedRandom(0);
  EXPECT_EQ(drawRandom(), 38);
}

}  // namespace
}  // namespace quindle
