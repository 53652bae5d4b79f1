#include <dlfcn.h>
#include <elf.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "host_kit/loaded_module.h"

namespace quindle_host_kit {
namespace {

// Whether [offset, offset + size) lies within a file of `fileSize` bytes, without overflowing.
bool within(uint64_t offset, uint64_t size, uint64_t fileSize) {
  return offset <= fileSize && size <= fileSize - offset;
}

// The ELF header and every program and section header of the image, and what the program headers
// map from the file.
template <typename Header, typename Program, typename Section>
bool wholeImage(std::FILE* file, uint64_t fileSize, std::string* problem) {
  Header header;
  if (std::fseek(file, 0, SEEK_SET) != 0 || std::fread(&header, sizeof header, 1, file) != 1) {
    *problem = "not a complete module (its ELF header is cut short)";
    return false;
  }
  if (!within(header.e_phoff, uint64_t{header.e_phnum} * header.e_phentsize, fileSize) ||
      (header.e_shoff != 0 &&
       !within(header.e_shoff, uint64_t{header.e_shnum} * header.e_shentsize, fileSize))) {
    *problem = "not a complete module (its headers lie past the end of the file)";
    return false;
  }
  for (unsigned i = 0; i < header.e_phnum; ++i) {
    Program program;
    if (header.e_phentsize < sizeof program ||
        std::fseek(file, static_cast<long>(header.e_phoff + uint64_t{i} * header.e_phentsize), SEEK_SET) != 0 ||
        std::fread(&program, sizeof program, 1, file) != 1) {
      *problem = "not a complete module (its program headers cannot be read)";
      return false;
    }
    if (program.p_type == PT_LOAD && !within(program.p_offset, program.p_filesz, fileSize)) {
      *problem = "not a complete module (" + std::to_string(fileSize) +
                 " bytes, but it maps bytes up to " +
                 std::to_string(program.p_offset + program.p_filesz) + ")";
      return false;
    }
  }
  return true;
}

}  // namespace

bool isWholeModuleImage(const std::string& path, std::string* problem) {
  std::FILE* file = std::fopen(path.c_str(), "rbe");
  if (!file) {
    *problem = std::strerror(errno);
    return false;
  }
  unsigned char ident[EI_NIDENT] = {};
  bool whole = std::fseek(file, 0, SEEK_END) == 0;
  const long size = std::ftell(file);
  whole = whole && size >= 0 && std::fseek(file, 0, SEEK_SET) == 0 &&
          std::fread(ident, sizeof ident, 1, file) == 1 && std::memcmp(ident, ELFMAG, SELFMAG) == 0;
  if (!whole) {
    *problem = "not a module (no ELF header)";
  } else if (ident[EI_CLASS] == ELFCLASS64) {
    whole = wholeImage<Elf64_Ehdr, Elf64_Phdr, Elf64_Shdr>(file, static_cast<uint64_t>(size), problem);
  } else {
    whole = wholeImage<Elf32_Ehdr, Elf32_Phdr, Elf32_Shdr>(file, static_cast<uint64_t>(size), problem);
  }
  std::fclose(file);
  return whole;
}

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
