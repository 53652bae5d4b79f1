#include "host/disk/tree_plan.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quindle_host {
namespace {

struct SizeCase {
  const char* sizeText;
  uint64_t bytes;
};

class FileBytes : public testing::TestWithParam<SizeCase> {};

// A file's length comes from its size text "NKB" and nothing else; anything else is an empty file.
TEST_P(FileBytes, ComeFromTheSizeText) {
  FileEntry entry;
  std::memset(&entry, 0, sizeof entry);
  std::memcpy(entry.sizeText, GetParam().sizeText, std::strlen(GetParam().sizeText));
  EXPECT_EQ(fileBytes(entry), GetParam().bytes) << GetParam().sizeText;
}

INSTANTIATE_TEST_SUITE_P(
    SizeTexts, FileBytes,
    testing::Values(SizeCase{"0KB", 0}, SizeCase{"1KB", 1024}, SizeCase{"299KB", 299 * 1024},
                    SizeCase{"9999999999999KB", 9999999999999ull * 1024},  // 13 digits fit
                    SizeCase{"99999999999999K", 0},  // 14 digits leave no room for "KB"
                    SizeCase{"[dir]", 0}, SizeCase{"KB", 0}, SizeCase{"12K", 0},
                    SizeCase{"12kb", 0}, SizeCase{" 12KB", 0}, SizeCase{"12KBx", 0},
                    SizeCase{"-1KB", 0}));

}  // namespace
}  // namespace quindle_host
