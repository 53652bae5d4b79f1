// Opening the dictionary file the user named.
//
// A dictionary is a plain file. Anything else a path can name would hang or flood the module:
// a FIFO blocks in open until a writer comes, a device such as /dev/zero or CON never ends, and a
// folder reads as nothing on one system and fails on another. So only a regular file is opened,
// without ever blocking; every other kind, and every failure, gives null.
#ifndef QUINDLE_PLATFORM_DICTIONARY_FILE_H
#define QUINDLE_PLATFORM_DICTIONARY_FILE_H

#include <cstdio>

namespace quindle {

// The regular file at `path`, open for reading in binary mode from its start, or null.
FILE* openDictionaryFile(const char* path);

}  // namespace quindle

#endif
