// The rules a setting typed by a person must meet, and the bound of the stored path, byte for
// byte at their edges.
#include "filter/settings.h"

#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "filter/settings_rules.h"
#include "platform/dictionary_file.h"
#include "temp_file.h"

namespace quindle {
namespace {

struct TypedNumber {
  const char* text;
  NumberRange range;
  bool accepted;
  uint64_t value;
};

void PrintTo(const TypedNumber& typed, std::ostream* out) { *out << '"' << typed.text << '"'; }

class PlainNumbers : public ::testing::TestWithParam<TypedNumber> {};

TEST_P(PlainNumbers, AreReadWholeAndWithinTheirRange) {
  const TypedNumber& typed = GetParam();
  uint64_t value = 12345;
  EXPECT_EQ(readPlainNumber(typed.text, typed.range, &value), typed.accepted);
  EXPECT_EQ(value, typed.accepted ? typed.value : 12345u) << "a refused number changes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Edges, PlainNumbers,
    ::testing::Values(
        TypedNumber{"0", kDirLevelsRange, true, 0}, TypedNumber{"0", kMaxFilesRange, false, 0},
        TypedNumber{"2147483647", kDirLevelsRange, true, 2147483647u},
        TypedNumber{"2147483648", kDirLevelsRange, false, 0},
        TypedNumber{"4294967295", kMaxFilesRange, true, 4294967295u},
        TypedNumber{"4294967296", kMaxFilesRange, false, 0},
        // Twenty digits, the most a 64-bit number has, may be mostly leading zeros.
        TypedNumber{"00000000000000000007", kMaxFilesRange, true, 7},
        TypedNumber{"000000000000000000007", kMaxFilesRange, false, 0},
        // Past 2^64 a careless reading wraps around into the range: 2^64 to 0, 2^64 + 1 to 1.
        TypedNumber{"18446744073709551616", kDirLevelsRange, false, 0},
        TypedNumber{"18446744073709551617", kMaxFilesRange, false, 0},
        TypedNumber{"36893488147419103233", kMaxFilesRange, false, 0},
        TypedNumber{"", kDirLevelsRange, false, 0}, TypedNumber{"-1", kDirLevelsRange, false, 0},
        TypedNumber{"+1", kMaxFilesRange, false, 0}, TypedNumber{" 1", kMaxFilesRange, false, 0},
        TypedNumber{"1 ", kMaxFilesRange, false, 0}, TypedNumber{"12abc", kMaxFilesRange, false, 0}));

// The path field holds 259 bytes and its terminator: one byte more is refused and changes nothing.
TEST(DictionaryPaths, TheFieldHoldsTwoHundredAndFiftyNineBytes) {
  FilterPrefs prefs;
  setDefaultPrefs(&prefs);
  prefs.lineCount = 7;
  const std::string fits(FILTER_PREFS_PATH_SIZE - 1, 'a');
  ASSERT_TRUE(chooseDictionaryPath(&prefs, fits.c_str()));
  EXPECT_EQ(std::string(prefs.dictionaryPath), fits);
  EXPECT_EQ(prefs.lineCount, 0) << "a chosen file is counted afresh";

  prefs.lineCount = 7;
  const FilterPrefs before = prefs;
  EXPECT_FALSE(chooseDictionaryPath(&prefs, std::string(FILTER_PREFS_PATH_SIZE, 'b').c_str()));
  EXPECT_EQ(std::memcmp(&prefs, &before, sizeof prefs), 0);
}

// A typed dictionary is stored by its absolute path, which must fit the same field.
TEST(DictionaryPaths, AChosenFileFitsByItsAbsolutePath) {
  quindle_test::TempPath folder;
  std::filesystem::create_directory(folder.path);
  const std::string base = std::filesystem::canonical(folder.path).string() +
                           static_cast<char>(std::filesystem::path::preferred_separator);
  const size_t fits = FILTER_PREFS_PATH_SIZE - 1;
  ASSERT_LT(base.size() + 2, fits) << "the temporary folder's path is too long for this test";
  for (size_t length : {fits - 1, fits, fits + 1}) {
    const std::string path = base + std::string(length - base.size(), 'w');
    quindle_test::writeFileBytes(path, "word\n");
    const DictionaryChoice choice = checkDictionaryChoice(path.c_str());
    EXPECT_EQ(choice.usable, length <= fits) << length << " bytes: " << choice.reason;
    if (choice.usable) {
      EXPECT_EQ(std::string(choice.absolutePath), path);
    }
  }
}

}  // namespace
}  // namespace quindle
