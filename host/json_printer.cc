#include "host/json_printer.h"

#include <vector>

#include "host/json_text.h"
#include "host/module_text.h"
#include "host_kit/tree_walk.h"

namespace quindle_host {

using namespace quindle_host_kit;
namespace {

struct JsonEntries {
  std::FILE* out;
  // Per open directory entry: whether it is the last of its directory, so that no comma follows.
  std::vector<bool> openDirectoryIsLast;

  void indent(int depth) {
    for (int i = 0; i <= depth; ++i) std::fputs("  ", out);
  }

  bool enter(const FileEntry& entry, int depth, bool last) {
    indent(depth);
    std::fprintf(out, "{\"name\": %s, \"size\": %s, \"value\": %lld, \"directory\": %s",
                 jsonString(moduleTextToUtf8(entry.name, sizeof entry.name)).c_str(),
                 jsonString(moduleTextToUtf8(entry.sizeText, sizeof entry.sizeText)).c_str(),
                 static_cast<long long>(entry.value),
                 isDirectoryEntry(entry) ? "true" : "false");
    if (entry.children) {
      std::fputs(", \"children\": [\n", out);
      openDirectoryIsLast.push_back(last);
    } else {
      std::fputs(last ? "}\n" : "},\n", out);
    }
    return !std::ferror(out);
  }

  void leave(int depth) {
    indent(depth);
    std::fputs(openDirectoryIsLast.back() ? "]}\n" : "]},\n", out);
    openDirectoryIsLast.pop_back();
  }
};

}  // namespace

bool printJson(std::FILE* out, const std::string& titleUtf8, const FileDirectory* root,
               const TreeStats& stats) {
  std::fprintf(out,
               "{\"title\": %s, \"directories\": %llu, \"files\": %llu, \"deepestLevel\": %d, "
               "\"entries\": [\n",
               jsonString(titleUtf8).c_str(), static_cast<unsigned long long>(stats.directories),
               static_cast<unsigned long long>(stats.files), stats.deepestLevel);
  JsonEntries entries{out, {}};
  if (!walkTree(root, entries)) return false;
  std::fputs("]}\n", out);
  return std::fflush(out) == 0 && !std::ferror(out);
}

}  // namespace quindle_host
