#include "host_kit/loaded_module.h"

namespace quindle_host_kit {

// Each system's file opens the library and finds names in it.
void* openLibrary(const std::string& path, std::string* error);
void closeLibrary(void* handle);

bool loadModule(const std::string& path, LoadedModule* module, std::string* error) {
  *module = LoadedModule();
  std::string problem;
  if (!isWholeModuleImage(path, &problem)) {
    *error = problem;
    return false;
  }
  module->handle = openLibrary(path, error);
  if (!module->handle) return false;
  module->initialize = reinterpret_cast<FileFilterInitializeFn>(findExport(*module, "FileFilterInitialize"));
  module->userInterface =
      reinterpret_cast<FileFilterUserInterfaceFn>(findExport(*module, "FileFilterUserInterface"));
  module->execute = reinterpret_cast<FileFilterExecuteFn>(findExport(*module, "FileFilterExecute"));
  module->uninitialize =
      reinterpret_cast<FileFilterUninitializeFn>(findExport(*module, "FileFilterUninitialize"));
  return true;
}

void unloadModule(LoadedModule* module) {
  if (module->handle) closeLibrary(module->handle);
  *module = LoadedModule();
}

}  // namespace quindle_host_kit
