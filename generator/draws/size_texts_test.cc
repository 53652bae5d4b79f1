#include "generator/draws/size_texts.h"

#include <string>

#include <gtest/gtest.h>

namespace quindle {
namespace {

TEST(SizeTexts, AreTheNumbersWithKBZeroFilled) {
  for (int kilobytes = 0; kilobytes < kSizeTextCount; ++kilobytes) {
    const SizeTextField& field = kSizeTexts.sizes[kilobytes];
    const std::string expected = std::to_string(kilobytes) + "KB";
    ASSERT_EQ(std::string(field.text, sizeof field.text), expected + std::string(16 - expected.size(), '\0'));
  }
  EXPECT_EQ(std::string(kSizeTexts.directory.text, 16), std::string("[dir]") + std::string(11, '\0'));
}

}  // namespace
}  // namespace quindle
