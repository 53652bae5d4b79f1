// How the benchmarks host the module: the host kit's allocator with its entries left as the heap
// gives them, as a host that lets the filter write its entries would allocate them. Freed blocks
// go back to the heap, which the benchmarks keep from returning memory to the system, so repeated
// runs write into warm memory.
#ifndef QUINDLE_BENCH_BENCH_HOST_H
#define QUINDLE_BENCH_BENCH_HOST_H

#include <cstdint>
#include <vector>

#include "filter/filter_api.h"

namespace quindle_bench {

// Keeps freed memory in the process, so every run after the first finds its pages mapped.
void keepFreedMemory();

// Sets the host kit's allocator up for the benchmarks and returns the record to hand the module.
FileFilterInfo benchHostInfo();

// The entry counts of a tree's directories in the order they were allocated (depth first), and
// the number of entries in all of them: what the write floor allocates and fills again.
struct TreeLayout {
  std::vector<int32_t> directoryCounts;
  int64_t entries = 0;
};
TreeLayout layoutOf(const FileDirectory* root);

}  // namespace quindle_bench

#endif
