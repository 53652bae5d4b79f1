// The `stats` format, for listings too large to print: the counts, the deepest level and the
// module's time, one "name: value" a line. Returns false when the output could not be written.
#ifndef QUINDLE_HOST_PRINT_STATS_PRINTER_H
#define QUINDLE_HOST_PRINT_STATS_PRINTER_H

#include <cstdio>

#include "host/print/tree_stats.h"

namespace quindle_host {

bool printStats(std::FILE* out, const TreeStats& stats, double moduleSeconds);

}  // namespace quindle_host

#endif
