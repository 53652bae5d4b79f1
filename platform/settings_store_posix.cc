#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// Whether `file` is a temporary of the value `name` (".<name>.<pid>.tmp"), and whose.
bool isTemporaryOf(const char* file, const char* name, long* pid) {
  const size_t nameLength = std::strlen(name);
  if (file[0] != '.' || std::strncmp(file + 1, name, nameLength) != 0) return false;
  const char* digits = file + 1 + nameLength;
  if (digits[0] != '.' || digits[1] < '0' || digits[1] > '9') return false;
  char* end = nullptr;
  *pid = std::strtol(digits + 1, &end, 10);
  return std::strcmp(end, ".tmp") == 0 && *pid > 0;
}

// A writer killed between creating its temporary and renaming it leaves the temporary behind,
// one per process that died so, forever. The next writer of the value removes those whose process
// is gone; a temporary of a live process (even of another user) is that process's write in
// progress and is left alone.
void removeStaleTemporaries(int folder, const char* name) {
  const int scan = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (scan < 0) return;
  DIR* dir = ::fdopendir(scan);
  if (!dir) {
    ::close(scan);
    return;
  }
  long pid = 0;
  while (const dirent* entry = ::readdir(dir)) {
    if (!isTemporaryOf(entry->d_name, name, &pid) || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
      ::unlinkat(folder, entry->d_name, 0);
    }
  }
  ::closedir(dir);
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
  removeStaleTemporaries(folder, name);
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
