// The module's own memory: the settings record of each instance, the builder's stack and the word
// table. Everything in the tree is the host's; everything else the module allocates comes from
// here, so that a test can have any one of these allocations refused and watch the module cope.
//
// A refusal is what a full heap does: null, and nothing else changes.
#ifndef QUINDLE_FILTER_MODULE_HEAP_H
#define QUINDLE_FILTER_MODULE_HEAP_H

#include <cstddef>
#include <cstdint>

namespace quindle {

struct ModuleHeap {
  uint64_t requests = 0;  // allocations and resizes asked for so far
  uint64_t refuse = 0;    // the request to refuse, counting from 1; 0 refuses none
};

void* heapAllocate(ModuleHeap& heap, size_t bytes);
void* heapAllocateZeroed(ModuleHeap& heap, size_t bytes);
// realloc's contract: null when refused, and `block` stays as it was.
void* heapResize(ModuleHeap& heap, void* block, size_t bytes);
void heapFree(void* block);

}  // namespace quindle

#endif
