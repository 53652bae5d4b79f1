#include "host/print/json_printer.h"

#include "host/print/json_writer.h"
#include "host/print/module_text.h"
#include "host_kit/tree_walk.h"

namespace quindle_host {

using namespace quindle_host_kit;
namespace {

struct JsonEntries {
  JsonWriter& json;

  bool enter(const FileEntry& entry, int, bool) {
    openJsonObject(json);
    writeJsonKey(json, "name");
    writeJsonString(json, moduleTextToUtf8(entry.name, sizeof entry.name));
    writeJsonKey(json, "size");
    writeJsonString(json, moduleTextToUtf8(entry.sizeText, sizeof entry.sizeText));
    writeJsonKey(json, "value");
    writeJsonNumber(json, entry.value);
    writeJsonKey(json, "directory");
    writeJsonBool(json, isDirectoryEntry(entry));
    if (childrenOf(entry)) {
      writeJsonKey(json, "children");
      openJsonArray(json, JsonLayout::item_per_line);
    } else {
      closeJsonObject(json);
    }
    return !std::ferror(json.out);
  }

  void leave(int) {
    closeJsonArray(json);
    closeJsonObject(json);
  }
};

}  // namespace

bool printJson(std::FILE* out, const std::string& titleUtf8, const FileDirectory* root,
               const TreeStats& stats) {
  JsonWriter json{out, {}};
  openJsonObject(json);
  writeJsonKey(json, "title");
  writeJsonString(json, titleUtf8);
  writeJsonKey(json, "directories");
  writeJsonUnsigned(json, stats.directories);
  writeJsonKey(json, "files");
  writeJsonUnsigned(json, stats.files);
  writeJsonKey(json, "deepestLevel");
  writeJsonNumber(json, stats.deepestLevel);
  writeJsonKey(json, "entries");
  openJsonArray(json, JsonLayout::item_per_line);
  JsonEntries entries{json};
  if (!walkTree(root, entries)) return false;
  closeJsonArray(json);
  closeJsonObject(json);
  return finishJson(json);
}

}  // namespace quindle_host
