// Where `write` puts a tree, and how it keeps a user's data safe. The target DIR must not exist,
// or must be an empty folder: anything else is refused, and nothing a user has is ever deleted or
// overwritten. The tree is built in a hidden folder beside DIR, ".DIR.quindle-partial-PID", on
// the same file system, and renamed into place only when it is whole; a run that fails or is
// interrupted removes it. A partial folder whose process is gone (a run that was killed) is
// removed by the next write to the same DIR. Removing never follows a link.
#ifndef QUINDLE_HOST_DISK_WRITE_TARGET_H
#define QUINDLE_HOST_DISK_WRITE_TARGET_H

#include <cstdint>
#include <string>

#include "host/disk/disk_calls.h"

namespace quindle_host {

struct WriteTarget {
  std::string shown;        // DIR as the user named it
  std::string leaf;         // DIR's last part, as the system takes it
  std::string partialName;  // the hidden folder beside it
  bool replacesEmptyFolder = false;
  DiskFolder parent;   // the folder that holds DIR
  DiskFolder partial;  // open while the tree is written
  bool partialMade = false;
};

struct DiskSpace {
  uint64_t freeBytes = 0;
  uint64_t freeFiles = 0;  // 0 when the file system does not count them
  uint64_t blockSize = 0;
};

// Looks at DIR and opens the folder that holds it; false, with the reason, when DIR cannot be
// used (it exists and is not an empty folder, the folder that would hold it does not exist, ...).
bool openTarget(const std::string& dir, WriteTarget* target, std::string* error);

// What the file system that holds DIR has free.
bool diskSpaceOf(const WriteTarget& target, DiskSpace* space, std::string* error);

// Removes the partial folders beside DIR whose runs are gone; how many it removed.
int removeAbandonedPartials(const WriteTarget& target);

// Makes and opens the partial folder.
bool makePartial(WriteTarget* target, std::string* error);

// Keeps the tree's title with the tree where the file system takes one (the extended attribute
// user.quindle.title on Linux); false when it does not.
bool storeTitle(const WriteTarget& target, const std::string& titleUtf8);

// Renames the whole tree into place.
bool finishTarget(WriteTarget* target, std::string* error);

// Removes the partial folder and what it holds, as far as it can; false, with the reason, when
// something is left.
bool removePartial(WriteTarget* target, std::string* error);

void closeTarget(WriteTarget* target);

// Each system's own: removes the folder `name` beside DIR with everything in it, at any depth,
// never following a link.
bool removeFolderIn(const WriteTarget& target, const std::string& name, std::string* error);

}  // namespace quindle_host

#endif
