#include "host/folder_listing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "filter/text_field.h"
#include "host/command_line.h"
#include "host/file_system.h"
#include "host_kit/directory_allocator.h"

namespace quindle_host {

using namespace quindle_host_kit;
namespace {

// A folder on the walk's path from the root to the folder open now.
struct Level {
  FileDirectory* dir;
  std::vector<FolderItem> items;  // sorted, as the entries are
  size_t next;                    // the next item to look at for a subfolder
  OpenFolder identity;            // only its identity: the walk holds one descriptor at a time
  std::string name;               // the folder as named on the command line, for the root
};

// For messages only: a path held whole on every level would take memory growing with the
// square of the depth.
std::string pathTo(const std::vector<Level>& path, size_t depth) {
  std::string joined = path[0].name;
  for (size_t i = 1; i <= depth; ++i) joined = joinPath(joined, path[i].name);
  return joined;
}

void fillEntry(FileEntry& entry, const FolderItem& item) {
  // A name cut inside a character would show as a broken one.
  const std::string name = cutToWholeCharacters(item.name, sizeof entry.name - 1);
  quindle::copyZeroFilled(entry.name, sizeof entry.name, name.c_str());
  if (item.isFolder) {
    quindle::copyZeroFilled(entry.sizeText, sizeof entry.sizeText, "[dir]");
    entry.flags[0] = entry.flags[1] = 1;
    return;
  }
  const uint64_t kilobytes = item.bytes / 1024 + (item.bytes % 1024 != 0);
  quindle::copyZeroFilled(entry.sizeText, sizeof entry.sizeText,
                          (std::to_string(kilobytes) + "KB").c_str());
  entry.value = static_cast<int64_t>(item.bytes);
}

// The directory of `items`, sorted and filled; null when the host has no room for it.
FileDirectory* directoryOf(std::vector<FolderItem>& items) {
  std::sort(items.begin(), items.end(),
            [](const FolderItem& a, const FolderItem& b) { return a.name < b.name; });
  FileDirectory* dir = items.size() <= INT32_MAX
                           ? allocDirectory(static_cast<int32_t>(items.size()))
                           : nullptr;
  if (!dir) return nullptr;
  for (size_t i = 0; i < items.size(); ++i) fillEntry(dir->entries[i], items[i]);
  return dir;
}

FileDirectory* fail(FileDirectory* root, OpenFolder* open, std::string* error,
                    const std::string& message) {
  freeTree(root);
  closeFolder(open);
  *error = message;
  return nullptr;
}

}  // namespace

FileDirectory* listFolder(const std::string& folder, std::string* error, bool* incomplete) {
  OpenFolder open;
  std::vector<FolderItem> items;
  std::string reason;
  if (!openFolder(folder, &open, &reason) || !readFolder(open, &items, &reason)) {
    return fail(nullptr, &open, error, "cannot read " + folder + ": " + reason);
  }
  FileDirectory* root = directoryOf(items);
  if (!root) return fail(nullptr, &open, error, "not enough memory to list " + folder);
  std::vector<Level> path;
  path.push_back({root, std::move(items), 0, open, folder});

  while (!path.empty()) {
    Level& level = path.back();
    while (level.next < level.items.size() && !level.items[level.next].isFolder) ++level.next;
    if (level.next == level.items.size()) {
      path.pop_back();
      if (path.empty()) break;
      OpenFolder parent;
      if (!openParent(open, path.back().identity, &parent, &reason)) {
        return fail(root, &open, error,
                    "cannot go back up to " + pathTo(path, path.size() - 1) + ": " + reason);
      }
      closeFolder(&open);
      open = parent;
      continue;
    }
    const size_t index = level.next++;
    const std::string childName = level.items[index].name;
    OpenFolder child;
    items.clear();
    const bool readable = openSubfolder(open, level.items[index], &child, &reason) &&
                          readFolder(child, &items, &reason);
    if (!readable) {
      // One unreadable folder does not spoil the listing: it stays an empty directory.
      reportError("warning: cannot read " +
                  joinPath(pathTo(path, path.size() - 1), childName) + ": " + reason);
      if (incomplete) *incomplete = true;
      items.clear();
    }
    FileDirectory* dir = directoryOf(items);
    if (!dir) {
      closeFolder(&child);
      return fail(root, &open, error,
                  "not enough memory to list " + joinPath(pathTo(path, path.size() - 1), childName));
    }
    level.dir->entries[index].children = dir;
    if (!readable || items.empty()) {
      closeFolder(&child);
      continue;
    }
    closeFolder(&open);
    open = child;
    path.push_back({dir, std::move(items), 0, open, childName});
  }
  closeFolder(&open);
  return root;
}

}  // namespace quindle_host
