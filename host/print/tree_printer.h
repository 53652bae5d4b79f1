// The `tree` format: the title, the entries indented in the style of the tree tool with each
// entry's size text after its name, then a summary line. Printed while walking, so a huge listing
// is never copied, and the walk stops at the first failed write. Control characters in the
// module's text are shown as '?', so a name cannot break a line. Returns false when the output
// could not be written.
#ifndef QUINDLE_HOST_PRINT_TREE_PRINTER_H
#define QUINDLE_HOST_PRINT_TREE_PRINTER_H

#include <cstdio>
#include <string>

#include "filter/filter_api.h"
#include "host/print/tree_stats.h"

namespace quindle_host {

// The characters that draw the tree's lines.
struct TreeLines {
  const char* branch;      // before an entry that has more after it
  const char* lastBranch;  // before the last entry of a directory
  const char* through;     // below an entry that has more after it
  const char* after;       // below the last entry
};
constexpr TreeLines kUtf8Lines = {"├── ", "└── ", "│   ", "    "};
constexpr TreeLines kAsciiLines = {"|-- ", "`-- ", "|   ", "    "};

bool printTree(std::FILE* out, const TreeLines& lines, const std::string& titleUtf8,
               const FileDirectory* root, const TreeStats& stats);

}  // namespace quindle_host

#endif
