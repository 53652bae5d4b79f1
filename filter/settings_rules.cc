#include "filter/settings_rules.h"

namespace quindle {
namespace {

// As many as the largest 64-bit number has; more can only be leading zeros.
constexpr int kMostDigits = 20;

}  // namespace

bool readPlainNumber(const char* text, NumberRange range, uint64_t* value) {
  if (!text || *text == '\0') return false;
  uint64_t number = 0;
  for (int digits = 0; text[digits] != '\0'; ++digits) {
    const char c = text[digits];
    if (digits == kMostDigits || c < '0' || c > '9' || number > (UINT64_MAX - 9) / 10) {
      return false;
    }
    number = number * 10 + static_cast<uint64_t>(c - '0');
  }
  if (number < range.least || number > range.most) return false;
  *value = number;
  return true;
}

}  // namespace quindle
