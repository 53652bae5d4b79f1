#include <windows.h>

#include <cstring>

#include "platform/settings_store.h"

namespace quindle {

void readStoredValue(FileFilterSettingsKey key, const char* name, void* record, size_t recordSize,
                     ModuleHeap& heap) {
  HKEY hkey = static_cast<HKEY>(key);
  // Windows leaves the buffer undefined when a value does not fit; query into a copy so that the
  // record only ever receives a value that was read whole.
  unsigned char copy[kMostStoredRecord];
  if (recordSize > sizeof copy) return;
  std::memcpy(copy, record, recordSize);
  DWORD size = static_cast<DWORD>(recordSize);
  LONG status = RegQueryValueExA(hkey, name, nullptr, nullptr, copy, &size);
  if (status == ERROR_SUCCESS) std::memcpy(record, copy, size < recordSize ? size : recordSize);
  // A value longer than the record is not read at all by the registry; read it whole into a
  // scratch buffer and keep its leading bytes, so the record ends up fully defined.
  for (int attempt = 0; status == ERROR_MORE_DATA && attempt < 3; ++attempt) {
    void* scratch = heapAllocate(heap, size);
    if (!scratch) return;
    DWORD scratchSize = size;
    status = RegQueryValueExA(hkey, name, nullptr, nullptr, static_cast<BYTE*>(scratch),
                              &scratchSize);
    if (status == ERROR_SUCCESS) {
      std::memcpy(record, scratch, scratchSize < recordSize ? scratchSize : recordSize);
    } else {
      size = scratchSize;
    }
    heapFree(scratch);
  }
}

bool storedValueSize(FileFilterSettingsKey key, const char* name, size_t* size) {
  DWORD bytes = 0;
  if (RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
    return false;
  }
  *size = bytes;
  return true;
}

StoreResult writeStoredValue(FileFilterSettingsKey key, const char* name, const void* record,
                             size_t recordSize) {
  const LONG status = RegSetValueExA(static_cast<HKEY>(key), name, 0, REG_BINARY,
                                     static_cast<const BYTE*>(record), static_cast<DWORD>(recordSize));
  return {status == ERROR_SUCCESS, static_cast<int>(status)};
}

}  // namespace quindle
