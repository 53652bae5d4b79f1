// Remainders of 32-bit line draws by a line count known only at run time, from one multiply
// instead of a divide instruction: a name's lines are each looked up twice per entry (once ahead
// by the scout, once to be written), and the divide would cost more than the rest of the lookup.
//
// This is the round-up method: for a divisor d with 2^l < d < 2^(l+1), the 33-bit reciprocal
// 2^32 + magic gives the quotient as ((n - mulhi(magic, n)) / 2 + mulhi(magic, n)) >> l, with no
// overflow anywhere. A power of two has magic 0, and a divisor of 1 gives 0 by masking.
// Only 32 x 32 -> 64-bit multiplies, so the 32-bit build pays the same.
#ifndef QUINDLE_GENERATOR_DICTIONARY_LINE_DIVIDER_H
#define QUINDLE_GENERATOR_DICTIONARY_LINE_DIVIDER_H

#include <cstdint>

namespace quindle {

struct LineDivider {
  uint32_t divisor;
  uint32_t magic;
  uint32_t shift;
  uint32_t keep;  // all ones, or 0 for a divisor of 1, where every remainder is 0
};

// `divisor` must be at least 1.
inline LineDivider lineDividerFor(uint32_t divisor) {
  if (divisor == 1) return {1, 0, 0, 0};
  const uint32_t log2 = 31u - static_cast<uint32_t>(__builtin_clz(divisor));
  if ((divisor & (divisor - 1)) == 0) return {divisor, 0, log2 - 1, ~0u};
  const uint64_t power = uint64_t{1} << (32 + log2);
  uint32_t magic = static_cast<uint32_t>(power / divisor);  // below 2^32, as divisor > 2^log2
  const uint32_t rest = static_cast<uint32_t>(power % divisor);
  magic += magic;
  const uint32_t twiceRest = rest + rest;
  if (twiceRest >= divisor || twiceRest < rest) magic += 1;
  return {divisor, magic + 1, log2, ~0u};
}

inline uint32_t remainderOf(uint32_t n, const LineDivider& d) {
  const uint32_t high = static_cast<uint32_t>((static_cast<uint64_t>(d.magic) * n) >> 32);
  const uint32_t quotient = (((n - high) >> 1) + high) >> d.shift;
  return (n - quotient * d.divisor) & d.keep;
}

}  // namespace quindle

#endif
