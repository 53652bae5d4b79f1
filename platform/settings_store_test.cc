#include "platform/settings_store.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "test_settings.h"

namespace quindle {
namespace {

using namespace quindle_test;

class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override {
    settings = createTestSettingsKey();
    ASSERT_NE(settings.key, nullptr);
  }
  void TearDown() override { removeTestSettingsKey(settings); }

  // Reads into `record` laid between guard bytes: a read that strays past the record, even by
  // a whole buffer's worth, changes a guard and fails here rather than in the heap's checks.
  std::string readInto(const char* name, const std::string& record) {
    constexpr size_t kGuard = 1024;
    const std::string guard(kGuard, '\xEE');
    std::string memory = guard + record + guard;
    ModuleHeap heap;
    readStoredValue(settings.key, name, &memory[kGuard], record.size(), heap);
    EXPECT_EQ(memory.substr(0, kGuard), guard) << name << ": written before the record";
    EXPECT_EQ(memory.substr(kGuard + record.size()), guard) << name << ": written past the record";
    return memory.substr(kGuard, record.size());
  }

  SettingsKey settings;
};

TEST_F(SettingsStore, ReadingOverlaysOnlyWhatIsStored) {
  EXPECT_EQ(readInto("absent", "xxxxxxxx"), "xxxxxxxx");

  writeStoredValue(settings.key, "short", "abc", 3);
  EXPECT_EQ(readInto("short", "xxxxxxxx"), "abcxxxxx");

  writeStoredValue(settings.key, "long", "0123456789abcdef", 16);
  EXPECT_EQ(readInto("long", "xxxxxxxx"), "01234567");

  writeStoredValue(settings.key, "empty", "", 0);
  EXPECT_EQ(readInto("empty", "xxxxxxxx"), "xxxxxxxx");

  // A settings record under a value far longer than itself.
  const std::string longer(700, 'L');
  writeStoredValue(settings.key, "prefs", longer.data(), longer.size());
  EXPECT_EQ(readInto("prefs", std::string(276, 'x')), std::string(276, 'L'));

  // A record larger than any of the module's is not read, on every platform alike.
  const std::string huge(kMostStoredRecord + 1, 'x');
  EXPECT_EQ(readInto("prefs", std::string(kMostStoredRecord, 'x')), std::string(kMostStoredRecord, 'L'));
  EXPECT_EQ(readInto("prefs", huge), huge);
}

TEST_F(SettingsStore, WritingReplacesTheWholeValue) {
  writeStoredValue(settings.key, "value", "0123456789", 10);
  writeStoredValue(settings.key, "value", "ab", 2);
  std::string stored;
  ASSERT_TRUE(readRawValue(settings, "value", &stored));
  EXPECT_EQ(stored, "ab");
}

}  // namespace
}  // namespace quindle
