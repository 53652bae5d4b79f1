#include "generator/dictionary/word_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "generator/dictionary/piece_reader.h"
#include "reference_model.h"
#include "temp_file.h"

namespace quindle {
namespace {

using namespace quindle_test;
using Lines = std::vector<std::string>;

class WordTableReading : public ::testing::Test {
 protected:
  // A file of `bytes`, counted and read as the module reads a dictionary, checked against the
  // model; `pieces` receives the count.
  Lines readBack(const std::string& bytes) {
    TempPath file;
    writeFileBytes(file.path, bytes);
    FILE* stream = std::fopen(file.path.c_str(), "rb");
    EXPECT_NE(stream, nullptr);
    if (!stream) return {};
    pieces = countPieces(stream);
    std::rewind(stream);
    WordTable table;
    ModuleHeap heap;
    Lines lines;
    if (readWordTable(stream, pieces, heap, &table)) {
      for (int32_t i = 0; i < table.lineCount; ++i) lines.push_back(wordTableLine(table, static_cast<uint32_t>(i)));
      expectLengthsMatchTexts(table);
      freeWordTable(&table);
    }
    std::fclose(stream);
    EXPECT_EQ(lines, modelDictionaryLines(bytes));
    EXPECT_EQ(pieces, static_cast<int32_t>(modelDictionaryPieces(bytes).size()));
    return lines;
  }

  // Names copy a line by its recorded length, so a length must be its text's, up to the zero
  // byte that ends it.
  static void expectLengthsMatchTexts(const WordTable& table) {
    for (int32_t i = 0; i < table.lineCount; ++i) {
      const LineSlot& slot = table.slots[i];
      ASSERT_EQ(lineLength(slot), std::strlen(lineText(table, slot))) << "line " << i;
    }
  }

  int32_t pieces = 0;
};

std::string repeated(size_t count, char c) { return std::string(count, c); }

TEST_F(WordTableReading, TextModeRulesGiveTheSameLinesOnEveryBuild) {
  EXPECT_EQ(readBack("one\ntwo\nthree\n"), (Lines{"one", "two", "three"}));
  EXPECT_EQ(readBack("one\ntwo\nthree"), (Lines{"one", "two", "three"})) << "no final line feed";
  EXPECT_EQ(readBack("one\r\ntwo\r\nthree\r\n"), (Lines{"one", "two", "three"}));
  EXPECT_EQ(readBack("a\rb\nc\r"), (Lines{"a\rb", "c\r"})) << "a lone CR stays";
  EXPECT_EQ(readBack("a\r\r\nb\n"), (Lines{"a\r", "b"}));
  EXPECT_EQ(readBack("\n\n\nz"), (Lines{"", "", "", "z"}));
  EXPECT_EQ(readBack("one\ntw\x1Ao\nthree\n"), (Lines{"one", "tw"})) << "0x1A ends the text";
  EXPECT_EQ(readBack("a\r\x1A\nb\n"), (Lines{"a\r"}));
}

TEST_F(WordTableReading, ALineEndsAtItsFirstZeroByteWithoutChangingTheCount) {
  EXPECT_EQ(readBack(std::string("ab\0cd\n\0x\nef\0", 12)), (Lines{"ab", "", "ef"}));
  // The zero byte counts as a character of its piece, so the piece still ends at 511.
  const std::string longLine = repeated(505, 'a') + '\0' + repeated(10, 'b') + "\n";
  EXPECT_EQ(readBack(longLine), (Lines{repeated(505, 'a'), "bbbbb"}));
}

// The end mark ends the text wherever the reader's buffers fall, and however many buffers the
// file has after it. A CR stands before the mark, so that at a buffer's edge the look for an LF
// after it meets the mark in the next buffer.
class EndMarkInAnyBuffer : public WordTableReading, public ::testing::WithParamInterface<size_t> {};

TEST_P(EndMarkInAnyBuffer, EndsTheCountAndTheTable) {
  const size_t at = GetParam();
  std::string bytes;
  while (bytes.size() < at) bytes += "word\n";
  bytes.resize(at);
  bytes.back() = '\r';
  const Lines before = readBack(bytes);
  const int32_t countBefore = pieces;
  bytes += '\x1A';
  while (bytes.size() < at + 3 * kPieceReaderBufferSize) bytes += "after\n";
  EXPECT_EQ(readBack(bytes), before);
  EXPECT_EQ(pieces, countBefore);
}

INSTANTIATE_TEST_SUITE_P(Offsets, EndMarkInAnyBuffer,
                         ::testing::Values(100, kPieceReaderBufferSize - 1, kPieceReaderBufferSize,
                                           kPieceReaderBufferSize + 1, 6000,
                                           2 * kPieceReaderBufferSize, 10000));

TEST_F(WordTableReading, LongLinesAreCutInto511CharacterPieces) {
  EXPECT_EQ(readBack(repeated(510, 'a') + "\n"), (Lines{repeated(510, 'a')}));
  EXPECT_EQ(readBack(repeated(510, 'a') + "\r\n"), (Lines{repeated(510, 'a')}));
  EXPECT_EQ(readBack(repeated(511, 'a') + "\n"), (Lines{repeated(511, 'a'), ""}));
  EXPECT_EQ(readBack(repeated(512, 'a') + "\n"), (Lines{repeated(511, 'a'), "a"}));
  EXPECT_EQ(readBack(repeated(511, 'a') + repeated(89, 'b') + "\n"),
            (Lines{repeated(511, 'a'), repeated(89, 'b')}));
  EXPECT_EQ(readBack(repeated(1022, 'a') + "b"),
            (Lines{repeated(511, 'a'), repeated(511, 'a'), "b"}));
}

TEST_F(WordTableReading, CrLfPairsSplitAcrossReadsStillJoin) {
  // One of the three offsets puts a CR on the last byte of every buffer the reader fills.
  for (int offset = 0; offset < 3; ++offset) {
    std::string bytes = repeated(static_cast<size_t>(offset), 'p') + "\n";
    for (int i = 0; i < 5000; ++i) bytes += "x\r\n";
    const Lines lines = readBack(bytes);
    ASSERT_EQ(lines.size(), 5001u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "x"), 5000) << "offset " << offset;
  }
}

TEST_F(WordTableReading, ArbitraryBytesMatchTheModel) {
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

}  // namespace
}  // namespace quindle
