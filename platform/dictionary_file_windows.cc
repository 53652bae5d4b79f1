#include <windows.h>

#include <io.h>

#include <cerrno>
#include <cstring>

#include "platform/dictionary_file.h"
#include "platform/dictionary_refusal.h"

namespace quindle {
namespace {

// The regular file at `path`, open for reading in binary mode; otherwise null, and `why` says why.
FILE* openRegularFile(const char* path, const char** why) {
  // Opening a folder fails as a refused access, which would say the wrong thing.
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *why = "it is a folder";
    return nullptr;
  }
  FILE* file = std::fopen(path, "rb");
  if (!file) {
    *why = std::strerror(errno);
    return nullptr;
  }
  // A device name (CON, COM1, a pipe) opens like a file but may never end or may block.
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK) {
    std::fclose(file);
    *why = "it is not a regular file";
    return nullptr;
  }
  return file;
}

}  // namespace

FILE* openDictionaryFile(const char* path) {
  const char* why = nullptr;
  return openRegularFile(path, &why);
}

DictionaryChoice checkDictionaryChoice(const char* path) {
  const char* why = nullptr;
  FILE* file = openRegularFile(path, &why);
  if (!file) return refusedDictionary(why);
  std::fclose(file);
  DictionaryChoice choice{};
  // The length needed, terminator included, when the buffer is too small; 0 on failure, which
  // is also how a path too long for the ANSI calls can come back.
  const DWORD length = GetFullPathNameA(path, sizeof choice.absolutePath, choice.absolutePath,
                                        nullptr);
  if (length == 0 && GetLastError() != ERROR_FILENAME_EXCED_RANGE) {
    return refusedDictionary("its absolute path cannot be worked out");
  }
  if (length == 0 || length >= sizeof choice.absolutePath) return refusedAsTooLong();
  choice.usable = true;
  return choice;
}

}  // namespace quindle
