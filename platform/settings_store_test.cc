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

  std::string readInto(const char* name, std::string record) {
    readStoredValue(settings.key, name, &record[0], record.size());
    return record;
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
