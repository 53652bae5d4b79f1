// One line on stderr that follows a long task: while the module builds its tree (driven from the
// host's allocation callback, the only code of the host's that runs while the module works), and
// while the tree is written to disk. Only when stderr is a terminal, not before the task's quiet
// time, at most ten times a second, and cleared when the task ends: anything that reads stderr
// sees nothing of it.
#ifndef QUINDLE_HOST_PROGRESS_H
#define QUINDLE_HOST_PROGRESS_H

#include <functional>
#include <string>

#include "host_kit/directory_allocator.h"

namespace quindle_host {

// What the line says `seconds` after the start.
using ProgressText = std::function<std::string(double seconds)>;

// Starts following a task; nothing shows before `quietSeconds`.
void startProgress(ProgressText text, double quietSeconds);

// Shows the line when it is due; cheap enough to call for every entry.
void showProgress();

void endProgress();

// Follows the module building its tree: the entries, directories, memory and time, from half a
// second on.
void startListingProgress();

// What the listing's line says after `seconds`.
std::string listingProgressText(const quindle_host_kit::AllocatorCounts& counts, double seconds);

// Whether the line is due `seconds` after the start, when it was last shown at `lastShown`
// (negative: not yet).
bool progressDue(double seconds, double lastShown, double quietSeconds);

}  // namespace quindle_host

#endif
