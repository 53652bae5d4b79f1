/* A stand-in module with three of the four exports: FileFilterExecute is missing, which a host
 * must notice by name before it calls anything. */
#include "filter/filter_api.h"

int QUINDLE_CALL FileFilterInitialize(FileFilterInfo* info) {
  info->version = FILE_FILTER_INTERFACE_VERSION;
  return 1;
}

int QUINDLE_CALL FileFilterUserInterface(FileFilterInfo* info, FileFilterWindow parent) {
  (void)info;
  (void)parent;
  return -1;
}

void QUINDLE_CALL FileFilterUninitialize(FileFilterInfo* info) { (void)info; }
