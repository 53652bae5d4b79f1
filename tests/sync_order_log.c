/* Preloaded into a host (LD_PRELOAD), it writes one word a line to the file QUINDLE_SYNC_LOG
 * names: "fsync" for each flush of a settings value's temporary, and "rename" for each rename of
 * one into place, so that a test can see that a value is on the disk before it is put in place. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static void note(const char* word) {
  const char* path = getenv("QUINDLE_SYNC_LOG");
  if (!path) return;
  const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (write(fd, word, strlen(word)) < 0 || write(fd, "\n", 1) < 0) { /* the test sees it missing */ }
  close(fd);
}

/* Whether the descriptor is a temporary of a stored value (".NAME.PID.tmp"). */
static int isTemporary(int fd) {
  char link[64];
  char path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = readlink(link, path, sizeof path - 1);
  if (length <= 4) return 0;
  path[length] = '\0';
  const char* name = strrchr(path, '/');
  return name && name[1] == '.' && strcmp(path + length - 4, ".tmp") == 0;
}

int fsync(int fd) {
  int (*real)(int);
  *(void**)(&real) = dlsym(RTLD_NEXT, "fsync");  /* the form POSIX gives for a function's address */
  if (isTemporary(fd)) note("fsync");
  return real(fd);
}

int renameat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath) {
  int (*real)(int, const char*, int, const char*);
  *(void**)(&real) = dlsym(RTLD_NEXT, "renameat");
  const size_t length = strlen(oldpath);
  if (oldpath[0] == '.' && length > 4 && strcmp(oldpath + length - 4, ".tmp") == 0) note("rename");
  return real(olddirfd, oldpath, newdirfd, newpath);
}
