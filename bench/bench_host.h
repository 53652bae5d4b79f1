// A host for benchmarks: each directory is one malloc block (header and entries) that is not
// filled, as a host that lets the filter write its entries would allocate it. Freed blocks go
// back to the heap, which the benchmarks keep from returning memory to the system, so repeated
// runs write into warm memory.
#ifndef QUINDLE_BENCH_BENCH_HOST_H
#define QUINDLE_BENCH_BENCH_HOST_H

#include <cstdint>
#include <vector>

#include "filter/filter_api.h"

namespace quindle_bench {

// Keeps freed memory in the process, so every run after the first finds its pages mapped.
void keepFreedMemory();

FileDirectory* QUINDLE_CALL benchAllocDirectory(int32_t count);
void QUINDLE_CALL benchFreeTree(FileDirectory* root);

FileFilterInfo benchHostInfo();

// The entry counts of a tree's directories in the order they were allocated (depth first), and
// the number of entries in all of them.
struct TreeShape {
  std::vector<int32_t> directoryCounts;
  int64_t entries = 0;
};
TreeShape shapeOf(const FileDirectory* root);

}  // namespace quindle_bench

#endif
