#include <windows.h>

#include <cstdio>

#include "host_kit/loaded_module.h"

namespace quindle_host_kit {
namespace {

bool readAt(std::FILE* file, long offset, void* into, size_t size) {
  return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(into, size, 1, file) == 1;
}

// The DOS and PE headers, the section table, and every section's bytes in the file.
bool wholeImage(std::FILE* file, uint64_t fileSize, std::string* problem) {
  IMAGE_DOS_HEADER dos;
  DWORD signature = 0;
  IMAGE_FILE_HEADER header;
  if (!readAt(file, 0, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
      !readAt(file, dos.e_lfanew, &signature, sizeof signature) || signature != IMAGE_NT_SIGNATURE ||
      !readAt(file, dos.e_lfanew + static_cast<long>(sizeof signature), &header, sizeof header)) {
    *problem = "not a module (no PE header)";
    return false;
  }
  const long sections = dos.e_lfanew + static_cast<long>(sizeof signature + sizeof header) +
                        header.SizeOfOptionalHeader;
  for (unsigned i = 0; i < header.NumberOfSections; ++i) {
    IMAGE_SECTION_HEADER section;
    if (!readAt(file, sections + static_cast<long>(i * sizeof section), &section, sizeof section)) {
      *problem = "not a complete module (its section table is cut short)";
      return false;
    }
    const uint64_t end = uint64_t{section.PointerToRawData} + section.SizeOfRawData;
    if (end > fileSize) {
      *problem = "not a complete module (" + std::to_string(fileSize) +
                 " bytes, but its sections reach byte " + std::to_string(end) + ")";
      return false;
    }
  }
  return true;
}

}  // namespace

bool isWholeModuleImage(const std::string& path, std::string* problem) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    *problem = "it cannot be opened";
    return false;
  }
  const bool sized = std::fseek(file, 0, SEEK_END) == 0;
  const long size = std::ftell(file);
  const bool whole = sized && size >= 0 && wholeImage(file, static_cast<uint64_t>(size), problem);
  if (!sized || size < 0) *problem = "its size cannot be read";
  std::fclose(file);
  return whole;
}

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
