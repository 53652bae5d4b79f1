// The `stats` format, for listings too large to print: the counts, the deepest level, the module's
// time (with the dictionary's load on a line of its own, and the time per entry only where the
// module built the entries) and the entry budget in force, one "name: value" a line. Returns false
// when the output could not be written.
#ifndef QUINDLE_HOST_PRINT_STATS_PRINTER_H
#define QUINDLE_HOST_PRINT_STATS_PRINTER_H

#include <cstdint>
#include <cstdio>

#include "host/print/tree_stats.h"

namespace quindle_host {

struct RunFigures {
  double moduleSeconds = 0;
  double loadSeconds = 0;     // of those, the dictionary's load
  bool dictionaryNamed = false;
  bool moduleBuilt = false;   // false when the filter handed the host's own tree back
  uint64_t entryBudget = 0;
  bool budgetChosen = false;  // the user's --max-entries, else the default
};

bool printStats(std::FILE* out, const TreeStats& stats, const RunFigures& figures);

}  // namespace quindle_host

#endif
