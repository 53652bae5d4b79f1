// Each kernel's finder of a dictionary name's first lines and its dictionary entry fill, against
// the simple model.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filter/text_encoding.h"
#include "generator/dictionary/dictionary_entries.h"
#include "generator/dictionary/dictionary_name_field.h"
#include "generator/dictionary/loaded_word_table.h"
#include "generator/kernels/kernel_table.h"
#include "every_kernel.h"
#include "reference_model.h"
#include "test_dictionary.h"

namespace quindle {
namespace {

using quindle_test::ModelRandom;

// A word table over `lines`, loaded as the module loads a dictionary file.
struct HeldTable {
  quindle_test::TestDictionary dictionary;
  const WordTable* table = nullptr;
  explicit HeldTable(const std::vector<std::string>& lines) {
    FilterPrefs prefs;
    std::memset(&prefs, 0, sizeof prefs);
    quindle_test::useDictionaryLines(&dictionary, &prefs, lines);
    table = quindle_test::moduleTable(&prefs);
    EXPECT_TRUE(table != nullptr);
  }
  ~HeldTable() { quindle_test::releaseModuleTable(); }
};

class KernelDictionaryNames : public ::testing::TestWithParam<const Kernel*> {
 protected:
  const Kernel& kernel() const { return *GetParam(); }
};

// The system's encodings as the module and the model each say them: double-byte as Shift-JIS
// leads (81 to 9F, E0 to FC).
struct Encoding {
  const char* name;
  TextEncoding module;
  quindle_test::ModelEncoding model;
};

std::vector<Encoding> encodings() {
  Encoding doubleByte = {"double-byte", {}, {quindle_test::ModelEncoding::doubleByte, ""}};
  doubleByte.module.kind = TextEncodingKind::doubleByte;
  for (int byte = 0x81; byte <= 0xFC; ++byte) {
    if (byte > 0x9F && byte < 0xE0) continue;
    doubleByte.module.leadBytes[byte >> 5] |= 1u << (byte & 31);
    doubleByte.model.leadBytes += static_cast<char>(byte);
  }
  Encoding utf8 = {"UTF-8", {}, {quindle_test::ModelEncoding::utf8, ""}};
  utf8.module.kind = TextEncodingKind::utf8;
  return {{"single-byte", {}, {}}, utf8, doubleByte};
}

// Lines whose length with their space falls just short of, on, and just past the 64-character
// bound, alone or after others; lines that end at a zero byte before their line feed; lines that
// begin with the bytes on either side of a to z, which upper-casing must leave; lines of
// characters of two, three and four bytes in UTF-8 and of two in Shift-JIS, after every number of
// single bytes so that the bound falls on each of their bytes, with bytes that only look like
// them; and a count of drawn lines beyond those held (indexes wrap). Each name is written as the
// one entry of a directory, between marked bytes.
TEST_P(KernelDictionaryNames, MatchTheModelAroundTheBoundInEveryEncoding) {
  std::vector<std::string> written = {"", "a", "bc", std::string("ab\0cd", 5),
                                      std::string("\0z", 2), std::string(20, 'q') + '\0' + "tail",
                                      "`", "{", "@", "[", "\xE1"};
  for (size_t length : {13, 14, 15, 30, 31, 32, 61, 62, 63, 64, 65, 200, 510}) written.push_back(std::string(length, 'x'));
  for (const char* character : {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x82\xA0", "\x81\x40"}) {
    for (size_t before = 0; before < 4; ++before) {
      std::string line(before, 'y');
      while (line.size() < 12) line += character;
      written.push_back(line);
      written.push_back(std::string(before + 1, 'z') + line + line + line);
    }
  }
  written.push_back("\xA9\xA9\xA9\xA9\xA9\xC3");  // continuation bytes alone, a lead byte alone
  const HeldTable held(written);
  const std::vector<std::string>& lines = held.dictionary.lines;
  DrawBlock* block = new DrawBlock;
  for (const Encoding& encoding : encodings()) {
    for (int32_t drawnLines : {static_cast<int32_t>(lines.size()), 1000}) {
      DictionaryRun run = startDictionaryRun(*held.table, static_cast<uint32_t>(drawnLines), encoding.module);
      for (uint32_t seed = 0; seed < 20000; ++seed) {
        const uint32_t state = seed * 2654435761u;
        startDrawBlock(block, kernel().fillDraws, state);
        FileEntry entries[2];
        std::memset(entries, 0x7F, sizeof entries);
        PendingDirectory dir = {entries, 1, 0, 0};
        ASSERT_EQ(kernel().fillDictionaryEntries(dir, false, *block, run), nullptr);
        const int next = block->next - kEntryTailDraws;
        ModelRandom model{state};
        const std::string expected =
            quindle_test::modelDictionaryName(model, lines, drawnLines, 64, encoding.model);
        ASSERT_EQ(std::string(entries[0].name, sizeof entries[0].name), expected + std::string(64 - expected.size(), '\0'))
            << "seed " << seed << " over " << drawnLines << " lines, " << encoding.name;
        ASSERT_EQ(entries[0].hostByte, 0x7F);
        const unsigned char* after = reinterpret_cast<const unsigned char*>(&entries[1]);
        ASSERT_EQ(std::count(after, after + sizeof entries[1], 0x7F), static_cast<std::ptrdiff_t>(sizeof entries[1]))
            << "the name ran on past its entry";
        ASSERT_EQ(block->draws[next], model.next()) << "seed " << seed << ": the name took other draws";
      }
    }
  }
  delete block;
}

// What a finder must find, worked out the model's way from the draws alone: the lines the name
// takes while its go-on draws are odd, and its first lines by plain remainders, the first again
// past the lines it takes.
NameLines modelNameLines(const uint16_t* draws, uint32_t drawnLines, uint32_t heldLines) {
  NameLines name;
  name.goOnLines = 1;
  while (name.goOnLines < kMostLinesPerName &&
         draws[(name.goOnLines - 1) * kDrawsPerLine + kLineIndexDraws] % 2 == 1) {
    ++name.goOnLines;
  }
  for (int i = 0; i < kNameLinesAhead; ++i) {
    const uint16_t* line = draws + (i < name.goOnLines ? i : 0) * kDrawsPerLine;
    name.lines[i] = quindle_test::modelLineIndex(line[0], line[1], line[2], drawnLines, heldLines);
  }
  return name;
}

// The first lines found for every kind of count: one line, powers of two and their neighbours,
// the largest counts, and counts drawn beyond the lines held; over random draws and over draws
// whose go-on draws say go on for every number of lines up to past the masked eight.
TEST_P(KernelDictionaryNames, FindsTheFirstLinesForEveryLineCount) {
  DrawBlock* block = new DrawBlock;
  const uint32_t counts[] = {1, 2, 3, 7, 8, 9, 1000, 1024, 40000, 65535, 65536, 104334, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
  for (uint32_t drawn : counts) {
    for (uint32_t held : {drawn, drawn / 2 + 1, 7u}) {
      if (held > drawn || held > 0x7FFFFFFFu) continue;
      const WordTable table = {nullptr, nullptr, static_cast<int32_t>(held)};
      const LineSource source = lineSourceFor(table, drawn, TextEncoding());
      for (uint32_t seed = 0; seed < 300; ++seed) {
        startDrawBlock(block, kPortableKernel.fillDraws, seed * 2654435761u);
        const int oddLines = static_cast<int>(seed % 12);
        if (seed % 2 == 0) {
          for (int line = 0; line < 12; ++line) {
            uint16_t& goOn = block->draws[line * kDrawsPerLine + kLineIndexDraws];
            goOn = static_cast<uint16_t>((goOn & ~1u) | (line < oddLines ? 1u : 0u));
          }
        }
        const NameLines expected = modelNameLines(block->draws, drawn, held);
        NameLines found;
        std::memset(&found, 0x7F, sizeof found);
        kernel().findNameLines(*block, 0, source, &found);
        ASSERT_EQ(found.goOnLines, expected.goOnLines) << "seed " << seed << ", " << drawn << " drawn";
        for (int i = 0; i < kNameLinesAhead; ++i) {
          ASSERT_EQ(found.lines[i], expected.lines[i])
              << "line " << i << ", seed " << seed << ", " << drawn << " drawn, " << held << " held";
        }
      }
    }
  }
  delete block;
}

QUINDLE_FOR_EVERY_KERNEL(KernelDictionaryNames);

}  // namespace
}  // namespace quindle
