// One host session on a settings key whose store may fail: initialize, run once enabled, change
// the settings and the dialog position, uninitialize. Expects (through GoogleTest) that all of it
// prints nothing, that initialize succeeds and that the tree is sound and freed whole.
#ifndef QUINDLE_TESTS_SILENT_CYCLE_H
#define QUINDLE_TESTS_SILENT_CYCLE_H

#include "filter/filter_api.h"

namespace quindle_test {

// The settings initialize read (zeros if it failed).
FilterPrefs runSilentCycle(FileFilterSettingsKey key, const char* what);

}  // namespace quindle_test

#endif
