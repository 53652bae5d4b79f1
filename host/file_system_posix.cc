#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "host/file_system.h"

namespace quindle_host {

bool readFolder(const std::string& folder, std::vector<FolderItem>* items, std::string* error) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) {
    *error = std::strerror(errno);
    return false;
  }
  const int fd = ::dirfd(dir);
  while (const dirent* found = ::readdir(dir)) {
    const std::string name = found->d_name;
    if (name == "." || name == "..") continue;
    FolderItem item;
    item.name = name;
    struct stat info;
    if (::fstatat(fd, found->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
      item.isFolder = S_ISDIR(info.st_mode);
      item.bytes = item.isFolder ? 0 : static_cast<uint64_t>(info.st_size);
    }
    items->push_back(item);
  }
  ::closedir(dir);
  return true;
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool readableFilePath(const std::string& path, std::string* absolute, std::string* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info;
  if (fd < 0 || ::fstat(fd, &info) != 0) {
    *error = std::strerror(errno);
    if (fd >= 0) ::close(fd);
    return false;
  }
  ::close(fd);
  if (!S_ISREG(info.st_mode)) {
    *error = "not a regular file";
    return false;
  }
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) {
    *error = std::strerror(errno);
    return false;
  }
  *absolute = resolved;
  std::free(resolved);
  return true;
}

}  // namespace quindle_host
