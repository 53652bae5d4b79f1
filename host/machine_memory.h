// How much memory the host can hope to use: the least of the machine's physical memory, its own
// address space (which is what binds a 32-bit host, or one run under `ulimit -v`) and, on Linux,
// the memory its control group may use (a container's limit, which the kernel enforces by killing
// the process). 0 when the system says nothing.
#ifndef QUINDLE_HOST_MACHINE_MEMORY_H
#define QUINDLE_HOST_MACHINE_MEMORY_H

#include <cstdint>

namespace quindle_host {

uint64_t usableMemoryBytes();

}  // namespace quindle_host

#endif
