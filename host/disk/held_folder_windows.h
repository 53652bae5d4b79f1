// Opening a folder the way the Windows writer holds it (see disk_calls.h), for the target's own
// folders too.
#ifndef QUINDLE_HOST_DISK_HELD_FOLDER_WINDOWS_H
#define QUINDLE_HOST_DISK_HELD_FOLDER_WINDOWS_H

#include <string>

#include "host/disk/disk_calls.h"

namespace quindle_host {

// Opens the folder at the long path `path`; false when it is not a folder, or a link.
bool holdFolder(const std::wstring& path, DiskFolder* folder, std::string* reason);

}  // namespace quindle_host

#endif
