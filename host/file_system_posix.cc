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
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC;

bool adopt(int fd, OpenFolder* folder, std::string* error) {
  struct stat info;
  if (fd < 0 || ::fstat(fd, &info) != 0) {
    *error = std::strerror(errno);
    if (fd >= 0) ::close(fd);
    return false;
  }
  folder->descriptor = fd;
  folder->device = static_cast<uint64_t>(info.st_dev);
  folder->inode = static_cast<uint64_t>(info.st_ino);
  return true;
}

std::string kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder";
  if (S_ISFIFO(mode)) return "it is a FIFO";
  if (S_ISSOCK(mode)) return "it is a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device";
  return "it is not a regular file";
}

}  // namespace

bool openFolder(const std::string& path, OpenFolder* folder, std::string* error) {
  return adopt(::open(path.c_str(), kFolderFlags), folder, error);
}

bool openSubfolder(const OpenFolder& parent, const FolderItem& item, OpenFolder* folder,
                   std::string* error) {
  const int fd = ::openat(static_cast<int>(parent.descriptor), item.systemName.c_str(),
                          kFolderFlags | O_NOFOLLOW);
  return adopt(fd, folder, error);
}

bool openParent(const OpenFolder& child, const OpenFolder& expected, OpenFolder* parent,
                std::string* error) {
  if (!adopt(::openat(static_cast<int>(child.descriptor), "..", kFolderFlags), parent, error)) {
    return false;
  }
  if (parent->device == expected.device && parent->inode == expected.inode) return true;
  closeFolder(parent);
  *error = "a folder was moved while it was being listed";
  return false;
}

bool readFolder(const OpenFolder& folder, std::vector<FolderItem>* items, std::string* error) {
  // fdopendir takes over the descriptor it is given, and the walk still needs this one.
  const int scan = ::openat(static_cast<int>(folder.descriptor), ".", kFolderFlags);
  DIR* dir = scan >= 0 ? ::fdopendir(scan) : nullptr;
  if (!dir) {
    *error = std::strerror(errno);
    if (scan >= 0) ::close(scan);
    return false;
  }
  errno = 0;
  while (const dirent* found = ::readdir(dir)) {
    const std::string name = found->d_name;
    if (name == "." || name == "..") continue;
    FolderItem item;
    item.name = name;
    item.systemName = name;
    struct stat info;
    if (::fstatat(scan, found->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
      item.isFolder = S_ISDIR(info.st_mode);
      item.bytes = item.isFolder ? 0 : static_cast<uint64_t>(info.st_size);
    }
    items->push_back(item);
    errno = 0;
  }
  const int readError = errno;
  ::closedir(dir);
  if (readError != 0) {
    *error = std::strerror(readError);
    return false;
  }
  return true;
}

void closeFolder(OpenFolder* folder) {
  if (folder->descriptor >= 0) ::close(static_cast<int>(folder->descriptor));
  *folder = OpenFolder();
}

// Names here are UTF-8 as a rule; a cut never splits a sequence (a continuation byte is one
// whose top bits are 10).
std::string cutToWholeCharacters(const std::string& name, size_t maxBytes) {
  if (name.size() <= maxBytes) return name;
  size_t cut = maxBytes;
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  return name.substr(0, cut);
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string pathInCurrentFolder(const std::string& path) {
  return path.find('/') == std::string::npos ? "./" + path : path;
}

std::string systemErrorText(int error) { return std::strerror(error); }

bool isReadableFile(const std::string& path, std::string* reason) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    *reason = std::strerror(errno);
    return false;
  }
  ::close(fd);
  return true;
}

std::string storedValuePlace(const std::string& where, const char* name) {
  const std::string path = joinPath(where, name);
  char real[PATH_MAX];
  return ::realpath(path.c_str(), real) ? std::string(real) : path;
}

bool isRegularFile(const std::string& path, std::string* reason) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    *reason = std::strerror(errno);
    return false;
  }
  if (S_ISREG(info.st_mode)) return true;
  *reason = kindOf(info.st_mode);
  return false;
}

}  // namespace quindle_host
