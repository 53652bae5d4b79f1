// The n-th set bit of a 64-bit mask where pdep is only 32 bits wide (32-bit x86): both halves are
// looked at and one is picked without a branch, since which half holds the bit is unpredictable
// in random masks.
#ifndef QUINDLE_GENERATOR_NTH_SET_BIT_H
#define QUINDLE_GENERATOR_NTH_SET_BIT_H

#include <immintrin.h>

#include <cstdint>

#include "generator/draw_math.h"

namespace quindle {

// The position of the n-th set bit of `mask`, counting from 1; `mask` must have n set bits.
__attribute__((target("bmi,bmi2,popcnt"))) inline int nthSetBit(uint64_t mask, int n) {
  const uint32_t low = static_cast<uint32_t>(mask);
  const uint32_t high = static_cast<uint32_t>(mask >> 32);
  const int inLow = __builtin_popcount(low);
  const bool inHigh = n > inLow;
  const uint32_t half = static_cast<uint32_t>(chooseBits(inHigh, high, low));
  const int rank = n - chooseInt(inHigh, inLow, 0);
  return chooseInt(inHigh, 32, 0) + static_cast<int>(_tzcnt_u32(_pdep_u32(1u << (rank - 1), half)));
}

}  // namespace quindle

#endif
