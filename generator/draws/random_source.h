// The filter's pseudo-random generator: the recurrence of the Windows C run-time's rand(), so a
// given seed yields exactly the draws that the platform's own srand/rand would give, on every
// build. Every draw is an integer from 0 to 32767; callers combine and reduce draws assuming
// exactly 15 bits.
//
// The module keeps one in its state (filter/module_state.h), seeded from the clock at each enabled
// execute; tests and benchmarks keep their own.
#ifndef QUINDLE_GENERATOR_DRAWS_RANDOM_SOURCE_H
#define QUINDLE_GENERATOR_DRAWS_RANDOM_SOURCE_H

#include <cstdint>

namespace quindle {

struct RandomSource {
  uint32_t state = 1;  // the C run-time's own seed before any srand
};

constexpr uint32_t kRandomMultiplier = 214013u;
constexpr uint32_t kRandomIncrement = 2531011u;
constexpr int kRandomMax = 32767;

inline void seedRandom(RandomSource& random, uint32_t seed) { random.state = seed; }

// MurmurHash3's 32-bit finalizer. Seeded with the second itself, the recurrence's first draw is a
// linear function of the clock, so listings made a few seconds apart visibly grow one from the
// next; mixed, neighbouring seconds give unrelated states. It is a bijection, so every second
// still gives exactly one tree, and the same second the same tree.
constexpr uint32_t mixClockSeconds(uint32_t seconds) {
  uint32_t h = seconds;
  h ^= h >> 16;
  h *= 0x85ebca6bu;
  h ^= h >> 13;
  h *= 0xc2b2ae35u;
  h ^= h >> 16;
  return h;
}

// Seeds from a calendar time in whole seconds, truncated to 32 bits.
inline void seedRandomFromClock(RandomSource& random, int64_t seconds) {
  seedRandom(random, mixClockSeconds(static_cast<uint32_t>(seconds)));
}

inline int drawRandom(RandomSource& random) {
  random.state = random.state * kRandomMultiplier + kRandomIncrement;
  return static_cast<int>((random.state >> 16) & 0x7FFFu);
}

}  // namespace quindle

#endif
