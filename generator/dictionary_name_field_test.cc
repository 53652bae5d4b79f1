#include "generator/dictionary_name_field.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "generator/listing_paths.h"
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
    table = loadWordTable(&prefs);
    EXPECT_TRUE(table != nullptr);
  }
  ~HeldTable() { releaseWordTable(); }
};

// Lines whose length with their space falls just short of, on, and just past the 64-character
// bound, alone or after others, and a count of drawn lines beyond those held (indexes wrap).
TEST(DictionaryNameField, MatchesTheModelAroundTheBound) {
  std::vector<std::string> lines = {"", "a", "bc"};
  for (size_t length : {13, 14, 15, 30, 31, 32, 61, 62, 63, 64, 65, 200, 510}) lines.push_back(std::string(length, 'x'));
  const HeldTable held(lines);
  DrawBlock* block = new DrawBlock;
  for (int32_t drawnLines : {static_cast<int32_t>(lines.size()), 1000}) {
    for (uint32_t seed = 0; seed < 20000; ++seed) {
      const uint32_t state = seed * 2654435761u;
      startDrawBlock(block, kPortableKernel.fillDraws, state);
      FileEntry entry;
      std::memset(&entry, 0x7F, sizeof entry);
      const int next = writeDictionaryName(*block, 0, lineSourceFor(*held.table, static_cast<uint32_t>(drawnLines)), entry.name);
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

}  // namespace
}  // namespace quindle
