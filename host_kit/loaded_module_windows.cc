#include <windows.h>

#include "host_kit/loaded_module.h"

namespace quindle_host_kit {

void* openLibrary(const std::string& path, std::string* error) {
  void* handle = reinterpret_cast<void*>(::LoadLibraryA(path.c_str()));
  if (!handle) *error = "cannot load " + path + " (error " + std::to_string(::GetLastError()) + ")";
  return handle;
}

void closeLibrary(void* handle) { ::FreeLibrary(static_cast<HMODULE>(handle)); }

void* findExport(const LoadedModule& module, const char* name) {
  if (!module.handle) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module.handle), name));
}

std::string besideExecutable(const std::string& fileName) {
  char path[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return fileName;
  std::string folder(path, length);
  const size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? fileName : folder.substr(0, slash + 1) + fileName;
}

}  // namespace quindle_host_kit
