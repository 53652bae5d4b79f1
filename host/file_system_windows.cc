#include <windows.h>

#include "host/file_system.h"

namespace quindle_host {
namespace {

std::string lastErrorText() {
  const DWORD code = GetLastError();
  char text[256] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(code) : message;
}

}  // namespace

bool readFolder(const std::string& folder, std::vector<FolderItem>* items, std::string* error) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(joinPath(folder, "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    *error = lastErrorText();
    return false;
  }
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    FolderItem item;
    item.name = name;
    item.isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                    !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (!item.isFolder) {
      item.bytes = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    }
    items->push_back(item);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return true;
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
  return folder + "\\" + name;
}

bool readableFilePath(const std::string& path, std::string* absolute, std::string* error) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = lastErrorText();
    return false;
  }
  const DWORD type = GetFileType(file);
  BY_HANDLE_FILE_INFORMATION info;
  const bool isFile = GetFileInformationByHandle(file, &info) && type == FILE_TYPE_DISK &&
                      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  CloseHandle(file);
  if (!isFile) {
    *error = "not a regular file";
    return false;
  }
  char full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) {
    *error = "the path is too long";
    return false;
  }
  *absolute = std::string(full, length);
  return true;
}

}  // namespace quindle_host
