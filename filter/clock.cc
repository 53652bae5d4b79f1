#include "filter/clock.h"

#include <ctime>

namespace quindle {
namespace {

int64_t systemTimeSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

SecondsClock installedClock = systemTimeSeconds;

}  // namespace

int64_t currentTimeSeconds() { return installedClock(); }

SecondsClock replaceClockForTesting(SecondsClock clock) {
  SecondsClock previous = installedClock;
  installedClock = clock ? clock : systemTimeSeconds;
  return previous;
}

}  // namespace quindle
