#include "generator/name_generator.h"

#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "generator/draws/name_characters.h"
#include "filter/module_listing.h"
#include "generator/draws/random_source.h"
#include "reference_model.h"
#include "test_dictionary.h"

namespace quindle {
namespace {

using namespace quindle_test;

// The name for `seed`, and the draw that follows it, which proves the same draws were taken.
std::pair<std::string, int> nameAndNextDraw(uint32_t seed, int32_t maxLen,
                                            FilterPrefs* prefs = nullptr) {
  ModuleState& state = moduleState();
  const NameWords words = prefs ? wordsFor(state, prefs) : NameWords();
  RandomSource random;
  seedRandom(random, seed);
  std::string name = makeName(words, maxLen, random, state.generator.names);
  return {name, drawRandom(random)};
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
    RandomSource random;
    seedRandom(random, 7);
    const int first = drawRandom(random);
    seedRandom(random, 7);
    NameBuffer buffer;
    EXPECT_STREQ(makeName(NameWords(), maxLen, random, buffer), "");
    EXPECT_EQ(drawRandom(random), first);
  }
}

class DictionaryNames : public ::testing::Test {
 protected:
  void SetUp() override { std::memset(&prefs, 0, sizeof prefs); }

  void use(const std::vector<std::string>& lines) {
    useDictionaryLines(&dictionary, &prefs, lines);
    wordsFor(moduleState(), &prefs);  // counts and loads
  }

  std::string name(uint32_t seed, int32_t maxLen) {
    return nameAndNextDraw(seed, maxLen, &prefs).first;
  }

  FilterPrefs prefs;
  TestDictionary dictionary;
};

TEST_F(DictionaryNames, MatchTheModelAndTakeTheSameDraws) {
  const std::vector<std::vector<std::string>> dictionaries = {
      {"alpha"},
      makeWordLines(7, 40),
      makeWordLines(3000, 12),
      {"", "x", std::string(300, 'm'), std::string(511, 'w'), "two words"},
  };
  for (const auto& lines : dictionaries) {
    use(lines);
    const int32_t loaded = prefs.lineCount;
    // Another instance's larger count draws over more lines than the table holds.
    for (int32_t lineCount : {loaded, loaded * 3 + 1, INT32_MAX}) {
      prefs.lineCount = lineCount;
      for (int32_t maxLen : {1, 2, 7, 64, 300, 511, 512, 513, 600, 4000, 100000}) {
        for (uint32_t seed = 0; seed < 150; ++seed) {
          ModelRandom model{seed * 104729u};
          const std::string expected =
              modelDictionaryName(model, dictionary.lines, lineCount, maxLen);
          const auto actual = nameAndNextDraw(seed * 104729u, maxLen, &prefs);
          ASSERT_EQ(actual.first, expected) << "lines " << loaded << " count " << lineCount
                                            << " maxLen " << maxLen << " seed " << seed;
          ASSERT_EQ(actual.second, model.next()) << "maxLen " << maxLen << " seed " << seed;
          ASSERT_LE(actual.first.size(), static_cast<size_t>(std::min(maxLen - 1, 511)));
        }
      }
    }
  }
}

TEST_F(DictionaryNames, OneWordRepeatsUntilTheBoundCutsIt) {
  use({"alpha"});
  std::set<std::string> expected;
  std::string text = "Alpha ";
  for (int lines = 1; lines <= 10; ++lines, text += "alpha ") expected.insert(text);
  const std::string cut = text.substr(0, 63);
  ASSERT_EQ(cut.substr(58), "a alp");
  expected.insert(cut);

  std::set<std::string> seen;
  for (uint32_t seed = 0; seed < 20000; ++seed) seen.insert(name(seed, 64));
  EXPECT_EQ(seen, expected);
}

TEST_F(DictionaryNames, FortyCharacterLinesGiveOneLineOrACutAt63) {
  std::vector<std::string> lines;
  for (char c = 'a'; c <= 'e'; ++c) lines.push_back(std::string(40, c));
  use(lines);
  std::set<size_t> lengths;
  for (uint32_t seed = 0; seed < 2000; ++seed) lengths.insert(name(seed, 64).size());
  EXPECT_EQ(lengths, (std::set<size_t>{41, 63}));
}

TEST_F(DictionaryNames, ABoundOfOneTakesOnlyTheIndexDraws) {
  use({"alpha", "beta"});
  for (uint32_t seed = 0; seed < 50; ++seed) {
    RandomSource random;
    seedRandom(random, seed);
    for (int i = 0; i < 3; ++i) drawRandom(random);
    const int fourth = drawRandom(random);
    EXPECT_EQ(nameAndNextDraw(seed, 1, &prefs), std::make_pair(std::string(), fourth));
  }
}

}  // namespace
}  // namespace quindle
