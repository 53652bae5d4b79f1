// Where a random-letter name ends, from its two windows of character starts (x86-64): picked
// with conditional moves (which window is a coin toss, and the compiler would branch on it),
// then one 64-bit pdep.
#ifndef QUINDLE_GENERATOR_NAME_END_H
#define QUINDLE_GENERATOR_NAME_END_H

#include <immintrin.h>

#include <cstdint>

namespace quindle {

// The draw where the (length + 1)-th character would start: in the first window (`inFirst`
// starts from `firstAt`) or, when that has no more, in the second, which starts at `secondAt`
// and holds enough for any name of up to 63 characters.
__attribute__((target("bmi,bmi2"))) inline int nameEnd(int length, int firstAt, uint64_t firstStarts,
                                                       int inFirst, int secondAt, uint64_t secondStarts) {
  int base = firstAt;
  int rank = length + 1;
  uint64_t starts = firstStarts;
  const int secondRank = rank - inFirst;
  asm("cmp %[inFirst], %[length]\n\t"
      "cmovge %[secondAt], %[base]\n\t"
      "cmovge %[secondRank], %[rank]\n\t"
      "cmovge %[secondStarts], %[starts]"
      : [base] "+r"(base), [rank] "+r"(rank), [starts] "+r"(starts)
      : [inFirst] "r"(inFirst), [length] "r"(length), [secondAt] "r"(secondAt),
        [secondRank] "r"(secondRank), [secondStarts] "r"(secondStarts)
      : "cc");
  return base + static_cast<int>(_tzcnt_u64(_pdep_u64(1ull << (rank - 1), starts)));
}

}  // namespace quindle

#endif
