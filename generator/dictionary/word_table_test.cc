#include "generator/dictionary/word_table.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filter/text_field.h"
#include "generator/dictionary/piece_reader.h"
#include "generator/draws/random_source.h"
#include "generator/name_generator.h"
#include "reference_model.h"
#include "test_dictionary.h"

namespace quindle {
namespace {

using namespace quindle_test;
using Lines = std::vector<std::string>;

class WordTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    releaseWordTable();
    std::memset(&prefs, 0, sizeof prefs);
  }

  void name(const std::string& path) {
    copyZeroFilled(prefs.dictionaryPath, sizeof prefs.dictionaryPath, path.c_str());
    prefs.lineCount = 0;
  }

  Lines loadedLines() {
    const WordTable* table = loadWordTable(&prefs);
    Lines lines;
    for (int32_t i = 0; table && i < table->lineCount; ++i) {
      lines.push_back(wordTableLine(*table, static_cast<uint32_t>(i)));
    }
    return lines;
  }

  // The file's lines as read through a fresh count and load, checked against the model.
  Lines readBack(const std::string& bytes) {
    useDictionaryBytes(&dictionary, &prefs, bytes);
    Lines lines = loadedLines();
    expectLengthsMatchTexts();
    EXPECT_EQ(lines, dictionary.lines);
    EXPECT_EQ(prefs.lineCount, static_cast<int32_t>(modelDictionaryPieces(bytes).size()));
    return lines;
  }

  // Names copy a line by its recorded length, so a length must be its text's, up to the zero
  // byte that ends it.
  void expectLengthsMatchTexts() {
    const WordTable* table = loadWordTable(&prefs);
    for (int32_t i = 0; table && i < table->lineCount; ++i) {
      const LineSlot& slot = table->slots[i];
      ASSERT_EQ(lineLength(slot), std::strlen(lineText(*table, slot))) << "line " << i;
    }
  }

  // A name from a module without a usable table is the random-letter name.
  void expectLetterNames() {
    for (uint32_t seed = 0; seed < 20; ++seed) {
      ModelRandom model{seed};
      seedRandom(seed);
      ASSERT_EQ(makeName(&prefs, 64), modelLetterName(model, 64));
    }
  }

  FilterPrefs prefs;
  TestDictionary dictionary;
};

std::string repeated(size_t count, char c) { return std::string(count, c); }

TEST_F(WordTableTest, TextModeRulesGiveTheSameLinesOnEveryBuild) {
  EXPECT_EQ(readBack("one\ntwo\nthree\n"), (Lines{"one", "two", "three"}));
  EXPECT_EQ(readBack("one\ntwo\nthree"), (Lines{"one", "two", "three"})) << "no final line feed";
  EXPECT_EQ(readBack("one\r\ntwo\r\nthree\r\n"), (Lines{"one", "two", "three"}));
  EXPECT_EQ(readBack("a\rb\nc\r"), (Lines{"a\rb", "c\r"})) << "a lone CR stays";
  EXPECT_EQ(readBack("a\r\r\nb\n"), (Lines{"a\r", "b"}));
  EXPECT_EQ(readBack("\n\n\nz"), (Lines{"", "", "", "z"}));
  EXPECT_EQ(readBack("one\ntw\x1Ao\nthree\n"), (Lines{"one", "tw"})) << "0x1A ends the text";
  EXPECT_EQ(readBack("a\r\x1A\nb\n"), (Lines{"a\r"}));
}

TEST_F(WordTableTest, ALineEndsAtItsFirstZeroByteWithoutChangingTheCount) {
  EXPECT_EQ(readBack(std::string("ab\0cd\n\0x\nef\0", 12)), (Lines{"ab", "", "ef"}));
  // The zero byte counts as a character of its piece, so the piece still ends at 511.
  const std::string longLine = repeated(505, 'a') + '\0' + repeated(10, 'b') + "\n";
  EXPECT_EQ(readBack(longLine), (Lines{repeated(505, 'a'), "bbbbb"}));
}

