// The two stored values of a filter instance, behind one small interface. On Windows a value is a
// binary registry value under the host's open key; elsewhere it is the file of that name inside the
// host's open settings folder.
//
// Reading behaves as the registry does for the filter: a missing value, or any failure, leaves the
// record as it was; a shorter value replaces only the record's leading bytes; a longer value fills
// the record with its leading bytes. A record of more than 512 bytes is never read (the module's
// are 276 and 8). Whatever a read needs beyond that comes from `heap`. Writing replaces the value
// whole: a failure, or a crash in the middle, leaves the old value, never a torn one. Failures are
// silent.
//
// On Linux, a value never blocks the module and is only ever a regular file:
// - Reading opens without blocking. A FIFO, a socket, a device, a folder, or a link to any of
//   them, reads as an absent value.
// - A value kept as a symbolic link (or a chain of links; a relative link text counts from the
//   folder that holds the link) to a regular file is read through the links, and written by
//   replacing the final file, in its own folder, so that the links stay and lead to the new value.
// - Anything else in the value's place (a dangling link, a loop of links, a link to something
//   other than a regular file, a FIFO, a socket, a device, an empty folder) is replaced by a
//   regular file on writing. A folder with anything in it cannot be replaced: the write fails.
// - A write goes to a temporary ".<name>.<pid>.tmp" beside the file it replaces, flushed, then
//   renamed over it; a failed write removes its temporary. A crash in the middle leaves the
//   temporary behind; the next write in that folder of the same file removes it.
// - The replaced file keeps its permissions. A file the user made read-only (no write permission
//   for anyone) is not replaced: the write fails with EACCES.
#ifndef QUINDLE_PLATFORM_SETTINGS_STORE_H
#define QUINDLE_PLATFORM_SETTINGS_STORE_H

#include <cstddef>

#include "filter/filter_api.h"
#include "filter/module_heap.h"

namespace quindle {

constexpr size_t kMostStoredRecord = 512;

void readStoredValue(FileFilterSettingsKey key, const char* name, void* record, size_t recordSize,
                     ModuleHeap& heap);

// The size of the stored value `name`, read as readStoredValue would read it; false when there
// is no such value (or anything but a regular file in its place).
bool storedValueSize(FileFilterSettingsKey key, const char* name, size_t* size);

// Whether a write happened, and when it did not, the system's reason: an errno value on Linux,
// a Windows error code on Windows. The module ignores it; hosts report it.
struct StoreResult {
  bool written;
  int error;
};

StoreResult writeStoredValue(FileFilterSettingsKey key, const char* name, const void* record,
                             size_t recordSize);

}  // namespace quindle

#endif
