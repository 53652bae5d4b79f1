#include <windows.h>

#include "platform/dynamic_library.h"

namespace quindle {

DynamicLibrary openDynamicLibrary(const std::string& path, std::string* error) {
  DynamicLibrary library;
  library.handle = reinterpret_cast<void*>(::LoadLibraryA(path.c_str()));
  if (!library.handle && error) {
    *error = "cannot load " + path + " (error " + std::to_string(::GetLastError()) + ")";
  }
  return library;
}

void* findExport(const DynamicLibrary& library, const char* name) {
  if (!library.handle) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library.handle), name));
}

void closeDynamicLibrary(DynamicLibrary& library) {
  if (library.handle) ::FreeLibrary(static_cast<HMODULE>(library.handle));
  library.handle = nullptr;
}

std::string besideExecutable(const std::string& fileName) {
  char path[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return fileName;
  std::string folder(path, length);
  const size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? fileName : folder.substr(0, slash + 1) + fileName;
}

}  // namespace quindle
