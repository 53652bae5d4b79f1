#include "host/print/stats_printer.h"

namespace quindle_host {

bool printStats(std::FILE* out, const TreeStats& stats, double moduleSeconds) {
  const uint64_t entries = stats.directories + stats.files;
  std::fprintf(
      out,
      "directories: %llu\nfiles: %llu\nentries: %llu\ndeepest level: %d\nmodule time: %.3f s\n",
      static_cast<unsigned long long>(stats.directories),
      static_cast<unsigned long long>(stats.files), static_cast<unsigned long long>(entries),
      stats.deepestLevel, moduleSeconds);
  if (entries > 0) {
    std::fprintf(out, "per entry: %.1f ns\n", moduleSeconds * 1e9 / static_cast<double>(entries));
  }
  return std::fflush(out) == 0 && !std::ferror(out);
}

}  // namespace quindle_host
