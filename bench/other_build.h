// The kernel rows of the 32-bit build, beside the 64-bit ones: the 32-bit build of these
// benchmarks is run as a process of its own, prints its rows, and they go into the one table. Where
// it cannot run, the table says why in their place.
#ifndef QUINDLE_BENCH_OTHER_BUILD_H
#define QUINDLE_BENCH_OTHER_BUILD_H

#include "bench_table.h"

namespace quindle_bench {

// The flag that has a build register only the kernel rows and print them for another build.
constexpr char kRowsFlag[] = "--kernel-rows";

// Runs the 32-bit build at `path` for its kernel rows and hands them to `table`, each named
// "32-bit build, ..."; or a line saying why there are none.
void addThirtyTwoBitRows(const char* path, TableReporter* table);

}  // namespace quindle_bench

#endif
