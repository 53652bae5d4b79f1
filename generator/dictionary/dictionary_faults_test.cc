// The dictionary file going wrong after it was counted: the count is stored with the settings, so
// at the next start the file is loaded without counting it again, whatever became of it. Whatever
// it is now, names come out as the model makes them from what can still be read, or as random
// letters when nothing can.
#include <atomic>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "filter/text_field.h"
#include "generator/dictionary/loaded_word_table.h"
#include "generator/dictionary/word_table.h"
#include "generator/draws/random_source.h"
#include "generator/name_generator.h"
#include "reference_model.h"
#include "test_dictionary.h"
#include "restricted_access.h"

namespace quindle {
namespace {

using namespace quindle_test;
using Lines = std::vector<std::string>;

const Lines kCounted = {"one", "two", "three", "four"};

// The names the module makes now match the model over `lines` (random letters when empty),
// with indexes drawn over the instance's own line count.
bool namesMatchTheModel(FilterPrefs* prefs, const Lines& lines) {
  moduleTable(prefs);  // counts the file first where it is to be counted
  for (uint32_t seed = 0; seed < 25; ++seed) {
    ModelRandom model{seed};
    seedModuleRandom(seed);
    const std::string expected = lines.empty()
                                     ? modelLetterName(model, 64)
                                     : modelDictionaryName(model, lines, prefs->lineCount, 64);
    if (moduleName(prefs, 64) != expected) return false;
  }
  return true;
}

struct Change {
  const char* what;
  void (*apply)(const std::string& path);
  bool regularFile;  // whether lines can still be read from the path
};

// Windows refuses to remove a file that is open; the next round tries again.
void removePath(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeLines(const std::string& path, const Lines& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\n";
  writeFileBytes(path, bytes);
}

const Change kChanges[] = {
    {"deleted", [](const std::string& p) { removePath(p); }, false},
    {"replaced", [](const std::string& p) { writeLines(p, {"red", "green", "blue", "cyan"}); },
     true},
    {"shrunk to one line", [](const std::string& p) { writeLines(p, {"solo"}); }, true},
    {"shrunk to nothing", [](const std::string& p) { writeFileBytes(p, ""); }, true},
    {"grown", [](const std::string& p) { writeLines(p, {"a", "b", "c", "d", "e", "f", "g"}); },
     true},
    {"grown to one long line",
     [](const std::string& p) { writeFileBytes(p, std::string(5000, 'w')); }, true},
    {"a folder in its place",
     [](const std::string& p) {
       removePath(p);
       std::filesystem::create_directory(p);
     },
     false},
#if !defined(_WIN32)
    // Opening a FIFO for reading waits for a writer; reading a device never ends.
    {"a FIFO in its place",
     [](const std::string& p) {
       removePath(p);
       ::mkfifo(p.c_str(), 0600);
     },
     false},
    {"a link to /dev/zero",
     [](const std::string& p) {
       removePath(p);
       std::filesystem::create_symlink("/dev/zero", p);
     },
     false},
#endif
};

class DictionaryFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    releaseModuleTable();
    std::memset(&prefs, 0, sizeof prefs);
  }
  void TearDown() override { removePath(dictionary.file.path); }

  // Counts kCounted as the module does, then forgets the table as a restart would.
  void countThenRestart() {
    useDictionaryLines(&dictionary, &prefs, kCounted);
    ASSERT_NE(moduleTable(&prefs), nullptr);
    ASSERT_EQ(prefs.lineCount, 4);
    releaseModuleTable();
  }

