#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/disk/write_target.h"
#include "host/file_system.h"

namespace quindle_host {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr char kPartialMark[] = ".quindle-partial-";
constexpr char kTitleAttribute[] = "user.quindle.title";
// Removing is rarer than writing and may follow a failure for want of descriptors: it holds fewer.
constexpr size_t kFoldersHeldWhileRemoving = 8;

int descriptorOf(const DiskFolder& folder) { return static_cast<int>(folder.handle); }

std::string kindOf(mode_t mode) {
  if (S_ISLNK(mode)) return "it is a link (links are never followed)";
  if (S_ISREG(mode)) return "it is a file";
  if (S_ISFIFO(mode)) return "it is a FIFO";
  if (S_ISSOCK(mode)) return "it is a socket";
  return "it is a device";
}

// The items of the open folder `fd`, without "." and ".."; a link is never a folder.
bool readItems(int fd, std::vector<FolderItem>* items, std::string* error) {
  OpenFolder folder;
  folder.descriptor = fd;
  return readFolder(folder, items, error);
}

// A folder being emptied: its subfolders, found when it was first read.
struct Emptying {
  DiskFolder folder;
  std::string name;
  std::vector<std::string> subfolders;
  size_t next = 0;
};

// Opens the folder `name` of `parent` and removes everything in it but its subfolders, which it
// lists.
bool startEmptying(const DiskFolder& parent, const std::string& name, Emptying* level,
                   std::string* error) {
  const int fd = ::openat(descriptorOf(parent), name.c_str(), kFolderFlags);
  if (fd < 0) {
    *error = name + ": " + std::strerror(errno);
    return false;
  }
  level->folder.handle = fd;
  level->name = name;
  level->subfolders.clear();
  level->next = 0;
  std::vector<FolderItem> items;
  if (!readItems(fd, &items, error)) return false;
  for (const FolderItem& item : items) {
    // unlinkat takes a link itself, never what it leads to.
    if (!item.isFolder && ::unlinkat(fd, item.systemName.c_str(), 0) == 0) continue;
    if (item.isFolder || errno == EISDIR || errno == EPERM) {
      level->subfolders.push_back(item.systemName);
    } else if (errno != ENOENT) {
      *error = item.name + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

// Removes the folder `name` in `top` with everything in it, at any depth, with its own stack
// (only the lowest folders of a deep path held open; `top` stays open).
bool removeFolderTree(const DiskFolder& top, const std::string& name, std::string* error) {
  std::vector<Emptying> path(1);
  path[0].folder = top;
  path[0].subfolders.push_back(name);
  while (!path.empty()) {
    Emptying& level = path.back();
    if (level.next < level.subfolders.size()) {
      Emptying below;
      const std::string& subfolder = level.subfolders[level.next++];
      const bool started = startEmptying(level.folder, subfolder, &below, error);
      path.push_back(std::move(below));
      if (!started) break;
      if (path.size() > kFoldersHeldWhileRemoving + 1) {
        DiskFolder& high = path[path.size() - 1 - kFoldersHeldWhileRemoving].folder;
        if (high.handle >= 0 && !setFolderAside(&high, error)) break;
      }
      continue;
    }
    if (path.size() == 1) return true;
    Emptying& parent = path[path.size() - 2];
    if (parent.folder.handle < 0 && !reopenParent(level.folder, &parent.folder, error)) break;
    closeDiskFolder(&level.folder);
    if (::unlinkat(descriptorOf(parent.folder), level.name.c_str(), AT_REMOVEDIR) != 0 &&
        errno != ENOENT) {
      *error = level.name + ": " + std::strerror(errno);
      path.pop_back();
      break;
    }
    path.pop_back();
  }
  for (size_t level = path.size(); level-- > 1;) closeDiskFolder(&path[level].folder);
  return false;
}

bool isEmptyFolder(int parent, const std::string& leaf, std::string* error) {
  const int fd = ::openat(parent, leaf.c_str(), kFolderFlags);
  std::vector<FolderItem> items;
  const bool read = fd >= 0 && readItems(fd, &items, error);
  if (fd < 0) *error = std::strerror(errno);
  if (fd >= 0) ::close(fd);
  if (read && !items.empty()) *error = "it is a folder that is not empty";
  return read && items.empty();
}

}  // namespace

bool openTarget(const std::string& dir, WriteTarget* target, std::string* error) {
  target->shown = dir;
  std::string path = dir;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.rfind('/');
  const std::string parentPath = slash == std::string::npos ? "."
                                 : slash == 0               ? "/"
                                                            : path.substr(0, slash);
  target->leaf = slash == std::string::npos ? path : path.substr(slash + 1);
  if (target->leaf.empty() || target->leaf == "." || target->leaf == ".." || path == "/") {
    *error = "name the folder by a name of its own";
    return false;
  }
  const int parent = ::open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parent < 0) {
    *error = "the folder that would hold it: " + std::string(std::strerror(errno));
    return false;
  }
  target->parent.handle = parent;
  target->partialName = "." + target->leaf + kPartialMark + std::to_string(::getpid());
  struct stat info, parentInfo;
  if (::fstatat(parent, target->leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return true;
    *error = std::strerror(errno);
    return false;
  }
  if (!S_ISDIR(info.st_mode)) {
    *error = kindOf(info.st_mode);
    return false;
  }
  if (::fstat(parent, &parentInfo) == 0 && parentInfo.st_dev != info.st_dev) {
    *error = "it is where another file system is mounted; name a new folder inside it";
    return false;
  }
  target->replacesEmptyFolder = true;
  return isEmptyFolder(parent, target->leaf, error);
}

bool diskSpaceOf(const WriteTarget& target, DiskSpace* space, std::string* error) {
  struct statvfs info;
  if (::fstatvfs(descriptorOf(target.parent), &info) != 0) {
    *error = std::strerror(errno);
    return false;
  }
  const uint64_t unit = info.f_frsize ? info.f_frsize : info.f_bsize;
  space->freeBytes = static_cast<uint64_t>(info.f_bavail) * unit;
  space->freeFiles = info.f_files > 0 ? static_cast<uint64_t>(info.f_favail) : 0;
  space->blockSize = unit;
  return true;
}

int removeAbandonedPartials(const WriteTarget& target) {
  std::vector<FolderItem> items;
  std::string error;
  if (!readItems(descriptorOf(target.parent), &items, &error)) return 0;
  const std::string prefix = "." + target.leaf + kPartialMark;
  int removed = 0;
  for (const FolderItem& item : items) {
    if (!item.isFolder || item.systemName.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string digits = item.systemName.substr(prefix.size());
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    const pid_t process = static_cast<pid_t>(std::stol(digits));
    // Only a run that is gone: a live one (or one of another user's) keeps its folder.
    if (process == ::getpid() || ::kill(process, 0) == 0 || errno != ESRCH) continue;
    if (removeFolderIn(target, item.systemName, &error)) ++removed;
  }
  return removed;
}

bool makePartial(WriteTarget* target, std::string* error) {
  if (!makeFolder(target->parent, target->partialName.c_str(), &target->partial, error)) {
    return false;
  }
  target->partialMade = true;
  return true;
}

bool storeTitle(const WriteTarget& target, const std::string& titleUtf8) {
  return ::fsetxattr(descriptorOf(target.partial), kTitleAttribute, titleUtf8.data(),
                     titleUtf8.size(), 0) == 0;
}

bool finishTarget(WriteTarget* target, std::string* error) {
  closeDiskFolder(&target->partial);
  const int parent = descriptorOf(target->parent);
  const char* from = target->partialName.c_str();
  const char* to = target->leaf.c_str();
  // A folder that appeared meanwhile is never replaced; the empty one named is, if still empty.
  int result = target->replacesEmptyFolder
                   ? ::renameat(parent, from, parent, to)
                   : ::renameat2(parent, from, parent, to, RENAME_NOREPLACE);
  if (result != 0 && !target->replacesEmptyFolder && (errno == EINVAL || errno == ENOSYS)) {
    result = ::renameat(parent, from, parent, to);  // a file system without the flag
  }
  if (result != 0) {
    *error = errno == ENOTEMPTY || errno == EEXIST
                 ? std::string("something was put there while the tree was written")
                 : std::string(std::strerror(errno));
    return false;
  }
  target->partialMade = false;
  return true;
}

bool removeFolderIn(const WriteTarget& target, const std::string& name, std::string* error) {
  return removeFolderTree(target.parent, name, error);
}

void closeTarget(WriteTarget* target) {
  closeDiskFolder(&target->partial);
  closeDiskFolder(&target->parent);
}

}  // namespace quindle_host
