#define _GNU_SOURCE
#include "write_floor.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

enum { DEEPEST = 4096 };

int writeFloorTree(int top, const struct FloorStep* steps, size_t count) {
  int folders[DEEPEST];
  int depth = 0;
  folders[0] = top;
  for (size_t i = 0; i < count; ++i) {
    const struct FloorStep* step = &steps[i];
    if (step->kind == FLOOR_FILE) {
      const int fd = openat(folders[depth], step->name,
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd < 0) return errno;
      if (step->bytes > 0 && ftruncate(fd, (off_t)step->bytes) != 0) return errno;
      close(fd);
    } else if (step->kind == FLOOR_FOLDER) {
      if (depth + 1 == DEEPEST) return ENAMETOOLONG;
      if (mkdirat(folders[depth], step->name, 0777) != 0) return errno;
      const int fd =
          openat(folders[depth], step->name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (fd < 0) return errno;
      folders[++depth] = fd;
    } else {
      close(folders[depth--]);
    }
  }
  return 0;
}
