// The little the host needs from the file system, with the platform's own calls: walking a folder
// tree, and checking the paths named on the command line. Names are the system's 8-bit text (the
// ANSI code page on Windows), the same text the module uses. Nothing here ever waits on a FIFO,
// a device or a pipe: files are looked at, or opened without blocking.
#ifndef QUINDLE_HOST_FILE_SYSTEM_H
#define QUINDLE_HOST_FILE_SYSTEM_H

#include <cstdint>
#include <string>
#include <vector>

namespace quindle_host {

struct FolderItem {
  std::string name;       // as the module's text
  std::string systemName; // as the system names it, for openSubfolder
  uint64_t bytes = 0;
  bool isFolder = false;  // false for links and junctions too: they are never followed
};

// A folder open for a walk. On POSIX systems a descriptor and the folder's identity, so that the
// walk goes down and back up by descriptor and no path ever grows with the depth; on Windows its
// full path, used with the long-path prefix.
struct OpenFolder {
  intptr_t descriptor = -1;
  uint64_t device = 0;
  uint64_t inode = 0;
  std::string fullPath;
};

// Opens the folder `path` names (following links: it was named on purpose).
bool openFolder(const std::string& path, OpenFolder* folder, std::string* error);

// Opens `item` of `parent`, never following a link.
bool openSubfolder(const OpenFolder& parent, const FolderItem& item, OpenFolder* folder,
                   std::string* error);

// Opens the folder that holds `child`; false when it is no longer `expected`, the folder the walk
// came down from (it was moved meanwhile).
bool openParent(const OpenFolder& child, const OpenFolder& expected, OpenFolder* parent,
                std::string* error);

// The items of `folder`, without "." and "..", in no particular order.
bool readFolder(const OpenFolder& folder, std::vector<FolderItem>* items, std::string* error);

void closeFolder(OpenFolder* folder);

// The longest start of `name` that is made of whole characters and fits `maxBytes`.
std::string cutToWholeCharacters(const std::string& name, size_t maxBytes);

std::string joinPath(const std::string& folder, const std::string& name);

// `path` itself when it has a folder part, else the file of that name in the current folder
// ("Quindle.so" is "./Quindle.so"), so that no search path is asked.
std::string pathInCurrentFolder(const std::string& path);

// Whether `path` names a regular file (after links), looked at without opening it; `reason`
// says why not.
bool isRegularFile(const std::string& path, std::string* reason);

// Whether the file at `path` opens for reading (opened without waiting, and closed again);
// `reason` says why not.
bool isReadableFile(const std::string& path, std::string* reason);

// The system's words for an error code: an errno value on POSIX systems, a Windows error code on
// Windows.
std::string systemErrorText(int error);

// Where the stored value `name` of the settings place `where` is, for messages: the file at the
// end of any links (POSIX systems), or the key and the value's name (Windows).
std::string storedValuePlace(const std::string& where, const char* name);

}  // namespace quindle_host

#endif
