// The module's four exports, as the tests call them in-process (linked from the core library).
#ifndef QUINDLE_TESTS_MODULE_EXPORTS_H
#define QUINDLE_TESTS_MODULE_EXPORTS_H

#include "filter/filter_api.h"

extern "C" {
int QUINDLE_CALL FileFilterInitialize(FileFilterInfo* info);
int QUINDLE_CALL FileFilterUserInterface(FileFilterInfo* info, FileFilterWindow parent);
FileDirectory* QUINDLE_CALL FileFilterExecute(FileFilterInfo* info, FileDirectory* root,
                                              char* title, int32_t titleLen);
void QUINDLE_CALL FileFilterUninitialize(FileFilterInfo* info);
}

#endif
