#include "loaded_module.h"

namespace quindle_test {

bool loadModule(const std::string& fileName, LoadedModule* module, std::string* error) {
  *module = LoadedModule();
  module->library = quindle::openDynamicLibrary(quindle::besideExecutable(fileName), error);
  if (!module->library.handle) return false;
  auto find = [&](const char* name) { return quindle::findExport(module->library, name); };
  module->initialize = reinterpret_cast<FileFilterInitializeFn>(find("FileFilterInitialize"));
  module->userInterface =
      reinterpret_cast<FileFilterUserInterfaceFn>(find("FileFilterUserInterface"));
  module->execute = reinterpret_cast<FileFilterExecuteFn>(find("FileFilterExecute"));
  module->uninitialize = reinterpret_cast<FileFilterUninitializeFn>(find("FileFilterUninitialize"));
  return true;
}

void unloadModule(LoadedModule* module) {
  if (module->library.handle) quindle::closeDynamicLibrary(module->library);
  *module = LoadedModule();
}

}  // namespace quindle_test
