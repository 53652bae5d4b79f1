// One line on stderr that follows a long run while the module builds its tree: the entries and
// directories made so far, the memory they take and the time. Only when stderr is a terminal, not
// in the first half second, at most ten times a second, and cleared when the run ends: a short
// run, and anything that reads stderr, sees nothing of it. It is driven from the host's
// allocation callback, the only code of the host's that runs while the module works.
#ifndef QUINDLE_HOST_PROGRESS_H
#define QUINDLE_HOST_PROGRESS_H

#include <string>

#include "host_kit/directory_allocator.h"

namespace quindle_host {

void startProgress();
void endProgress();

// What the line says after `seconds`.
std::string progressText(const quindle_host_kit::AllocatorCounts& counts, double seconds);

// Whether the line is due `seconds` after the start, when it was last shown at `lastShown`
// (negative: not yet).
bool progressDue(double seconds, double lastShown);

}  // namespace quindle_host

#endif
