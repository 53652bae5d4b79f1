// A module loaded at run time by path, as a host loads it (dlopen on POSIX systems, LoadLibrary
// on Windows), with its four exports found by name. Used by the reference host and by whatever
// proves the module's binary interface from outside.
#ifndef QUINDLE_HOST_KIT_LOADED_MODULE_H
#define QUINDLE_HOST_KIT_LOADED_MODULE_H

#include <string>

#include "filter/filter_api.h"

namespace quindle_host_kit {

struct LoadedModule {
  void* handle = nullptr;
  FileFilterInitializeFn initialize = nullptr;
  FileFilterUserInterfaceFn userInterface = nullptr;
  FileFilterExecuteFn execute = nullptr;
  FileFilterUninitializeFn uninitialize = nullptr;
};

// Whether the file at `path` holds a whole module image: its headers, and every part of the file
// they name, lie within the file. A loader maps a cut file and dies of SIGBUS at the first page
// past its end, so it is looked at before loading; `problem` says what is missing.
bool isWholeModuleImage(const std::string& path, std::string* problem);

// Loads the module at `path` (a whole image, see above); false with `error` set when it cannot be
// loaded. Exports that are missing stay null.
bool loadModule(const std::string& path, LoadedModule* module, std::string* error);

void unloadModule(LoadedModule* module);

// The address of the export `name`, or null.
void* findExport(const LoadedModule& module, const char* name);

// The path of `fileName` in the folder of the running executable.
std::string besideExecutable(const std::string& fileName);

}  // namespace quindle_host_kit

#endif
