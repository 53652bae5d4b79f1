#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/disk/disk_calls.h"

namespace quindle_host {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool failed(std::string* reason) {
  *reason = std::strerror(errno);
  return false;
}

int descriptorOf(const DiskFolder& folder) { return static_cast<int>(folder.handle); }

}  // namespace

// Well below the usual limit of 1024 descriptors, with room for the second thread's path.
const size_t kFoldersHeldOpen = 256;

bool makeFolder(const DiskFolder& parent, const char* name, DiskFolder* folder,
                std::string* reason) {
  if (::mkdirat(descriptorOf(parent), name, 0777) != 0) return failed(reason);
  // A link put in the folder's place since it was made is refused, never followed.
  const int fd = ::openat(descriptorOf(parent), name, kFolderFlags);
  if (fd < 0) return failed(reason);
  folder->handle = fd;
  return true;
}

bool makeFile(const DiskFolder& parent, const char* name, DiskFile* file, std::string* reason) {
  const int fd = ::openat(descriptorOf(parent), name,
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return failed(reason);
  file->handle = fd;
  return true;
}

bool setFileLength(const DiskFile& file, uint64_t bytes, std::string* reason) {
  if (bytes == 0) return true;  // a new file has no length yet
  if (::ftruncate(static_cast<int>(file.handle), static_cast<off_t>(bytes)) != 0) {
    return failed(reason);
  }
  return true;
}

bool writeFileBytes(const DiskFile& file, const unsigned char* bytes, size_t count,
                    std::string* reason) {
  while (count > 0) {
    const ssize_t written = ::write(static_cast<int>(file.handle), bytes, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return failed(reason);
    }
    bytes += written;
    count -= static_cast<size_t>(written);
  }
  return true;
}

bool closeFile(DiskFile* file, std::string* reason) {
  const int fd = static_cast<int>(file->handle);
  file->handle = -1;
  // A file system that writes back on close reports a failed write here.
  if (::close(fd) != 0 && errno != EINTR) return failed(reason);
  return true;
}

void closeDiskFolder(DiskFolder* folder) {
  if (folder->handle >= 0) ::close(descriptorOf(*folder));
  folder->handle = -1;
}

bool setFolderAside(DiskFolder* folder, std::string* reason) {
  struct stat info;
  if (::fstat(descriptorOf(*folder), &info) != 0) return failed(reason);
  folder->device = static_cast<uint64_t>(info.st_dev);
  folder->inode = static_cast<uint64_t>(info.st_ino);
  closeDiskFolder(folder);
  return true;
}

bool reopenParent(const DiskFolder& child, DiskFolder* parent, std::string* reason) {
  const int fd = ::openat(descriptorOf(child), "..", kFolderFlags);
  struct stat info;
  if (fd < 0 || ::fstat(fd, &info) != 0) {
    const bool result = failed(reason);
    if (fd >= 0) ::close(fd);
    return result;
  }
  if (static_cast<uint64_t>(info.st_dev) != parent->device ||
      static_cast<uint64_t>(info.st_ino) != parent->inode) {
    ::close(fd);
    *reason = "a folder was moved while the tree was being written";
    return false;
  }
  parent->handle = fd;
  return true;
}

}  // namespace quindle_host
