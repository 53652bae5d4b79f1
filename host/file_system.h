// The little the host needs from the file system, with the platform's own calls: the items of one
// folder, joining paths, and the absolute path of a readable file. Names are the system's 8-bit
// text (the ANSI code page on Windows), the same text the module uses.
#ifndef QUINDLE_HOST_FILE_SYSTEM_H
#define QUINDLE_HOST_FILE_SYSTEM_H

#include <cstdint>
#include <string>
#include <vector>

namespace quindle_host {

struct FolderItem {
  std::string name;
  uint64_t bytes = 0;
  bool isFolder = false;  // false for links and junctions too: they are never followed
};

// The items of `folder`, without "." and "..", in no particular order.
bool readFolder(const std::string& folder, std::vector<FolderItem>* items, std::string* error);

std::string joinPath(const std::string& folder, const std::string& name);

// The absolute path of `path` if it names a regular file that can be opened for reading.
bool readableFilePath(const std::string& path, std::string* absolute, std::string* error);

}  // namespace quindle_host

#endif
