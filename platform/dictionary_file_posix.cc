#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/dictionary_file.h"

namespace quindle {

FILE* openDictionaryFile(const char* path) {
  // O_NONBLOCK keeps open from waiting for a FIFO's writer; it means nothing for a regular file.
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return nullptr;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  FILE* file = ::fdopen(fd, "rb");
  if (!file) ::close(fd);
  return file;
}

}  // namespace quindle
