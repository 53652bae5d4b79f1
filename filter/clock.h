// The seed source for execute: the calendar time in whole seconds. The module's state holds the
// clock it asks; tests put their own there so that a run is repeatable.
#ifndef QUINDLE_FILTER_CLOCK_H
#define QUINDLE_FILTER_CLOCK_H

#include <cstdint>

namespace quindle {

using SecondsClock = int64_t (*)();

// The calendar time, in whole seconds, as the C library tells it.
int64_t systemTimeSeconds();

}  // namespace quindle

#endif
