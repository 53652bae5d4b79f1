#include "generator/dictionary/loaded_word_table.h"

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filter/text_field.h"
#include "generator/draws/random_source.h"
#include "generator/name_generator.h"
#include "reference_model.h"
#include "test_dictionary.h"

namespace quindle {
namespace {

using namespace quindle_test;
using Lines = std::vector<std::string>;

class LoadedWordTable : public ::testing::Test {
 protected:
  void SetUp() override {
    releaseModuleTable();
    std::memset(&prefs, 0, sizeof prefs);
  }

  void name(const std::string& path) {
    copyZeroFilled(prefs.dictionaryPath, sizeof prefs.dictionaryPath, path.c_str());
    prefs.lineCount = 0;
  }

  Lines loadedLines() {
    const WordTable* table = moduleTable(&prefs);
    Lines lines;
    for (int32_t i = 0; table && i < table->lineCount; ++i) {
      lines.push_back(wordTableLine(*table, static_cast<uint32_t>(i)));
    }
    return lines;
  }

  // A name from a module without a usable table is the random-letter name.
  void expectLetterNames() {
    for (uint32_t seed = 0; seed < 20; ++seed) {
      ModelRandom model{seed};
      seedModuleRandom(seed);
      ASSERT_EQ(moduleName(&prefs, 64), modelLetterName(model, 64));
    }
  }

  FilterPrefs prefs;
  TestDictionary dictionary;
};

TEST_F(LoadedWordTable, AnUnusableFileGivesRandomLetters) {
  TempPath folder;
  std::filesystem::create_directory(folder.path);
  for (const std::string& bytes : {std::string(), std::string("\x1A" "one\n")}) {
    useDictionaryBytes(&dictionary, &prefs, bytes);
    EXPECT_EQ(loadedLines(), Lines{});
    EXPECT_EQ(prefs.lineCount, 0);
    expectLetterNames();
  }
  for (const std::string& path : {dictionary.file.path + ".missing", folder.path}) {
    name(path);
    EXPECT_EQ(moduleTable(&prefs), nullptr) << path;
    EXPECT_EQ(prefs.lineCount, 0);
    expectLetterNames();
  }
}

// Nothing is kept of a file that gave no line, whether it was empty when counted or shrank to
// nothing after a count was stored: the next name reads it again.
TEST_F(LoadedWordTable, AFileThatGaveNoLineIsReadAgainAtTheNextName) {
  for (int32_t storedCount : {0, 3}) {
    useDictionaryBytes(&dictionary, &prefs, "");
    prefs.lineCount = storedCount;
    EXPECT_EQ(moduleTable(&prefs), nullptr);
    expectLetterNames();
    writeFileBytes(dictionary.file.path, "late\n");
    EXPECT_EQ(loadedLines(), Lines{"late"});
    EXPECT_EQ(prefs.lineCount, storedCount ? storedCount : 1);
  }
}

TEST_F(LoadedWordTable, ALoadedTableIsKeptWithoutReadingTheFileAgain) {
  useDictionaryLines(&dictionary, &prefs, {"one", "two", "three"});
  const WordTable* first = moduleTable(&prefs);
  ASSERT_NE(first, nullptr);
  writeFileBytes(dictionary.file.path, "four\nfive\nsix\nseven\n");
  EXPECT_EQ(moduleTable(&prefs), first);
  EXPECT_EQ(loadedLines(), (Lines{"one", "two", "three"}));
  EXPECT_EQ(prefs.lineCount, 3);
}

TEST_F(LoadedWordTable, ChoosingAFileAgainReleasesTheOldTableAndLoadsTheNewOne) {
  useDictionaryLines(&dictionary, &prefs, {"one", "two", "three"});
  ASSERT_EQ(loadedLines().size(), 3u);
  TestDictionary other;
  writeFileBytes(other.file.path, "red\ngreen\n");
  name(other.file.path);
  EXPECT_EQ(loadedLines(), (Lines{"red", "green"}));
  EXPECT_EQ(prefs.lineCount, 2);

  writeFileBytes(other.file.path, "blue\n");
  name(other.file.path);
  EXPECT_EQ(loadedLines(), Lines{"blue"}) << "the same path chosen again is counted afresh";
}

TEST_F(LoadedWordTable, AStoredCountLoadsOnlyThatManyLinesOfAGrownFile) {
  useDictionaryLines(&dictionary, &prefs, {"one", "two", "three", "four", "five"});
  prefs.lineCount = 3;
  EXPECT_EQ(loadedLines(), (Lines{"one", "two", "three"}));
  EXPECT_EQ(prefs.lineCount, 3);
}

TEST_F(LoadedWordTable, AStoredCountBeyondTheFileHoldsOnlyTheLinesReadAndWrapsIndexes) {
  for (int32_t stored : {10, INT32_MAX}) {
    useDictionaryLines(&dictionary, &prefs, {"one", "two", "three"});
    prefs.lineCount = stored;
    const WordTable* table = moduleTable(&prefs);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->lineCount, 3);
    EXPECT_EQ(prefs.lineCount, stored) << "a stored count is not corrected";
    EXPECT_STREQ(wordTableLine(*table, 3), "one");
    EXPECT_STREQ(wordTableLine(*table, 7), "two");
    EXPECT_STREQ(wordTableLine(*table, UINT32_MAX), "one");
  }
}

TEST_F(LoadedWordTable, NoDictionaryMeansNoTableEvenWhenOneIsLoaded) {
  useDictionaryLines(&dictionary, &prefs, {"one"});
  ASSERT_NE(moduleTable(&prefs), nullptr);

  FilterPrefs other;
  std::memset(&other, 0, sizeof other);
  other.lineCount = 5;
  EXPECT_EQ(moduleTable(&other), nullptr) << "empty path";
  std::memset(other.dictionaryPath, 'x', sizeof other.dictionaryPath);
  EXPECT_EQ(moduleTable(&other), nullptr) << "a path without its terminator";
  other.lineCount = -1;
  copyZeroFilled(other.dictionaryPath, sizeof other.dictionaryPath, dictionary.file.path.c_str());
  EXPECT_EQ(moduleTable(&other), nullptr) << "a negative count";
}

}  // namespace
}  // namespace quindle
