// The word operations of a random-letter name on 32-bit x86, where BMI2 works on 32 bits only:
// masks of the low bits, and where the name ends. Every choice is made by masking: which window
// and which half of it are coin tosses that a branch would guess wrong half the time.
#ifndef QUINDLE_GENERATOR_NAME_BITS_H
#define QUINDLE_GENERATOR_NAME_BITS_H

#include <immintrin.h>

#include <cstdint>

#include "generator/draws/draw_math.h"

namespace quindle {

// The low `count` bits, for counts from 0 to 64.
constexpr uint64_t lowBits(int count) {
  return ((1ull << (count & 63)) - 1) | (0 - static_cast<uint64_t>(count >> 6));
}

// The draw where the (length + 1)-th character would start: in the first window (`inFirst`
// starts from `firstAt`) or, when that has no more, in the second, which starts at `secondAt`
// and holds enough for any name of up to 63 characters.
__attribute__((target("bmi,bmi2,popcnt"))) inline int nameEnd(int length, int firstAt, uint64_t firstStarts,
                                                              int inFirst, int secondAt, uint64_t secondStarts) {
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

}  // namespace quindle

#endif
