// The filter's pseudo-random generator: the recurrence of the Windows C run-time's rand(), so a
// given seed yields exactly the draws that the platform's own srand/rand would give, on every
// build. Every draw is an integer from 0 to 32767; callers combine and reduce draws assuming
// exactly 15 bits.
//
// One module-wide state, seeded at each enabled execute; not thread-safe (the host calls one
// export at a time).
#ifndef QUINDLE_GENERATOR_RANDOM_SOURCE_H
#define QUINDLE_GENERATOR_RANDOM_SOURCE_H

#include <cstdint>

namespace quindle {

struct RandomSource {
  uint32_t state;
};

extern RandomSource randomSource;

constexpr uint32_t kRandomMultiplier = 214013u;
constexpr uint32_t kRandomIncrement = 2531011u;
constexpr int kRandomMax = 32767;

inline void seedRandom(uint32_t seed) { randomSource.state = seed; }

inline int drawRandom() {
  randomSource.state = randomSource.state * kRandomMultiplier + kRandomIncrement;
  return static_cast<int>((randomSource.state >> 16) & 0x7FFFu);
}

}  // namespace quindle

#endif
