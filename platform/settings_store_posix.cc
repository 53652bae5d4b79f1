#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "platform/settings_store.h"

namespace quindle {
namespace {

int folderDescriptor(FileFilterSettingsKey key) {
  return static_cast<int>(reinterpret_cast<intptr_t>(key));
}

bool writeAll(int fd, const unsigned char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

void readStoredValue(FileFilterSettingsKey key, const char* name, void* record, size_t recordSize) {
  const int fd = ::openat(folderDescriptor(key), name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return;
  }
  // Read into a scratch copy first so that a failed read leaves the record as it was.
  unsigned char scratch[512];
  size_t wanted = recordSize < sizeof scratch ? recordSize : sizeof scratch;
  size_t got = 0;
  while (got < wanted) {
    const ssize_t n = ::read(fd, scratch + got, wanted - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  unsigned char* bytes = static_cast<unsigned char*>(record);
  for (size_t i = 0; i < got; ++i) bytes[i] = scratch[i];
}

void writeStoredValue(FileFilterSettingsKey key, const char* name, const void* record,
                      size_t recordSize) {
  const int folder = folderDescriptor(key);
  char temporary[256];
  std::snprintf(temporary, sizeof temporary, ".%s.%ld.tmp", name, static_cast<long>(::getpid()));
  const int fd = ::openat(folder, temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW,
                          0600);
  if (fd < 0) return;
  const bool written = writeAll(fd, static_cast<const unsigned char*>(record), recordSize) &&
                       ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written || ::renameat(folder, temporary, folder, name) != 0) {
    ::unlinkat(folder, temporary, 0);
  }
}

}  // namespace quindle
