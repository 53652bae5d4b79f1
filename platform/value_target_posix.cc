#include "platform/value_target_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quindle {
namespace {

// The kernel gives up on a path after as many links; a chain it followed is never longer.
constexpr int kMostLinks = 40;

bool setName(ValueTarget* target, const char* name) {
  const size_t length = std::strlen(name);
  if (length == 0 || length >= sizeof target->name) {
    errno = ENAMETOOLONG;
    return false;
  }
  std::memcpy(target->name, name, length + 1);
  return true;
}

// Moves `target` one link on: to the last part of the link's text, in the folder the rest of the
// text names from the folder holding the link.
bool followLink(ValueTarget* target, char* text) {
  char* slash = std::strrchr(text, '/');
  if (!slash) return setName(target, text);
  const char* folderPath = slash == text ? "/" : text;
  *slash = '\0';
  const int next = ::openat(target->folder, folderPath, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (next < 0) return false;
  releaseValueTarget(target);
  target->folder = next;
  target->ownsFolder = true;
  return setName(target, slash + 1);
}

bool isRegularEntry(int folder, const char* name) {
  struct stat info;
  return ::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode);
}

bool followToRegularFile(ValueTarget* target) {
  char text[PATH_MAX + 1];
  for (int links = 0; links <= kMostLinks; ++links) {
    const ssize_t length = ::readlinkat(target->folder, target->name, text, sizeof text);
    if (length < 0) {
      if (errno != EINVAL) return false;
      if (isRegularEntry(target->folder, target->name)) return true;
      errno = ENOENT;  // no longer a regular file
      return false;
    }
    if (static_cast<size_t>(length) == sizeof text) {
      errno = ENAMETOOLONG;
      return false;
    }
    text[length] = '\0';
    if (!followLink(target, text)) return false;
  }
  errno = ELOOP;
  return false;
}

}  // namespace

bool findValueTarget(int folder, const char* name, ValueTarget* target) {
  target->folder = folder;
  target->ownsFolder = false;
  if (!setName(target, name)) return false;
  // Only a chain that ends at a regular file is kept; every other entry is replaced itself.
  struct stat info;
  if (::fstatat(folder, name, &info, 0) != 0 || !S_ISREG(info.st_mode)) return true;
  if (followToRegularFile(target)) return true;
  releaseValueTarget(target);
  return false;
}

void releaseValueTarget(ValueTarget* target) {
  if (target->ownsFolder) ::close(target->folder);
  target->ownsFolder = false;
}

}  // namespace quindle
