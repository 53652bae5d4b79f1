#include "host/print/tree_printer.h"

#include <vector>

#include "host/print/module_text.h"
#include "host_kit/tree_walk.h"

namespace quindle_host {

using namespace quindle_host_kit;
namespace {

struct EntryLines {
  std::FILE* out;
  const TreeLines& lines;
  std::string indent;  // one column per open directory
  std::vector<size_t> indentLengths;

  bool enter(const FileEntry& entry, int, bool last) {
    const std::string name = withoutControls(moduleTextToUtf8(entry.name, sizeof entry.name));
    const std::string size =
        withoutControls(moduleTextToUtf8(entry.sizeText, sizeof entry.sizeText));
    std::fprintf(out, "%s%s%s  %s\n", indent.c_str(), last ? lines.lastBranch : lines.branch,
                 name.c_str(), size.c_str());
    if (entry.children) {
      indentLengths.push_back(indent.size());
      indent += last ? lines.after : lines.through;
    }
    return !std::ferror(out);
  }

  void leave(int) {
    indent.resize(indentLengths.back());
    indentLengths.pop_back();
  }
};

}  // namespace

bool printTree(std::FILE* out, const TreeLines& lines, const std::string& titleUtf8,
               const FileDirectory* root, const TreeStats& stats) {
  std::fprintf(out, "%s\n", titleUtf8.empty() ? "(no title)" : withoutControls(titleUtf8).c_str());
  EntryLines entries{out, lines, {}, {}};
  if (!walkTree(root, entries)) return false;
  std::fprintf(out, "\n%llu director%s, %llu file%s, deepest level %d\n",
               static_cast<unsigned long long>(stats.directories),
               stats.directories == 1 ? "y" : "ies", static_cast<unsigned long long>(stats.files),
               stats.files == 1 ? "" : "s", stats.deepestLevel);
  return std::fflush(out) == 0 && !std::ferror(out);
}

}  // namespace quindle_host
