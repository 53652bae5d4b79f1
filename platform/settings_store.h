// The two stored values of a filter instance, behind one small interface. On Windows a value is a
// binary registry value under the host's open key; elsewhere it is the file of that name inside the
// host's open settings folder.
//
// Reading behaves as the registry does for the filter: a missing value, or any failure, leaves the
// record as it was; a shorter value replaces only the record's leading bytes; a longer value fills
// the record with its leading bytes. Writing replaces the value whole: a failure, or a crash in
// the middle, leaves the old value, never a torn one. Failures are silent. (A crash in the middle
// of a write on Linux leaves a hidden temporary file in the folder; the next write of the same
// value removes it.)
#ifndef QUINDLE_PLATFORM_SETTINGS_STORE_H
#define QUINDLE_PLATFORM_SETTINGS_STORE_H

#include <cstddef>

#include "filter/filter_api.h"

namespace quindle {

void readStoredValue(FileFilterSettingsKey key, const char* name, void* record, size_t recordSize);

void writeStoredValue(FileFilterSettingsKey key, const char* name, const void* record,
                      size_t recordSize);

}  // namespace quindle

#endif