// The end mark ends the text wherever the reader's buffers fall, and however many buffers the
// file has after it. A CR stands before the mark, so that at a buffer's edge the look for an LF
// after it meets the mark in the next buffer.
class EndMarkInAnyBuffer : public WordTableTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(EndMarkInAnyBuffer, EndsTheCountAndTheTable) {
  const size_t at = GetParam();
  std::string bytes;
  while (bytes.size() < at) bytes += "word\n";
  bytes.resize(at);
  bytes.back() = '\r';
  const Lines before = readBack(bytes);
  const int32_t countBefore = prefs.lineCount;
  bytes += '\x1A';
  while (bytes.size() < at + 3 * kPieceReaderBufferSize) bytes += "after\n";
  EXPECT_EQ(readBack(bytes), before);
  EXPECT_EQ(prefs.lineCount, countBefore);
}

INSTANTIATE_TEST_SUITE_P(Offsets, EndMarkInAnyBuffer,
                         ::testing::Values(100, kPieceReaderBufferSize - 1, kPieceReaderBufferSize,
                                           kPieceReaderBufferSize + 1, 6000,
                                           2 * kPieceReaderBufferSize, 10000));

TEST_F(WordTableTest, LongLinesAreCutInto511CharacterPieces) {
  EXPECT_EQ(readBack(repeated(510, 'a') + "\n"), (Lines{repeated(510, 'a')}));
  EXPECT_EQ(readBack(repeated(510, 'a') + "\r\n"), (Lines{repeated(510, 'a')}));
  EXPECT_EQ(readBack(repeated(511, 'a') + "\n"), (Lines{repeated(511, 'a'), ""}));
  EXPECT_EQ(readBack(repeated(512, 'a') + "\n"), (Lines{repeated(511, 'a'), "a"}));
  EXPECT_EQ(readBack(repeated(511, 'a') + repeated(89, 'b') + "\n"),
            (Lines{repeated(511, 'a'), repeated(89, 'b')}));
  EXPECT_EQ(readBack(repeated(1022, 'a') + "b"),
            (Lines{repeated(511, 'a'), repeated(511, 'a'), "b"}));
}

TEST_F(WordTableTest, CrLfPairsSplitAcrossReadsStillJoin) {
  // One of the three offsets puts a CR on the last byte of every buffer the reader fills.
  for (int offset = 0; offset < 3; ++offset) {
    std::string bytes = repeated(static_cast<size_t>(offset), 'p') + "\n";
    for (int i = 0; i < 5000; ++i) bytes += "x\r\n";
    const Lines lines = readBack(bytes);
    ASSERT_EQ(lines.size(), 5001u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "x"), 5000) << "offset " << offset;
  }
}

TEST_F(WordTableTest, ArbitraryBytesMatchTheModel) {
  std::mt19937 random(2024);
  const char alphabet[] = {'a', 'b', ' ', '\n', '\n', '\r', '\r', '\0', '\x1A', '\xE9'};
  for (int file = 0; file < 150; ++file) {
    std::string bytes;
    const size_t length = random() % 3000;
    while (bytes.size() < length) {
      const char c = alphabet[random() % sizeof alphabet];
      if (c == '\x1A' && random() % 8 != 0) continue;  // rare, or every file would end early
      // Now and then a run long enough to be cut into pieces.
      const size_t run = random() % 50 == 0 ? 300 + random() % 500 : 1;
      bytes.append(run, run > 1 && c == '\n' ? 'q' : c);
    }
    readBack(bytes);
    if (HasFailure()) FAIL() << "file " << file;
  }
}

