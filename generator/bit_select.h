// Finding the n-th set bit of a 64-bit mask with BMI2's pdep. pdep is taken 32 bits at a time so
// that the same code serves the 32-bit build, where no 64-bit pdep exists.
#ifndef QUINDLE_GENERATOR_BIT_SELECT_H
#define QUINDLE_GENERATOR_BIT_SELECT_H

#include <immintrin.h>

#include <cstdint>

namespace quindle {

// The position of the n-th set bit of `mask`, counting from 1; `mask` must have n set bits.
__attribute__((target("bmi,bmi2,popcnt"))) inline int nthSetBit(uint64_t mask, int n) {
  const uint32_t low = static_cast<uint32_t>(mask);
  const int inLow = __builtin_popcount(low);
  if (n <= inLow) return static_cast<int>(_tzcnt_u32(_pdep_u32(1u << (n - 1), low)));
  return 32 + static_cast<int>(_tzcnt_u32(_pdep_u32(1u << (n - 1 - inLow), static_cast<uint32_t>(mask >> 32))));
}

}  // namespace quindle

#endif
