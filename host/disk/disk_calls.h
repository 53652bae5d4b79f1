// The calls that create a tree on disk, each system's own, always relative to an open folder:
// the writer never builds a path from the top and never follows a link. On Linux a folder is a
// descriptor, and files and folders are made with mkdirat and openat (O_EXCL, O_NOFOLLOW), so a
// link planted in the tree while it is written cannot lead a write out of it. On Windows a folder
// is a handle that lets nobody rename or delete it while it is held, and its full path with the
// long-path prefix; names are converted from the ANSI code page and made with the wide calls.
// Every call reports failure with the system's reason, never throws, and may run on any thread.
#ifndef QUINDLE_HOST_DISK_DISK_CALLS_H
#define QUINDLE_HOST_DISK_DISK_CALLS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace quindle_host {

struct DiskFolder {
  intptr_t handle = -1;  // -1: not open (a folder set aside, see below)
  uint64_t device = 0;   // the identity of a folder set aside
  uint64_t inode = 0;
  std::wstring path;  // Windows: the long-path form
};

struct DiskFile {
  intptr_t handle = -1;
};

// How many folders of one path the writer holds open; deeper ones set the higher ones aside.
extern const size_t kFoldersHeldOpen;

// Makes the folder `name` in `parent` and opens it.
bool makeFolder(const DiskFolder& parent, const char* name, DiskFolder* folder,
                std::string* reason);

// Makes the file `name` in `parent`, which must not exist.
bool makeFile(const DiskFolder& parent, const char* name, DiskFile* file, std::string* reason);

// Gives the file its length without writing blocks.
bool setFileLength(const DiskFile& file, uint64_t bytes, std::string* reason);

bool writeFileBytes(const DiskFile& file, const unsigned char* bytes, size_t count,
                    std::string* reason);

bool closeFile(DiskFile* file, std::string* reason);

void closeDiskFolder(DiskFolder* folder);

// Closes `folder` and remembers what it was, so that reopenParent can find it again.
bool setFolderAside(DiskFolder* folder, std::string* reason);

// Opens the folder that holds `child` as `parent`, which was set aside; false when it is no longer
// that folder (it was moved meanwhile).
bool reopenParent(const DiskFolder& child, DiskFolder* parent, std::string* reason);

}  // namespace quindle_host

#endif
