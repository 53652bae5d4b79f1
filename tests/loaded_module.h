// The built module loaded from beside the running executable, as a host loads it, with its four
// exports found by name.
#ifndef QUINDLE_TESTS_LOADED_MODULE_H
#define QUINDLE_TESTS_LOADED_MODULE_H

#include <string>

#include "filter/filter_api.h"
#include "platform/dynamic_library.h"

namespace quindle_test {

struct LoadedModule {
  quindle::DynamicLibrary library;
  FileFilterInitializeFn initialize = nullptr;
  FileFilterUserInterfaceFn userInterface = nullptr;
  FileFilterExecuteFn execute = nullptr;
  FileFilterUninitializeFn uninitialize = nullptr;
};

// Loads `fileName`; false with `error` set when it cannot be loaded. Exports that are missing
// stay null.
bool loadModule(const std::string& fileName, LoadedModule* module, std::string* error);

void unloadModule(LoadedModule* module);

}  // namespace quindle_test

#endif
