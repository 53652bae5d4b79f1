// The seed source for execute: the calendar time in whole seconds. Tests replace it so that a
// run is repeatable; the module itself never does.
#ifndef QUINDLE_FILTER_CLOCK_H
#define QUINDLE_FILTER_CLOCK_H

#include <cstdint>

namespace quindle {

using SecondsClock = int64_t (*)();

// The current calendar time, in whole seconds, from the installed clock.
int64_t currentTimeSeconds();

// Installs `clock` (null restores the system clock); returns the one it replaces.
SecondsClock replaceClockForTesting(SecondsClock clock);

}  // namespace quindle

#endif
