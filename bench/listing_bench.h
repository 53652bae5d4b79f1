// The trees the benchmarks run on, and their registration.
#ifndef QUINDLE_BENCH_LISTING_BENCH_H
#define QUINDLE_BENCH_LISTING_BENCH_H

#include <cstdint>

#include "generator/kernels/kernel_table.h"

namespace quindle_bench {

struct TreeCase {
  const char* label;
  uint32_t maxFiles;
  int32_t dirLevels;
  uint32_t seed;
  const char* dictionary;  // null: random-letter names
  int iterations;          // trees made by each of builder, floor and model
  const quindle::Kernel* kernel = nullptr;  // forced as the tests force one; null: the module's choice
};

// Registers builder, floor and model for one tree.
void registerTreeBenchmarks(const TreeCase& tree);

// The same, once for each kernel this processor runs, each row named after its kernel.
void registerKernelTreeBenchmarks(const TreeCase& tree);

// Where the directories come from: the benchmarks' host (a block each from a heap that keeps
// freed memory) or the reference host's arena.
enum class HostAllocator { heap, arena };

// Registers the builder with each host allocator for one tree, warm and in a fresh process.
void registerHostBenchmarks(const TreeCase& tree);

// Builds the tree once with `allocator` and returns the nanoseconds it took: what a fresh process
// started with --fresh-tree prints.
double buildOnceFresh(HostAllocator allocator, const TreeCase& tree);

}  // namespace quindle_bench

#endif
