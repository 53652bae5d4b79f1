#include "host/folder_listing.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/command_line.h"
#include "host/file_system.h"
#include "host/host_tree.h"

namespace quindle_host {
namespace {

struct PendingFolder {
  std::string path;
  FileEntry* entry;  // the "[dir]" entry that receives the folder's contents; null for the root
};

void copyField(char* field, size_t fieldSize, const std::string& text) {
  const size_t length = std::min(text.size(), fieldSize - 1);
  std::memcpy(field, text.data(), length);
  std::memset(field + length, 0, fieldSize - length);
}

void fillEntry(FileEntry& entry, const FolderItem& item) {
  copyField(entry.name, sizeof entry.name, item.name);
  if (item.isFolder) {
    copyField(entry.sizeText, sizeof entry.sizeText, "[dir]");
    entry.flags[0] = entry.flags[1] = 1;
    return;
  }
  const uint64_t kilobytes = item.bytes / 1024 + (item.bytes % 1024 != 0);
  copyField(entry.sizeText, sizeof entry.sizeText, std::to_string(kilobytes) + "KB");
  entry.value = static_cast<int64_t>(item.bytes);
}

}  // namespace

FileDirectory* listFolder(const std::string& folder, std::string* error) {
  FileDirectory* root = nullptr;
  std::vector<PendingFolder> pending{{folder, nullptr}};
  while (!pending.empty()) {
    const PendingFolder current = pending.back();
    pending.pop_back();
    std::vector<FolderItem> items;
    std::string reason;
    if (!readFolder(current.path, &items, &reason)) {
      if (!current.entry) {
        *error = "cannot read " + current.path + ": " + reason;
        return nullptr;
      }
      reportError("warning: cannot read " + current.path + ": " + reason);
      items.clear();
    }
    std::sort(items.begin(), items.end(),
              [](const FolderItem& a, const FolderItem& b) { return a.name < b.name; });
    FileDirectory* dir = items.size() <= INT32_MAX
                             ? hostAllocDirectory(static_cast<int32_t>(items.size()))
                             : nullptr;
    if (!dir) {
      hostFreeTree(root);
      *error = "not enough memory to list " + current.path;
      return nullptr;
    }
    if (current.entry) {
      current.entry->children = dir;
    } else {
      root = dir;
    }
    for (size_t i = 0; i < items.size(); ++i) {
      fillEntry(dir->entries[i], items[i]);
      if (items[i].isFolder) pending.push_back({joinPath(current.path, items[i].name), &dir->entries[i]});
    }
  }
  return root;
}

}  // namespace quindle_host
