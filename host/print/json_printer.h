// The `json` format: one UTF-8 JSON document holding the title, the counts, and the entries, each
// with its name, size text, value and directory flag, and a directory's entries as "children":
//   {"title": "...", "directories": 2, "files": 9, "deepestLevel": 1, "entries": [
//     {"name": "...", "size": "12KB", "value": 4711, "directory": false},
//     {"name": "...", "size": "[dir]", "value": 17, "directory": true, "children": [
//       ...]}]}
// Printed while walking, so a huge listing is never copied. Returns false when the output could
// not be written.
#ifndef QUINDLE_HOST_PRINT_JSON_PRINTER_H
#define QUINDLE_HOST_PRINT_JSON_PRINTER_H

#include <cstdio>
#include <string>

#include "filter/filter_api.h"
#include "host/print/tree_stats.h"

namespace quindle_host {

bool printJson(std::FILE* out, const std::string& titleUtf8, const FileDirectory* root,
               const TreeStats& stats);

}  // namespace quindle_host

#endif
