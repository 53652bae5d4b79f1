#include "generator/name_generator.h"

#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "generator/random_source.h"
#include "reference_model.h"

namespace quindle {
namespace {

using quindle_test::ModelRandom;
using quindle_test::modelLetterName;

// The name for `seed`, and the draw that follows it, which proves the same draws were taken.
std::pair<std::string, int> nameAndNextDraw(uint32_t seed, int32_t maxLen) {
  seedRandom(seed);
  std::string name = makeName(nullptr, maxLen);
  return {name, drawRandom()};
}

TEST(LetterNames, MatchTheModelAndTakeTheSameDraws) {
  for (int32_t maxLen : {1, 2, 16, 64, 511, 512, 513, 4000, 40000}) {
    for (uint32_t seed = 0; seed < 300; ++seed) {
      ModelRandom model{seed * 7919u};
      const std::string expected = modelLetterName(model, maxLen);
      const auto actual = nameAndNextDraw(seed * 7919u, maxLen);
      ASSERT_EQ(actual.first, expected) << "maxLen " << maxLen << " seed " << seed;
      ASSERT_EQ(actual.second, model.next()) << "maxLen " << maxLen << " seed " << seed;
    }
  }
}

TEST(LetterNames, StayWithinTheBoundAndTheBuffer) {
  std::set<size_t> lengths;
  bool sawSpaceFirst = false, sawDigitFirst = false, sawCapitalFirst = false;
  for (uint32_t seed = 0; seed < 20000; ++seed) {
    const std::string name = nameAndNextDraw(seed, 64).first;
    ASSERT_LE(name.size(), 63u);
    lengths.insert(name.size());
    for (size_t i = 1; i < name.size(); ++i) {
      ASSERT_TRUE(name[i] == ' ' || std::strchr(kNameAlphabet, name[i])) << name;
    }
    if (name.empty()) continue;
    ASSERT_FALSE(name[0] >= 'a' && name[0] <= 'z') << "first letter not upper-cased: " << name;
    sawSpaceFirst |= name[0] == ' ';
    sawDigitFirst |= name[0] >= '0' && name[0] <= '9';
    sawCapitalFirst |= name[0] >= 'A' && name[0] <= 'Z';
  }
  EXPECT_EQ(lengths.size(), 64u) << "every length from 0 to 63 occurs";
  EXPECT_TRUE(sawSpaceFirst && sawDigitFirst && sawCapitalFirst);

  for (uint32_t seed = 0; seed < 2000; ++seed) {
    ASSERT_LE(nameAndNextDraw(seed, 40000).first.size(), 511u);
  }
}

TEST(LetterNames, ABoundBelowOneIsEmptyAndTakesNoDraw) {
  for (int32_t maxLen : {0, -1, INT32_MIN}) {
    seedRandom(7);
    const int first = drawRandom();
    seedRandom(7);
    EXPECT_STREQ(makeName(nullptr, maxLen), "");
    EXPECT_EQ(drawRandom(), first);
  }
}

}  // namespace
}  // namespace quindle
