// The first states of a run of lanes: lane i holds the state that yields the i-th draw from the
// current state, found with the jump-ahead constants of a table rather than step by step, so no
// lane waits for the one before it. Each lane then advances by the lane count at once.
#ifndef QUINDLE_GENERATOR_KERNELS_LANE_START_H
#define QUINDLE_GENERATOR_KERNELS_LANE_START_H

#include <cstdint>

#include "generator/draws/draw_math.h"

namespace quindle {

template <int kLanes>
struct LaneSteps {
  alignas(64) uint32_t multipliers[kLanes];
  alignas(64) uint32_t increments[kLanes];
};

template <int kLanes>
constexpr LaneSteps<kLanes> makeLaneSteps() {
  LaneSteps<kLanes> steps = {};
  for (int i = 0; i < kLanes; ++i) {
    const AffineStep step = stepsOf(static_cast<uint32_t>(i + 1));
    steps.multipliers[i] = step.multiplier;
    steps.increments[i] = step.increment;
  }
  return steps;
}

template <int kLanes>
inline constexpr LaneSteps<kLanes> kLaneSteps = makeLaneSteps<kLanes>();

template <int kLanes>
inline void startLanes(uint32_t state, uint32_t* lanes) {
  for (int i = 0; i < kLanes; ++i) {
    lanes[i] = state * kLaneSteps<kLanes>.multipliers[i] + kLaneSteps<kLanes>.increments[i];
  }
}

}  // namespace quindle

#endif
