// The first states of a run of lanes: lane i holds the state that yields the i-th draw from
// `state`, and every lane then advances by the lane count at once.
#ifndef QUINDLE_GENERATOR_LANE_START_H
#define QUINDLE_GENERATOR_LANE_START_H

#include <cstdint>

#include "generator/random_source.h"

namespace quindle {

inline void startLanes(uint32_t state, uint32_t* lanes, int count) {
  for (int i = 0; i < count; ++i) lanes[i] = state = state * kRandomMultiplier + kRandomIncrement;
}

}  // namespace quindle

#endif
