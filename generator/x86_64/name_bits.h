// The word operations of a random-letter name on x86-64, with BMI2's 64-bit instructions: masks
// of the low bits, and where the name ends, picked with conditional moves (which window it ends
// in is a coin toss, and the compiler would branch on it) and found with one pdep.
#ifndef QUINDLE_GENERATOR_NAME_BITS_H
#define QUINDLE_GENERATOR_NAME_BITS_H

#include <immintrin.h>

#include <cstdint>

namespace quindle {

// The low `count` bits, for counts from 0 to 64.
__attribute__((target("bmi2"))) inline uint64_t lowBits(int count) {
  return _bzhi_u64(~0ull, static_cast<unsigned>(count));
}

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
