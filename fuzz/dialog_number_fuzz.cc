// The dialog's reading of a typed number, for any text up to its first zero byte, against a
// reference written another way: by the digits' text rather than by arithmetic.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialog/dialog_rules.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

uint32_t referenceNumber(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos || text[start] < '0' || text[start] > '9') return 0;
  const size_t end = std::min(text.find_first_not_of("0123456789", start), text.size());
  std::string digits = text.substr(start, end - start);
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
  if (digits.size() > 10 || (digits.size() == 10 && digits > "4294967295")) return 0;
  return digits.empty() ? 0 : static_cast<uint32_t>(std::stoull(digits));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data),
                         strnlen(reinterpret_cast<const char*>(data), size));
  check(quindle::readDialogNumber(text.c_str()) == referenceNumber(text));
  return 0;
}
