// The rule that turns an entry's name into a name on disk, the same on every system so that a
// tree written on Linux can be copied to Windows:
//   1. the entry's name bytes;
//   2. each of / \ : * ? " < > | and every byte below 0x20, or 0x7F, becomes _;
//   3. trailing spaces and dots are removed (dictionary names end with a space, and Windows keeps
//      neither);
//   4. an empty result becomes _;
//   5. a Windows device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any case), alone
//      or followed by a dot and anything, gets a leading _;
//   6. within one folder, a name equal to an earlier one (ASCII letters compared without case)
//      gets " (2)", " (3)", ... appended: the first number that makes it unique.
// So no name is ".", ".." or holds a separator: a dictionary line such as "../../etc/x" stays a
// name.
#ifndef QUINDLE_HOST_DISK_DISK_NAMES_H
#define QUINDLE_HOST_DISK_DISK_NAMES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "filter/filter_api.h"

namespace quindle_host {

// Steps 1 to 5 for the name in a text field of `fieldSize` bytes (up to its first zero byte).
void diskName(const char* field, size_t fieldSize, std::string* name);

// The names on disk of one folder's entries, steps 1 to 6, kept in one block of text so that a
// folder costs no allocation per entry once the record is warm.
struct FolderNames {
  std::string text;              // every name, each ended by a zero byte
  std::vector<uint32_t> starts;  // where each entry's name starts in `text`
  std::vector<uint32_t> slots;   // a hash table of entry numbers + 1; 0 is a free slot
  std::string candidate;         // scratch
};

// Names the `count` entries of `entries`.
void nameFolder(const FileEntry* entries, int32_t count, FolderNames* names);

inline const char* nameOf(const FolderNames& names, int32_t index) {
  return names.text.data() + names.starts[static_cast<size_t>(index)];
}

}  // namespace quindle_host

#endif
