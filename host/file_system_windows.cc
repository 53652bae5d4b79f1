#include <windows.h>

#include "host/file_system.h"
#include "host/wide_text_windows.h"

namespace quindle_host {

bool openFolder(const std::string& path, OpenFolder* folder, std::string* error) {
  std::wstring full;
  if (!fullPathOf(path, &full, error)) return false;
  folder->fullPath = narrow(full, CP_UTF8);
  const DWORD attributes = GetFileAttributesW(longPath(folder->fullPath).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    *error = lastErrorText();
    return false;
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = "it is not a folder";
    return false;
  }
  return true;
}

// Windows has no descriptor-relative opening in its documented calls; full paths with the
// long-path prefix reach any depth instead.
bool openSubfolder(const OpenFolder& parent, const FolderItem& item, OpenFolder* folder,
                   std::string*) {
  folder->fullPath = joinPath(parent.fullPath, item.systemName);
  return true;
}

bool openParent(const OpenFolder&, const OpenFolder& expected, OpenFolder* parent, std::string*) {
  *parent = expected;
  return true;
}

bool readFolder(const OpenFolder& folder, std::vector<FolderItem>* items, std::string* error) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((longPath(folder.fullPath) + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    *error = lastErrorText();
    return false;
  }
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    FolderItem item;
    item.name = narrow(name, CP_ACP);
    item.systemName = narrow(name, CP_UTF8);
    item.isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                    !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (!item.isFolder) {
      item.bytes = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    }
    items->push_back(item);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

void closeFolder(OpenFolder* folder) { *folder = OpenFolder(); }

// The ANSI code page may take two bytes for a character; a cut never splits them.
std::string cutToWholeCharacters(const std::string& name, size_t maxBytes) {
  size_t cut = 0;
  while (cut < name.size()) {
    const size_t length = IsDBCSLeadByte(static_cast<BYTE>(name[cut])) ? 2 : 1;
    if (cut + length > maxBytes) break;
    cut += length;
  }
  return name.substr(0, cut);
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
  return folder + "\\" + name;
}

std::string pathInCurrentFolder(const std::string& path) {
  return path.find_first_of("\\/:") == std::string::npos ? ".\\" + path : path;
}

std::string systemErrorText(int error) { return errorText(static_cast<DWORD>(error)); }

bool isReadableFile(const std::string& path, std::string* reason) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *reason = lastErrorText();
    return false;
  }
  CloseHandle(file);
  return true;
}

std::string storedValuePlace(const std::string& where, const char* name) {
  return where + " (value " + name + ")";
}

bool isRegularFile(const std::string& path, std::string* reason) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    *reason = lastErrorText();
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    *reason = "it is a folder";
    return false;
  }
  // Devices (NUL, CON, pipes) answer for attributes too; only a disk file is a regular file.
  // Opening for no access at all reads nothing and never waits.
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *reason = lastErrorText();
    return false;
  }
  const bool disk = GetFileType(file) == FILE_TYPE_DISK;
  CloseHandle(file);
  if (!disk) *reason = "it is a device";
  return disk;
}

}  // namespace quindle_host
