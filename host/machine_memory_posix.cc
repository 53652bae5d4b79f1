#include <unistd.h>

#include <cstdint>

#include "host/machine_memory.h"

namespace quindle_host {

uint64_t usableMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  const uint64_t physical = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
  const uint64_t addressable = sizeof(void*) >= 8 ? UINT64_MAX : (uint64_t{1} << 32);
  return physical < addressable ? physical : addressable;
}

}  // namespace quindle_host
