#include "host/print/stats_printer.h"

namespace quindle_host {

bool printStats(std::FILE* out, const TreeStats& stats, const RunFigures& figures) {
  const uint64_t entries = stats.directories + stats.files;
  std::fprintf(
      out,
      "directories: %llu\nfiles: %llu\nentries: %llu\ndeepest level: %d\nmodule time: %.3f s\n",
      static_cast<unsigned long long>(stats.directories),
      static_cast<unsigned long long>(stats.files), static_cast<unsigned long long>(entries),
      stats.deepestLevel, figures.moduleSeconds);
  if (figures.moduleBuilt && figures.dictionaryNamed) {
    std::fprintf(out, "dictionary load: %.3f s\n", figures.loadSeconds);
  }
  // A disabled filter built nothing: the entries are the host's own, and took the module no time.
  if (figures.moduleBuilt && entries > 0) {
    const double building = figures.moduleSeconds - figures.loadSeconds;
    std::fprintf(out, "per entry: %.1f ns\n", building * 1e9 / static_cast<double>(entries));
  }
  std::fprintf(out, "entry budget: %llu (%s)\n", static_cast<unsigned long long>(figures.entryBudget),
               figures.budgetChosen ? "--max-entries" : "half of the memory the host may use");
  return std::fflush(out) == 0 && !std::ferror(out);
}

}  // namespace quindle_host
