#include <windows.h>

#include <io.h>

#include "platform/dictionary_file.h"

namespace quindle {

FILE* openDictionaryFile(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return nullptr;
  // A device name (CON, COM1, a pipe) opens like a file but may never end or may block.
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

}  // namespace quindle
