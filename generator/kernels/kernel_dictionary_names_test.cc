// Each kernel's finder of a dictionary name's first lines and its name writer, against the
// simple model.
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

// Lines whose length with their space falls just short of, on, and just past the 64-character
// bound, alone or after others, lines that end at a zero byte before their line feed, and a count
// of drawn lines beyond those held (indexes wrap).
TEST_P(KernelDictionaryNames, MatchesTheModelAroundTheBound) {
  std::vector<std::string> written = {"", "a", "bc", std::string("ab\0cd", 5),
                                      std::string("\0z", 2), std::string(20, 'q') + '\0' + "tail"};
  for (size_t length : {13, 14, 15, 30, 31, 32, 61, 62, 63, 64, 65, 200, 510}) written.push_back(std::string(length, 'x'));
  const HeldTable held(written);
  const std::vector<std::string>& lines = held.dictionary.lines;
  DrawBlock* block = new DrawBlock;
  for (int32_t drawnLines : {static_cast<int32_t>(lines.size()), 1000}) {
    const LineSource source = lineSourceFor(*held.table, static_cast<uint32_t>(drawnLines));
    for (uint32_t seed = 0; seed < 20000; ++seed) {
      const uint32_t state = seed * 2654435761u;
      startDrawBlock(block, kernel().fillDraws, state);
      FileEntry entry;
      std::memset(&entry, 0x7F, sizeof entry);
      NameLines first;
      kernel().findNameLines(*block, 0, source, &first);
      const int next = kernel().writeDictionaryName(*block, 0, source, first, entry.name);
      ModelRandom model{state};
      const std::string expected = quindle_test::modelDictionaryName(model, lines, drawnLines, 64);
      ASSERT_EQ(std::string(entry.name, sizeof entry.name), expected + std::string(64 - expected.size(), '\0'))
          << "seed " << seed << " over " << drawnLines << " lines";
      // The writer may run on into the size text, which the entry's own covers, but no further.
      const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&entry);
      for (size_t i = offsetof(FileEntry, value); i < sizeof entry; ++i) ASSERT_EQ(bytes[i], 0x7F) << "byte " << i;
      ASSERT_EQ(block->draws[next], model.next()) << "seed " << seed << ": the name took other draws";
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
      const LineSource source = lineSourceFor(table, drawn);
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
