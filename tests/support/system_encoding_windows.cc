#include <windows.h>

#include <cstdlib>
#include <string>

#include "system_encoding.h"

namespace quindle_test {

// QUINDLE_TEST_CODE_PAGE names the code page the test run was started for: the one a double-byte
// run asks Wine for through the Unix locale.
SystemEncoding::SystemEncoding() {
  const UINT codePage = GetACP();
  const char* wanted = std::getenv("QUINDLE_TEST_CODE_PAGE");
  if (wanted && std::strtoul(wanted, nullptr, 10) != codePage) {
    missing_ = "the ANSI code page is " + std::to_string(codePage) + ", not " + wanted +
               " (under Wine it comes from the Unix locale: scripts/install-deps.sh test generates ja_JP.UTF-8)";
  }
  CPINFO info;
  if (codePage == CP_UTF8) {
    model_.kind = ModelEncoding::utf8;
    characters_ = {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
  } else if (GetCPInfo(codePage, &info) && info.MaxCharSize == 2) {
    model_.kind = ModelEncoding::doubleByte;
    for (int byte = 0x80; byte < 0x100; ++byte) {
      if (!IsDBCSLeadByteEx(codePage, static_cast<BYTE>(byte))) continue;
      model_.leadBytes += static_cast<char>(byte);
      // A pair with the smallest trail byte the code pages use, and one whose trail is a letter.
      if (characters_.size() < 4) {
        characters_.push_back(std::string{static_cast<char>(byte), '\x40'});
        characters_.push_back(std::string{static_cast<char>(byte), '\xA0'});
      }
    }
  } else {
    characters_ = {"\xE9", "\xFC"};
  }
}

SystemEncoding::~SystemEncoding() {}

}  // namespace quindle_test
