// Where a stored value's new bytes go on Linux. A value is normally the entry of its name in the
// settings folder, replaced whole on every write. People also keep their settings elsewhere (in
// a repository, say) and link them into place; replacing the link would silently cut the user's
// settings loose, so when the entry is a symbolic link, or a chain of them, that ends at a regular
// file, the write goes to that final file instead, in its own folder, and the links stay.
//
// Link texts are followed as the kernel follows them: a relative text from the folder that holds
// the link. An entry that is missing, a regular file, or anything that does not end at a regular
// file (a dangling link, a loop, a link to a FIFO, a device or a folder) is its own target: the
// write replaces the entry itself with a regular file.
#ifndef QUINDLE_PLATFORM_VALUE_TARGET_POSIX_H
#define QUINDLE_PLATFORM_VALUE_TARGET_POSIX_H

#include <climits>

namespace quindle {

struct ValueTarget {
  int folder;        // the folder that holds the target
  bool ownsFolder;   // whether `folder` was opened here and is closed by releaseValueTarget
  char name[NAME_MAX + 1];
};

// False, with nothing left open and the reason in errno, when the entry leads to a regular file
// along links that cannot be followed now (they changed meanwhile): the value is then to be left
// as it is. After true, the caller releases the target.
bool findValueTarget(int folder, const char* name, ValueTarget* target);

void releaseValueTarget(ValueTarget* target);

}  // namespace quindle

#endif
