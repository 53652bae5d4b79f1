#include <dlfcn.h>
#include <unistd.h>

#include "platform/dynamic_library.h"

namespace quindle {

DynamicLibrary openDynamicLibrary(const std::string& path, std::string* error) {
  DynamicLibrary library;
  library.handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library.handle && error) {
    const char* reason = ::dlerror();
    *error = reason ? reason : "cannot load " + path;
  }
  return library;
}

void* findExport(const DynamicLibrary& library, const char* name) {
  return library.handle ? ::dlsym(library.handle, name) : nullptr;
}

void closeDynamicLibrary(DynamicLibrary& library) {
  if (library.handle) ::dlclose(library.handle);
  library.handle = nullptr;
}

std::string besideExecutable(const std::string& fileName) {
  char path[4096];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return fileName;
  std::string folder(path, static_cast<size_t>(length));
  const size_t slash = folder.rfind('/');
  return slash == std::string::npos ? fileName : folder.substr(0, slash + 1) + fileName;
}

}  // namespace quindle
