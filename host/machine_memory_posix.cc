#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/machine_memory.h"

namespace quindle_host {
namespace {

// A number from the first line of a small file, or UINT64_MAX ("max", missing, unreadable).
uint64_t numberIn(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "re");
  if (!file) return UINT64_MAX;
  unsigned long long value = 0;
  const bool read = std::fscanf(file, "%llu", &value) == 1;
  std::fclose(file);
  return read ? value : UINT64_MAX;
}

// The least memory limit of this process's control group and every group above it: cgroup v2
// ("0::/path"), or v1's memory controller ("N:memory:/path").
uint64_t controlGroupLimit() {
  std::FILE* groups = std::fopen("/proc/self/cgroup", "re");
  if (!groups) return UINT64_MAX;
  uint64_t least = UINT64_MAX;
  char line[4096];
  while (std::fgets(line, sizeof line, groups)) {
    line[std::strcspn(line, "\n")] = '\0';
    std::string entry = line;
    std::string root, file;
    if (entry.compare(0, 3, "0::") == 0) {
      root = "/sys/fs/cgroup";
      file = "/memory.max";
      entry.erase(0, 3);
    } else if (entry.find(":memory:") != std::string::npos) {
      root = "/sys/fs/cgroup/memory";
      file = "/memory.limit_in_bytes";
      entry.erase(0, entry.find(":memory:") + 8);
    } else {
      continue;
    }
    for (std::string group = entry;;) {
      const uint64_t limit = numberIn(root + (group == "/" ? "" : group) + file);
      if (limit < least) least = limit;
      if (group.empty() || group == "/") break;
      const size_t slash = group.rfind('/');
      group = slash == 0 || slash == std::string::npos ? "/" : group.substr(0, slash);
    }
  }
  std::fclose(groups);
  return least;
}

}  // namespace

uint64_t usableMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  uint64_t usable = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
  if (sizeof(void*) < 8 && usable > (uint64_t{1} << 32)) usable = uint64_t{1} << 32;
  rlimit space;
  if (::getrlimit(RLIMIT_AS, &space) == 0 && space.rlim_cur != RLIM_INFINITY &&
      space.rlim_cur < usable) {
    usable = space.rlim_cur;
  }
  const uint64_t group = controlGroupLimit();
  return group < usable ? group : usable;
}

}  // namespace quindle_host
