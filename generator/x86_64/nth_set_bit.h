// The n-th set bit of a 64-bit mask with one 64-bit pdep (x86-64).
#ifndef QUINDLE_GENERATOR_NTH_SET_BIT_H
#define QUINDLE_GENERATOR_NTH_SET_BIT_H

#include <immintrin.h>

#include <cstdint>

namespace quindle {

// The position of the n-th set bit of `mask`, counting from 1; `mask` must have n set bits.
__attribute__((target("bmi,bmi2"))) inline int nthSetBit(uint64_t mask, int n) {
  return static_cast<int>(_tzcnt_u64(_pdep_u64(1ull << (n - 1), mask)));
}

}  // namespace quindle

#endif
