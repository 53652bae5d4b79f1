#include <windows.h>

#include "host/machine_memory.h"

namespace quindle_host {

uint64_t usableMemoryBytes() {
  MEMORYSTATUSEX status;
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  return status.ullTotalPhys < status.ullTotalVirtual ? status.ullTotalPhys
                                                      : status.ullTotalVirtual;
}

}  // namespace quindle_host
