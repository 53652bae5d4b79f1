#include <dlfcn.h>
#include <unistd.h>

#include "host_kit/loaded_module.h"

namespace quindle_host_kit {

void* openLibrary(const std::string& path, std::string* error) {
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = ::dlerror();
    *error = reason ? reason : "cannot load " + path;
  }
  return handle;
}

void closeLibrary(void* handle) { ::dlclose(handle); }

void* findExport(const LoadedModule& module, const char* name) {
  return module.handle ? ::dlsym(module.handle, name) : nullptr;
}

std::string besideExecutable(const std::string& fileName) {
  char path[4096];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return fileName;
  std::string folder(path, static_cast<size_t>(length));
  const size_t slash = folder.rfind('/');
  return slash == std::string::npos ? fileName : folder.substr(0, slash + 1) + fileName;
}

}  // namespace quindle_host_kit
