// How much memory the host can hope to use: the machine's physical memory, and no more than its
// own address space (which is what binds a 32-bit host). 0 when the system does not say.
#ifndef QUINDLE_HOST_MACHINE_MEMORY_H
#define QUINDLE_HOST_MACHINE_MEMORY_H

#include <cstdint>

namespace quindle_host {

uint64_t usableMemoryBytes();

}  // namespace quindle_host

#endif
