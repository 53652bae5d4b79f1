/* The least any writer of a tree on disk can take: a plain C loop over the tree laid out flat in
   the order it is written, making each entry with the calls the reference host's writer makes
   (mkdirat, openat, ftruncate, close) and nothing else. */
#ifndef QUINDLE_BENCH_WRITE_FLOOR_H
#define QUINDLE_BENCH_WRITE_FLOOR_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

enum FloorStepKind { FLOOR_FILE, FLOOR_FOLDER, FLOOR_FOLDER_END };

struct FloorStep {
  enum FloorStepKind kind;
  const char* name;         /* files and folders: the name on disk */
  unsigned long long bytes; /* files: the length */
};

/* Makes the tree of `steps` in the open folder `top`: 0, or the errno of the first call that
   failed. */
int writeFloorTree(int top, const struct FloorStep* steps, size_t count);

#ifdef __cplusplus
}
#endif

#endif
