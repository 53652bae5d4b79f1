#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/dictionary_file.h"
#include "platform/dictionary_refusal.h"

namespace quindle {
namespace {

// The regular file at `path`, open for reading; otherwise -1, and `why` says why.
int openRegularFile(const char* path, const char** why) {
  // O_NONBLOCK keeps open from waiting for a FIFO's writer; it means nothing for a regular file.
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    *why = std::strerror(errno);
    return -1;
  }
  struct stat info;
  if (::fstat(fd, &info) != 0) {
    *why = std::strerror(errno);
  } else if (S_ISDIR(info.st_mode)) {
    *why = "it is a folder";
  } else if (!S_ISREG(info.st_mode)) {
    *why = "it is not a regular file";
  } else {
    return fd;
  }
  ::close(fd);
  return -1;
}

}  // namespace

FILE* openDictionaryFile(const char* path) {
  const char* why = nullptr;
  const int fd = openRegularFile(path, &why);
  if (fd < 0) return nullptr;
  FILE* file = ::fdopen(fd, "rb");
  if (!file) ::close(fd);
  return file;
}

DictionaryChoice checkDictionaryChoice(const char* path) {
  const char* why = nullptr;
  const int fd = openRegularFile(path, &why);
  if (fd < 0) return refusedDictionary(why);
  ::close(fd);
  char absolute[PATH_MAX];
  if (!::realpath(path, absolute)) return refusedDictionary(std::strerror(errno));
  DictionaryChoice choice{};
  const size_t length = std::strlen(absolute);
  if (length >= sizeof choice.absolutePath) return refusedAsTooLong();
  std::memcpy(choice.absolutePath, absolute, length + 1);
  choice.usable = true;
  return choice;
}

}  // namespace quindle
