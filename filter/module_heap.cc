#include "filter/module_heap.h"

#include <cstdlib>

namespace quindle {
namespace {

bool refused(ModuleHeap& heap) { return ++heap.requests == heap.refuse; }

}  // namespace

void* heapAllocate(ModuleHeap& heap, size_t bytes) {
  return refused(heap) ? nullptr : std::malloc(bytes);
}

void* heapAllocateZeroed(ModuleHeap& heap, size_t bytes) {
  return refused(heap) ? nullptr : std::calloc(1, bytes);
}

void* heapResize(ModuleHeap& heap, void* block, size_t bytes) {
  return refused(heap) ? nullptr : std::realloc(block, bytes);
}

void heapFree(void* block) { std::free(block); }

}  // namespace quindle
