#include <gtest/gtest.h>

#include <string>

#include "host/print/module_text.h"

namespace quindle_host {
namespace {

std::string convert(const std::string& bytes) { return moduleTextToUtf8(bytes.c_str(), bytes.size()); }

TEST(ModuleTextPosix, KeepsValidUtf8AndReadsOtherBytesAsWindows1252) {
  EXPECT_EQ(convert("caf\xc3\xa9 \xf0\x9f\x8c\xb2"), "caf\xc3\xa9 \xf0\x9f\x8c\xb2");
  EXPECT_EQ(convert("caf\xe9"), "caf\xc3\xa9");               // Latin-1 range
  EXPECT_EQ(convert("\x80\x9f"), "\xe2\x82\xac\xc5\xb8");     // euro sign, Y with diaeresis
  EXPECT_EQ(convert("\x81"), "\xc2\x81");                     // unassigned: its own code point
  // Malformed sequences are read byte by byte: a truncated sequence, an overlong form, a
  // surrogate, and a code point above U+10FFFF.
  EXPECT_EQ(convert("\xc3"), "\xc3\x83");
  EXPECT_EQ(convert("\xc0\xaf"), "\xc3\x80\xc2\xaf");
  EXPECT_EQ(convert("\xed\xa0\x80"), "\xc3\xad\xc2\xa0\xe2\x82\xac");
  EXPECT_EQ(convert("\xf4\x90\x80\x80"), "\xc3\xb4\xc2\x90\xe2\x82\xac\xe2\x82\xac");
}

}  // namespace
}  // namespace quindle_host