TEST_F(WordTableTest, AnUnusableFileGivesRandomLetters) {
  TempPath folder;
  std::filesystem::create_directory(folder.path);
  for (const std::string& bytes : {std::string(), std::string("\x1A" "one\n")}) {
    EXPECT_EQ(readBack(bytes), Lines{});
    EXPECT_EQ(prefs.lineCount, 0);
    expectLetterNames();
  }
  for (const std::string& path : {dictionary.file.path + ".missing", folder.path}) {
    name(path);
    EXPECT_EQ(loadWordTable(&prefs), nullptr) << path;
    EXPECT_EQ(prefs.lineCount, 0);
    expectLetterNames();
  }
}

// Nothing is kept of a file that gave no line, whether it was empty when counted or shrank to
// nothing after a count was stored: the next name reads it again.
TEST_F(WordTableTest, AFileThatGaveNoLineIsReadAgainAtTheNextName) {
  for (int32_t storedCount : {0, 3}) {
    useDictionaryBytes(&dictionary, &prefs, "");
    prefs.lineCount = storedCount;
    EXPECT_EQ(loadWordTable(&prefs), nullptr);
    expectLetterNames();
    writeFileBytes(dictionary.file.path, "late\n");
    EXPECT_EQ(loadedLines(), Lines{"late"});
    EXPECT_EQ(prefs.lineCount, storedCount ? storedCount : 1);
  }
}

TEST_F(WordTableTest, ALoadedTableIsKeptWithoutReadingTheFileAgain) {
  useDictionaryLines(&dictionary, &prefs, {"one", "two", "three"});
  const WordTable* first = loadWordTable(&prefs);
  ASSERT_NE(first, nullptr);
  writeFileBytes(dictionary.file.path, "four\nfive\nsix\nseven\n");
  EXPECT_EQ(loadWordTable(&prefs), first);
  EXPECT_EQ(loadedLines(), (Lines{"one", "two", "three"}));
  EXPECT_EQ(prefs.lineCount, 3);
}

TEST_F(WordTableTest, ChoosingAFileAgainReleasesTheOldTableAndLoadsTheNewOne) {
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

TEST_F(WordTableTest, AStoredCountLoadsOnlyThatManyLinesOfAGrownFile) {
  useDictionaryLines(&dictionary, &prefs, {"one", "two", "three", "four", "five"});
  prefs.lineCount = 3;
  EXPECT_EQ(loadedLines(), (Lines{"one", "two", "three"}));
  EXPECT_EQ(prefs.lineCount, 3);
}

TEST_F(WordTableTest, AStoredCountBeyondTheFileHoldsOnlyTheLinesReadAndWrapsIndexes) {
  for (int32_t stored : {10, INT32_MAX}) {
    useDictionaryLines(&dictionary, &prefs, {"one", "two", "three"});
    prefs.lineCount = stored;
    const WordTable* table = loadWordTable(&prefs);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->lineCount, 3);
    EXPECT_EQ(prefs.lineCount, stored) << "a stored count is not corrected";
    EXPECT_STREQ(wordTableLine(*table, 3), "one");
    EXPECT_STREQ(wordTableLine(*table, 7), "two");
    EXPECT_STREQ(wordTableLine(*table, UINT32_MAX), "one");
  }
}

TEST_F(WordTableTest, NoDictionaryMeansNoTableEvenWhenOneIsLoaded) {
  useDictionaryLines(&dictionary, &prefs, {"one"});
  ASSERT_NE(loadWordTable(&prefs), nullptr);

  FilterPrefs other;
  std::memset(&other, 0, sizeof other);
  other.lineCount = 5;
  EXPECT_EQ(loadWordTable(&other), nullptr) << "empty path";
  std::memset(other.dictionaryPath, 'x', sizeof other.dictionaryPath);
  EXPECT_EQ(loadWordTable(&other), nullptr) << "a path without its terminator";
  other.lineCount = -1;
  copyZeroFilled(other.dictionaryPath, sizeof other.dictionaryPath, dictionary.file.path.c_str());
  EXPECT_EQ(loadWordTable(&other), nullptr) << "a negative count";
}

}  // namespace
}  // namespace quindle
