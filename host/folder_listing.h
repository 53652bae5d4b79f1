// A real folder as the host's own tree, built through allocDirectory: one directory per folder,
// its entries sorted by name; files show their size in kilobytes, rounded up ("0KB" only when
// empty), and carry their byte count as value; subfolders are "[dir]" entries with their contents.
// Links and junctions are listed as files and never followed, so a loop cannot trap the walk.
// The walk keeps its own stack whatever the depth; on Linux it holds one folder open at a time and
// goes down and back up by descriptor, so no path grows with the depth (on Windows it uses full
// paths with the long-path prefix: see file_system.h). Names longer than an entry's field are cut
// between characters. A subfolder that cannot be read stays an empty directory, with a
// warning on stderr, and the listing counts as incomplete.
#ifndef QUINDLE_HOST_FOLDER_LISTING_H
#define QUINDLE_HOST_FOLDER_LISTING_H

#include <string>

#include "filter/filter_api.h"

namespace quindle_host {

// The tree of `folder`, or null with `error` set when the folder cannot be read or memory runs out.
// `incomplete` (which may be null) is set when a subfolder could not be read.
FileDirectory* listFolder(const std::string& folder, std::string* error, bool* incomplete = nullptr);

}  // namespace quindle_host

#endif
