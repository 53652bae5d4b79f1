/* A stand-in module with three of the four exports: FileFilterUserInterface is missing, which a
 * host must notice by name before it opens any settings window. */
#include "filter/filter_api.h"

int QUINDLE_CALL FileFilterInitialize(FileFilterInfo* info) {
  info->version = FILE_FILTER_INTERFACE_VERSION;
  return 1;
}

FileDirectory* QUINDLE_CALL FileFilterExecute(FileFilterInfo* info, FileDirectory* root,
                                              char* title, int32_t titleLen) {
  (void)info;
  (void)title;
  (void)titleLen;
  return root;
}

void QUINDLE_CALL FileFilterUninitialize(FileFilterInfo* info) { (void)info; }
