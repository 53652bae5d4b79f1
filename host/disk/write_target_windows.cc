#include <windows.h>

#include <vector>

#include "host/disk/held_folder_windows.h"
#include "host/disk/write_target.h"
#include "host/wide_text_windows.h"

namespace quindle_host {
namespace {

constexpr char kPartialMark[] = ".quindle-partial-";
// A named stream is the nearest a Windows file system has to an extended attribute.
constexpr wchar_t kTitleStream[] = L":user.quindle.title";
constexpr uint64_t kUsualClusterBytes = 4096;

std::wstring pathIn(const WriteTarget& target, const std::string& utf8Name) {
  return target.parent.path + L"\\" + widen(utf8Name, CP_UTF8);
}

bool isDots(const std::wstring& name) { return name == L"." || name == L".."; }

// The items of the folder at `path` (a long path), without "." and "..".
bool readItems(const std::wstring& path, std::vector<WIN32_FIND_DATAW>* items, std::string* error) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    *error = lastErrorText();
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  do {
    if (!isDots(found.cFileName)) items->push_back(found);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

bool isLinkOrMountPoint(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Removes the folder at `top` with everything in it, with its own stack; links and junctions are
// removed as themselves, never entered.
bool removeFolderTree(const std::wstring& top, std::string* error) {
  struct Emptying {
    std::wstring path;
    std::vector<std::wstring> subfolders;
    size_t next;
  };
  std::vector<Emptying> path;
  path.push_back({top, {}, 0});
  bool read = false;
  while (!path.empty()) {
    Emptying& level = path.back();
    if (!read) {
      std::vector<WIN32_FIND_DATAW> items;
      if (!readItems(level.path, &items, error)) return false;
      for (const WIN32_FIND_DATAW& item : items) {
        const std::wstring itemPath = level.path + L"\\" + item.cFileName;
        const bool folder = (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (folder && !isLinkOrMountPoint(item.dwFileAttributes)) {
          level.subfolders.push_back(itemPath);
          continue;
        }
        if (item.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
          SetFileAttributesW(itemPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        if (!(folder ? RemoveDirectoryW(itemPath.c_str()) : DeleteFileW(itemPath.c_str()))) {
          *error = lastErrorText();
          return false;
        }
      }
    }
    if (level.next < level.subfolders.size()) {
      const std::wstring below = level.subfolders[level.next++];
      path.push_back({below, {}, 0});
      read = false;
      continue;
    }
    if (!RemoveDirectoryW(level.path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
      *error = lastErrorText();
      return false;
    }
    path.pop_back();
    read = true;  // the folder below was removed; its parent was read already
  }
  return true;
}

// Whether the run `process` has ended (an ended process whose handle someone holds counts).
bool processIsGone(DWORD process) {
  const HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
  if (!handle) return GetLastError() == ERROR_INVALID_PARAMETER;
  const bool ended = WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
  CloseHandle(handle);
  return ended;
}

uint64_t clusterBytes(const std::wstring& path) {
  wchar_t volume[MAX_PATH];
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  if (!GetVolumePathNameW(path.c_str(), volume, MAX_PATH) ||
      !GetDiskFreeSpaceW(volume, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters) ||
      sectorsPerCluster * bytesPerSector == 0) {
    return kUsualClusterBytes;
  }
  return static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
}

}  // namespace

bool openTarget(const std::string& dir, WriteTarget* target, std::string* error) {
  target->shown = dir;
  std::wstring full;
  if (!fullPathOf(dir, &full, error)) return false;
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  const size_t separator = full.find_last_of(L"\\/");
  const std::wstring leaf = separator == std::wstring::npos ? full : full.substr(separator + 1);
  if (separator == std::wstring::npos || leaf.empty() || isDots(leaf) || leaf.back() == L':') {
    *error = "name the folder by a name of its own";
    return false;
  }
  std::wstring parent = full.substr(0, separator);
  if (parent.size() == 2 && parent[1] == L':') parent += L"\\";  // a drive's own folder
  target->parent.path = longPath(narrow(parent, CP_UTF8));
  if (target->parent.path.back() == L'\\') target->parent.path.pop_back();
  target->leaf = narrow(leaf, CP_UTF8);
  target->partialName = "." + target->leaf + kPartialMark + std::to_string(GetCurrentProcessId());
  const DWORD parentAttributes = GetFileAttributesW((target->parent.path + L"\\").c_str());
  if (parentAttributes == INVALID_FILE_ATTRIBUTES ||
      !(parentAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = "the folder that would hold it: " +
             (parentAttributes == INVALID_FILE_ATTRIBUTES ? lastErrorText() : "it is a file");
    return false;
  }
  const std::wstring path = pathIn(*target, target->leaf);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return true;
    *error = lastErrorText();
    return false;
  }
  if (isLinkOrMountPoint(attributes)) {
    *error = "it is a link or a junction (links are never followed)";
    return false;
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = "it is a file";
    return false;
  }
  std::vector<WIN32_FIND_DATAW> items;
  if (!readItems(path, &items, error)) return false;
  if (!items.empty()) {
    *error = "it is a folder that is not empty";
    return false;
  }
  target->replacesEmptyFolder = true;
  return true;
}

bool diskSpaceOf(const WriteTarget& target, DiskSpace* space, std::string* error) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW((target.parent.path + L"\\").c_str(), &available, nullptr, nullptr)) {
    *error = lastErrorText();
    return false;
  }
  space->freeBytes = available.QuadPart;
  space->freeFiles = 0;  // Windows' file systems have no fixed count of files
  space->blockSize = clusterBytes(target.parent.path + L"\\");
  return true;
}

int removeAbandonedPartials(const WriteTarget& target) {
  const std::string prefix = "." + target.leaf + kPartialMark;
  std::vector<WIN32_FIND_DATAW> items;
  std::string error;
  if (!readItems(target.parent.path, &items, &error)) return 0;
  int removed = 0;
  for (const WIN32_FIND_DATAW& item : items) {
    const std::string name = narrow(item.cFileName, CP_UTF8);
    if (!(item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        isLinkOrMountPoint(item.dwFileAttributes) || name.compare(0, prefix.size(), prefix) != 0) {
      continue;
    }
    const std::string digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    const DWORD process = static_cast<DWORD>(std::stoul(digits));
    if (process == GetCurrentProcessId() || !processIsGone(process)) continue;
    if (removeFolderIn(target, name, &error)) ++removed;
  }
  return removed;
}

bool makePartial(WriteTarget* target, std::string* error) {
  const std::wstring path = pathIn(*target, target->partialName);
  if (!CreateDirectoryW(path.c_str(), nullptr)) {
    *error = lastErrorText();
    return false;
  }
  target->partialMade = true;
  return holdFolder(path, &target->partial, error);
}

// Whether the volume that holds `folder` keeps named streams; one that does not would take the
// stream's name for a file of its own beside the folder.
bool keepsNamedStreams(const DiskFolder& folder) {
  DWORD flags = 0;
  return GetVolumeInformationByHandleW(reinterpret_cast<HANDLE>(folder.handle), nullptr, 0, nullptr,
                                       nullptr, &flags, nullptr, 0) &&
         (flags & FILE_NAMED_STREAMS) != 0;
}

bool storeTitle(const WriteTarget& target, const std::string& titleUtf8) {
  if (!keepsNamedStreams(target.partial)) return false;
  const HANDLE stream = CreateFileW((target.partial.path + kTitleStream).c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (stream == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool stored = WriteFile(stream, titleUtf8.data(), static_cast<DWORD>(titleUtf8.size()),
                                &written, nullptr) &&
                      written == titleUtf8.size();
  CloseHandle(stream);
  return stored;
}

bool finishTarget(WriteTarget* target, std::string* error) {
  closeDiskFolder(&target->partial);
  const std::wstring from = pathIn(*target, target->partialName);
  const std::wstring to = pathIn(*target, target->leaf);
  // Windows renames nothing over a folder: the empty one named goes first, if it is still empty.
  if (target->replacesEmptyFolder && !RemoveDirectoryW(to.c_str()) &&
      GetLastError() != ERROR_FILE_NOT_FOUND) {
    *error = GetLastError() == ERROR_DIR_NOT_EMPTY
                 ? std::string("something was put there while the tree was written")
                 : lastErrorText();
    return false;
  }
  if (!MoveFileExW(from.c_str(), to.c_str(), 0)) {
    *error = GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS
                 ? std::string("something was put there while the tree was written")
                 : lastErrorText();
    return false;
  }
  target->partialMade = false;
  return true;
}

bool removeFolderIn(const WriteTarget& target, const std::string& name, std::string* error) {
  return removeFolderTree(pathIn(target, name), error);
}

void closeTarget(WriteTarget* target) { closeDiskFolder(&target->partial); }

}  // namespace quindle_host
