#include <windows.h>
#include <winioctl.h>

#include <cstdint>

#include "host/disk/disk_calls.h"
#include "host/disk/held_folder_windows.h"
#include "host/wide_text_windows.h"

namespace quindle_host {
namespace {

HANDLE handleOf(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool failed(std::string* reason) {
  *reason = lastErrorText();
  return false;
}

std::wstring pathIn(const DiskFolder& parent, const char* name) {
  return parent.path + L"\\" + widen(name, CP_ACP);
}

}  // namespace

// Handles cost Windows nothing like descriptors: every folder of the path stays held, so none of
// them can be renamed or replaced while the tree is written.
const size_t kFoldersHeldOpen = SIZE_MAX;

bool holdFolder(const std::wstring& path, DiskFolder* folder, std::string* reason) {
  // Without FILE_SHARE_DELETE nobody can rename or delete the folder while it is held; a link
  // put in its place is opened as the link itself, and refused.
  const HANDLE handle = CreateFileW(
      path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return failed(reason);
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    CloseHandle(handle);
    *reason = "a link or a file was put where a folder was made";
    return false;
  }
  folder->handle = reinterpret_cast<intptr_t>(handle);
  folder->path = path;
  return true;
}

bool makeFolder(const DiskFolder& parent, const char* name, DiskFolder* folder,
                std::string* reason) {
  const std::wstring path = pathIn(parent, name);
  if (!CreateDirectoryW(path.c_str(), nullptr)) return failed(reason);
  return holdFolder(path, folder, reason);
}

bool makeFile(const DiskFolder& parent, const char* name, DiskFile* file, std::string* reason) {
  const HANDLE handle = CreateFileW(pathIn(parent, name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return failed(reason);
  file->handle = reinterpret_cast<intptr_t>(handle);
  return true;
}

bool setFileLength(const DiskFile& file, uint64_t bytes, std::string* reason) {
  if (bytes == 0) return true;
  const HANDLE handle = handleOf(file.handle);
  // A file system without sparse files gives the file its length all the same.
  DWORD returned = 0;
  DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(bytes);
  if (!SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) || !SetEndOfFile(handle)) {
    return failed(reason);
  }
  return true;
}

bool writeFileBytes(const DiskFile& file, const unsigned char* bytes, size_t count,
                    std::string* reason) {
  while (count > 0) {
    const DWORD piece = count > (1u << 30) ? (1u << 30) : static_cast<DWORD>(count);
    DWORD written = 0;
    if (!WriteFile(handleOf(file.handle), bytes, piece, &written, nullptr)) return failed(reason);
    if (written == 0) {
      *reason = "the file system took no bytes";
      return false;
    }
    bytes += written;
    count -= written;
  }
  return true;
}

bool closeFile(DiskFile* file, std::string* reason) {
  const HANDLE handle = handleOf(file->handle);
  file->handle = -1;
  if (!CloseHandle(handle)) return failed(reason);
  return true;
}

void closeDiskFolder(DiskFolder* folder) {
  if (folder->handle != -1) CloseHandle(handleOf(folder->handle));
  folder->handle = -1;
}

bool setFolderAside(DiskFolder* folder, std::string*) {
  closeDiskFolder(folder);
  return true;
}

bool reopenParent(const DiskFolder&, DiskFolder* parent, std::string* reason) {
  return holdFolder(parent->path, parent, reason);
}

}  // namespace quindle_host
