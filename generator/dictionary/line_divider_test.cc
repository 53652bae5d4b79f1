#include "generator/dictionary/line_divider.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace quindle {
namespace {

// Numerators where a quotient steps, at both ends of the 32-bit range, and a spread between.
std::vector<uint32_t> numeratorsFor(uint32_t divisor, uint32_t* spread) {
  std::vector<uint32_t> numerators = {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
  const uint32_t lastMultiple = 0xFFFFFFFFu / divisor * divisor;
  for (uint32_t k : {1u, 2u, 3u}) {
    for (uint32_t base : {k * divisor, lastMultiple - (k - 1) * divisor}) {
      numerators.push_back(base - 1);
      numerators.push_back(base);
      numerators.push_back(base + 1);
    }
  }
  for (int i = 0; i < 64; ++i) numerators.push_back(*spread = *spread * 1664525u + 1013904223u);
  return numerators;
}

TEST(LineDivider, RemaindersMatchTheDivideForEveryKindOfDivisor) {
  std::vector<uint32_t> divisors;
  for (uint32_t d = 1; d <= 70000; ++d) divisors.push_back(d);  // every size a dictionary has
  for (int bit = 0; bit < 32; ++bit) {
    const uint32_t power = 1u << bit;
    for (uint32_t d : {power - 1, power, power + 1}) {
      if (d != 0) divisors.push_back(d);
    }
  }
  divisors.push_back(0x7FFFFFFFu);  // the largest stored line count
  divisors.push_back(0xFFFFFFFFu);
  uint32_t spread = 12345;
  for (int i = 0; i < 2000; ++i) divisors.push_back((spread = spread * 69069u + 1u) | 1u);
  for (uint32_t divisor : divisors) {
    const LineDivider divider = lineDividerFor(divisor);
    for (uint32_t n : numeratorsFor(divisor, &spread)) {
      ASSERT_EQ(remainderOf(n, divider), n % divisor) << n << " % " << divisor;
    }
  }
}

}  // namespace
}  // namespace quindle
