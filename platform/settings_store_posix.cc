#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/settings_store.h"
#include "platform/value_target_posix.h"

namespace quindle {
namespace {

int folderDescriptor(FileFilterSettingsKey key) {
  return static_cast<int>(reinterpret_cast<intptr_t>(key));
}

bool writeAll(int fd, const unsigned char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written == 0) errno = EIO;
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

// A rename cannot put a file in place of a folder. An empty one holds no value and goes first;
// a folder with anything in it is the user's and stays, and the write fails.
bool renameOver(int folder, const char* temporary, const char* name) {
  if (::renameat(folder, temporary, folder, name) == 0) return true;
  return errno == EISDIR && ::unlinkat(folder, name, AT_REMOVEDIR) == 0 &&
         ::renameat(folder, temporary, folder, name) == 0;
}

StoreResult failedWith(int error) { return {false, error}; }

// Replaces the file `name` in `folder` whole: a temporary beside it, with the old file's
// permissions, flushed, renamed over it. Whatever fails, the temporary goes again and the old file
// stays.
StoreResult replaceFile(int folder, const char* name, const unsigned char* bytes, size_t size) {
  mode_t mode = 0600;  // a new value is the user's alone
  struct stat old;
  if (::fstatat(folder, name, &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode)) {
    // Root may write anything: the permissions say what the user meant.
    if ((old.st_mode & 0222) == 0) return failedWith(EACCES);
    mode = old.st_mode & 07777;
  }
  removeStaleTemporaries(folder, name);
  char temporary[NAME_MAX + 1];
  const int length = std::snprintf(temporary, sizeof temporary, ".%s.%ld.tmp", name,
                                   static_cast<long>(::getpid()));
  if (length < 0 || static_cast<size_t>(length) >= sizeof temporary) return failedWith(ENAMETOOLONG);
  const int fd = ::openat(folder, temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW,
                          0600);
  if (fd < 0) return failedWith(errno);
  int error = 0;
  if (::fchmod(fd, mode) != 0 || !writeAll(fd, bytes, size) || ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && !renameOver(folder, temporary, name)) error = errno;
  if (error != 0) {
    ::unlinkat(folder, temporary, 0);
    return failedWith(error);
  }
  return {true, 0};
}

}  // namespace

void readStoredValue(FileFilterSettingsKey key, const char* name, void* record, size_t recordSize,
                     ModuleHeap& /*heap*/) {
  if (recordSize > kMostStoredRecord) return;
  // Only a regular file is a value. Looking first keeps devices from being opened at all, and
  // O_NONBLOCK keeps a FIFO put in place between the look and the open from blocking the module
  // until a writer comes.
  const int folder = folderDescriptor(key);
  struct stat info;
  if (::fstatat(folder, name, &info, 0) != 0 || !S_ISREG(info.st_mode)) return;
  const int fd = ::openat(folder, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return;
  }
  // Read into a scratch copy first so that a failed read leaves the record as it was.
  unsigned char scratch[kMostStoredRecord];
  size_t got = 0;
  while (got < recordSize) {
    const ssize_t n = ::read(fd, scratch + got, recordSize - got);
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

bool storedValueSize(FileFilterSettingsKey key, const char* name, size_t* size) {
  struct stat info;
  if (::fstatat(folderDescriptor(key), name, &info, 0) != 0 || !S_ISREG(info.st_mode)) return false;
  *size = static_cast<size_t>(info.st_size);
  return true;
}

StoreResult writeStoredValue(FileFilterSettingsKey key, const char* name, const void* record,
                             size_t recordSize) {
  ValueTarget target;
  if (!findValueTarget(folderDescriptor(key), name, &target)) return failedWith(errno);
  const StoreResult result =
      replaceFile(target.folder, target.name, static_cast<const unsigned char*>(record), recordSize);
  releaseValueTarget(&target);
  return result;
}

}  // namespace quindle
