// Loading a module at run time by path and finding its exports by name: dlopen on POSIX systems,
// LoadLibrary on Windows. Used by whatever proves the module's binary interface from outside.
#ifndef QUINDLE_PLATFORM_DYNAMIC_LIBRARY_H
#define QUINDLE_PLATFORM_DYNAMIC_LIBRARY_H

#include <string>

namespace quindle {

struct DynamicLibrary {
  void* handle = nullptr;
};

// Opens the module at `path`; on failure returns a library with a null handle and sets `error`.
DynamicLibrary openDynamicLibrary(const std::string& path, std::string* error);

// The address of the export `name`, or null.
void* findExport(const DynamicLibrary& library, const char* name);

void closeDynamicLibrary(DynamicLibrary& library);

// The path of `fileName` in the folder of the running executable.
std::string besideExecutable(const std::string& fileName);

}  // namespace quindle

#endif
