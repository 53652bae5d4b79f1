// The word operations of a random-letter name for the AVX-512 kernel: masks of the low bits, 64
// bits as a mask register, and the draw where a name ends, found with pdep. Which window a name
// ends in is a coin toss, so the choice is never a branch.
//
// pdep works on 64 bits only in 64-bit mode: 64-bit x86 picks the window with conditional moves
// and deposits once; 32-bit x86 picks the window and then its half by masking, and deposits into
// 32 bits. Both are always inlined: a kernel whose target lacks their instruction sets does not
// compile, so what a kernel states it needs covers these too.
#ifndef QUINDLE_GENERATOR_KERNELS_NAME_BITS_H
#define QUINDLE_GENERATOR_KERNELS_NAME_BITS_H

#include <immintrin.h>

#include <cstdint>

#include "generator/draws/draw_math.h"

#define QUINDLE_NAME_BITS(sets) __attribute__((target(sets), always_inline)) inline

namespace quindle {

#if defined(__x86_64__)

// The low `count` bits, for counts from 0 to 64.
QUINDLE_NAME_BITS("bmi2") uint64_t lowBits(int count) {
  return _bzhi_u64(~0ull, static_cast<unsigned>(count));
}

QUINDLE_NAME_BITS("avx512bw") __mmask64 maskOf(uint64_t bits) { return _cvtu64_mask64(bits); }

// The draw where the (length + 1)-th character would start: in the first window (`inFirst`
// starts from `firstAt`) or, when that has no more, in the second, which starts at `secondAt`
// and holds enough for any name of up to 63 characters.
QUINDLE_NAME_BITS("bmi,bmi2") int nameEnd(int length, int firstAt, uint64_t firstStarts, int inFirst,
                                          int secondAt, uint64_t secondStarts) {
  int base = firstAt;
  int rank = length + 1;
  uint64_t starts = firstStarts;
  const int secondRank = rank - inFirst;
  // The compiler would branch on the window.
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

#elif defined(__i386__)

// The low `count` bits, for counts from 0 to 64.
constexpr uint64_t lowBits(int count) {
  return ((1ull << (count & 63)) - 1) | (0 - static_cast<uint64_t>(count >> 6));
}

// 32-bit x86 moves no more than 32 bits from general registers to a mask register: each half goes
// in on its own and the two are joined there. Through memory, the load of the two halves' stores
// would wait for both to be written.
QUINDLE_NAME_BITS("avx512bw") __mmask64 maskOf(uint64_t bits) {
  return _mm512_kunpackd(_cvtu32_mask32(static_cast<uint32_t>(bits >> 32)),
                         _cvtu32_mask32(static_cast<uint32_t>(bits)));
}

// As on 64-bit x86 above, with the half of the window chosen by its count of starts.
QUINDLE_NAME_BITS("bmi,bmi2,popcnt") int nameEnd(int length, int firstAt, uint64_t firstStarts, int inFirst,
                                                 int secondAt, uint64_t secondStarts) {
  const bool inSecond = length >= inFirst;
  const uint64_t starts = chooseBits(inSecond, secondStarts, firstStarts);
  const int rank = length + 1 - chooseInt(inSecond, inFirst, 0);
  const uint32_t low = static_cast<uint32_t>(starts);
  const int inLow = __builtin_popcount(low);
  const bool inHigh = rank > inLow;
  const uint32_t half = static_cast<uint32_t>(chooseBits(inHigh, starts >> 32, low));
  const int rankInHalf = rank - chooseInt(inHigh, inLow, 0);
  return chooseInt(inSecond, secondAt, firstAt) + chooseInt(inHigh, 32, 0) +
         static_cast<int>(_tzcnt_u32(_pdep_u32(1u << (rankInHalf - 1), half)));
}

#else
#error "the vector kernels are built for x86 only (cmake/listing-kernels.cmake)"
#endif

}  // namespace quindle

#undef QUINDLE_NAME_BITS

#endif
