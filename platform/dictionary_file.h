// Opening the dictionary file the user named, and checking a path typed for it.
//
// A dictionary is a plain file. Anything else a path can name would hang or flood the module:
// a FIFO blocks in open until a writer comes, a device such as /dev/zero or CON never ends, and a
// folder reads as nothing on one system and fails on another. So only a regular file is opened,
// without ever blocking; every other kind, and every failure, gives null.
#ifndef QUINDLE_PLATFORM_DICTIONARY_FILE_H
#define QUINDLE_PLATFORM_DICTIONARY_FILE_H

#include <cstdio>

#include "filter/filter_api.h"

namespace quindle {

// The regular file at `path`, open for reading in binary mode from its start, or null.
FILE* openDictionaryFile(const char* path);

// Whether a typed path may be stored as the dictionary, the same wherever it is typed: it must
// name a regular file that opens for reading (opened as above, never waited on), and its absolute
// path must fit the settings' path field. Links are resolved on Linux; on Windows the path is
// made absolute as the system does (GetFullPathNameA).
struct DictionaryChoice {
  bool usable;
  char absolutePath[FILTER_PREFS_PATH_SIZE];  // when usable: the path to store, zero-terminated
  char reason[128];  // when not: why not, in a few words on one line, without a line end
};
DictionaryChoice checkDictionaryChoice(const char* path);

}  // namespace quindle

#endif
