// Writing a tree to disk: the reference host's writer, with one thread and with two, against the
// plain C floor (write_floor.h), on the same tree and the same file system.
#ifndef QUINDLE_BENCH_WRITE_BENCH_H
#define QUINDLE_BENCH_WRITE_BENCH_H

#include <cstdint>
#include <string>

namespace quindle_bench {

struct WriteCase {
  std::string place;  // a folder on the file system to write to; made and emptied here
  uint64_t entries;   // the tree: the listing of the defaults' seed, cut at this many entries
  int turns;          // trees written by each of floor, writer and two threads
};

// Registers the three writers for one tree on one file system, `shownPlace` in the table.
void registerWriteBenchmarks(const WriteCase& write, const std::string& shownPlace);

// Removes what the writing benchmarks made; called once they have all run, so that the file
// system's slow time after a large delete falls on no measurement.
void removeWrittenTrees();

}  // namespace quindle_bench

#endif