  FilterPrefs prefs;
  TestDictionary dictionary;
};

TEST_F(DictionaryFaults, AFileChangedAfterItsCountYieldsWhatCanStillBeRead) {
  for (const Change& change : kChanges) {
    countThenRestart();
    change.apply(dictionary.file.path);
    const Lines now = change.regularFile ? modelDictionaryLines(fileBytes(dictionary.file.path))
                                         : Lines{};
    Lines readable = now;
    if (readable.size() > kCounted.size()) readable.resize(kCounted.size());
    EXPECT_TRUE(namesMatchTheModel(&prefs, readable)) << change.what;
    EXPECT_EQ(prefs.lineCount, 4) << change.what << ": a stored count is kept";
    const WordTable* table = moduleTable(&prefs);
    ASSERT_EQ(table != nullptr, !readable.empty()) << change.what;
    for (int32_t i = 0; table && i < table->lineCount; ++i) {
      EXPECT_LE(std::strlen(wordTableLine(*table, static_cast<uint32_t>(i))), 511u);
    }

    // Chosen again in the dialog (count 0): what cannot be read counts as no line at all.
    prefs.lineCount = 0;
    EXPECT_TRUE(namesMatchTheModel(&prefs, now)) << change.what;
    removePath(dictionary.file.path);
  }
}

struct UnreadableRun {
  FilterPrefs* prefs;
};

bool unreadableGivesLetters(void* raw) {
  FilterPrefs* prefs = static_cast<UnreadableRun*>(raw)->prefs;
  const int32_t stored = prefs->lineCount;
  if (!namesMatchTheModel(prefs, {})) return false;
  return prefs->lineCount == stored;
}

TEST_F(DictionaryFaults, AnUnreadableFileGivesRandomLettersWhetherCountedOrNot) {
  for (int32_t stored : {4, 0}) {
    countThenRestart();
    prefs.lineCount = stored;
    UnreadableRun run{&prefs};
    EXPECT_TRUE(checkWithoutReadAccess(dictionary.file.path, unreadableGivesLetters, &run))
        << "stored count " << stored;
  }
  // Readable again: the lines are back at the next name.
  EXPECT_TRUE(namesMatchTheModel(&prefs, kCounted));
}

TEST_F(DictionaryFaults, ACorruptStoredCountNeverSizesTheTable) {
  for (int32_t stored : {-1, -2000000, INT32_MIN, INT32_MAX, INT32_MAX - 1}) {
    countThenRestart();
    prefs.lineCount = stored;
    EXPECT_TRUE(namesMatchTheModel(&prefs, stored > 0 ? kCounted : Lines{})) << stored;
    EXPECT_EQ(prefs.lineCount, stored) << "a stored count is not corrected";
  }
}

// Another process rewriting the file while the module counts and loads it: every state the file
// passes through between the count and the load is met somewhere in the run.
TEST_F(DictionaryFaults, AFileRewrittenWhileItIsReadNeverBreaksANameOrTheTable) {
  useDictionaryLines(&dictionary, &prefs, kCounted);
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (unsigned round = 0; !done; ++round) {
      switch (round % 4) {
        case 0: writeLines(dictionary.file.path, {std::string(round % 700, 'x'), "y"}); break;
        case 1: writeFileBytes(dictionary.file.path, ""); break;
        case 2: removePath(dictionary.file.path); break;
        default: writeLines(dictionary.file.path, makeWordLines(static_cast<int>(round % 300), 20));
      }
    }
  });
  for (int i = 0; i < 3000 && !HasFailure(); ++i) {
    prefs.lineCount = i % 3 == 0 ? 0 : prefs.lineCount;
    if (i % 7 == 0) releaseModuleTable();
    const std::string name = moduleName(&prefs, 64);
    ASSERT_LE(name.size(), 63u);
    ASSERT_GE(prefs.lineCount, 0);
    if (const WordTable* table = moduleTable(&prefs)) {
      ASSERT_GE(table->lineCount, 1);
      ASSERT_LE(table->lineCount, prefs.lineCount);
      ASSERT_LE(std::strlen(wordTableLine(*table, static_cast<uint32_t>(i))), 511u);
    }
  }
  done = true;
  writer.join();
}

}  // namespace
}  // namespace quindle
