/* A stand-in module with all four exports whose FileFilterInitialize refuses every host, as a
 * module of another interface version does. Nothing else may be called after the refusal. */
#include <stdlib.h>

#include "filter/filter_api.h"

int QUINDLE_CALL FileFilterInitialize(FileFilterInfo* info) {
  (void)info;
  return 0;
}

int QUINDLE_CALL FileFilterUserInterface(FileFilterInfo* info, FileFilterWindow parent) {
  (void)info;
  (void)parent;
  abort();
}

FileDirectory* QUINDLE_CALL FileFilterExecute(FileFilterInfo* info, FileDirectory* root,
                                              char* title, int32_t titleLen) {
  (void)info;
  (void)root;
  (void)title;
  (void)titleLen;
  abort();
}

void QUINDLE_CALL FileFilterUninitialize(FileFilterInfo* info) {
  (void)info;
  abort();
}
