#include "host/disk/disk_names.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace quindle_host {
namespace {

struct NameCase {
  const char* what;
  std::vector<std::string> entries;  // one folder's names, in order
  std::vector<std::string> onDisk;
};

std::ostream& operator<<(std::ostream& out, const NameCase& c) { return out << c.what; }

class DiskNames : public testing::TestWithParam<NameCase> {};

TEST_P(DiskNames, FollowTheRule) {
  const NameCase& c = GetParam();
  std::vector<FileEntry> entries(c.entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    std::memset(&entries[i], 0, sizeof entries[i]);
    std::memcpy(entries[i].name, c.entries[i].data(), c.entries[i].size());
  }
  FolderNames names;
  nameFolder(entries.data(), static_cast<int32_t>(entries.size()), &names);
  std::vector<std::string> onDisk;
  for (size_t i = 0; i < entries.size(); ++i) {
    onDisk.push_back(nameOf(names, static_cast<int32_t>(i)));
  }
  EXPECT_EQ(onDisk, c.onDisk);
}

const NameCase kNameCases[] = {
    {"plain names pass", {"River cup", "caf\xe9", "a.b"}, {"River cup", "caf\xe9", "a.b"}},
    {"separators and reserved marks",
     {"../../etc/x", "a\\b", "C:*?\"<>|"},
     {".._.._etc_x", "a_b", "C_______"}},
    {"control bytes and DEL", {std::string("a\x01\x1f\x7f") + "b", "\t\n"}, {"a___b", "__"}},
    {"bytes above DEL stay", {"\x80\xff\xc3\xa9"}, {"\x80\xff\xc3\xa9"}},
    {"trailing spaces and dots go", {"Daisy ", "Tall . . ", " lead"}, {"Daisy", "Tall", " lead"}},
    {"nothing left is _",
     {"", "..", ".", " . .", "   "},
     {"_", "_ (2)", "_ (3)", "_ (4)", "_ (5)"}},
    {"devices in any case",
     {"CON", "con", "Nul.txt", "aux.tar.gz", "pRn ", "com1", "LPT9.x"},
     {"_CON", "_con (2)", "_Nul.txt", "_aux.tar.gz", "_pRn", "_com1", "_LPT9.x"}},
    {"near devices are names",
     {"CONSOLE", "COM0", "LPT10", "com", "AUXx.txt", "xNUL"},
     {"CONSOLE", "COM0", "LPT10", "com", "AUXx.txt", "xNUL"}},
    {"the rule's result is what collides",
     {"Tiny ", "tiny", "TINY.", "tiny (2)"},
     {"Tiny", "tiny (2)", "TINY (3)", "tiny (2) (2)"}},
    {"only ASCII letters fold",
     {"\xc9t\xe9", "\xe9t\xe9", "\xc9T\xc9"},
     {"\xc9t\xe9", "\xe9t\xe9", "\xc9T\xc9"}},
    {"a full field has no end byte", {std::string(64, 'x')}, {std::string(64, 'x')}},
};

std::string caseName(const testing::TestParamInfo<NameCase>& info) {
  std::string name = info.param.what;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(EveryStep, DiskNames, testing::ValuesIn(kNameCases), caseName);

// Many collisions in one folder: every name unique, each number the first free one.
TEST(DiskNamesCrowd, NumbersThemInOrder) {
  std::vector<FileEntry> entries(300);
  for (FileEntry& entry : entries) {
    std::memset(&entry, 0, sizeof entry);
    std::strcpy(entry.name, "Same ");
  }
  FolderNames names;
  nameFolder(entries.data(), static_cast<int32_t>(entries.size()), &names);
  EXPECT_STREQ(nameOf(names, 0), "Same");
  EXPECT_STREQ(nameOf(names, 299), "Same (300)");
}

}  // namespace
}  // namespace quindle_host
