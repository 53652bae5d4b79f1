#include "host/print/settings_printer.h"

#include "host/print/json_writer.h"
#include "host/print/module_text.h"

namespace quindle_host {
namespace {

// By DictionaryState::Kind.
const char* const kDictionaryStateWords[] = {"none", "counted", "not counted yet", "no lines",
                                             "cannot be read"};

}  // namespace

void printSettingsText(std::FILE* out, const SettingsView& view) {
  std::fprintf(out, "settings: %s\n", withoutControls(view.where).c_str());
  if (!view.damage.empty()) {
    std::fprintf(out, "stored value looks damaged: %s\n", view.damage.c_str());
    return;
  }
  std::fprintf(out, "filter: %s\n", view.enabled ? "enabled" : "disabled");
  std::fprintf(out, "directory levels: %ld\n", static_cast<long>(view.dirLevels));
  std::fprintf(out, "files per directory: fewer than %lu\n",
               static_cast<unsigned long>(view.maxFiles));
  if (view.dictionary.empty()) {
    std::fprintf(out, "dictionary: (none: random letters)\n");
  } else {
    std::fprintf(out, "dictionary: %s\n", withoutControls(view.dictionary).c_str());
    std::fprintf(out, "dictionary lines: %s\n", view.dictionaryLines.c_str());
  }
}

void printSettingsJson(std::FILE* out, const SettingsView& view) {
  JsonWriter json{out, {}};
  openJsonObject(json);
  writeJsonKey(json, "settings");
  writeJsonString(json, view.where);
  if (!view.damage.empty()) {
    writeJsonKey(json, "damaged");
    writeJsonString(json, view.damage);
  } else {
    writeJsonKey(json, "enabled");
    writeJsonBool(json, view.enabled);
    writeJsonKey(json, "directoryLevels");
    writeJsonNumber(json, view.dirLevels);
    writeJsonKey(json, "maxFiles");
    writeJsonUnsigned(json, view.maxFiles);
    writeJsonKey(json, "dictionary");
    view.dictionary.empty() ? writeJsonNull(json) : writeJsonString(json, view.dictionary);
    // Counts are numbers; what the dictionary gives now is a word, and a reason where it cannot.
    writeJsonKey(json, "lineCount");
    writeJsonNumber(json, view.lineCount);
    writeJsonKey(json, "dictionaryState");
    writeJsonString(json, kDictionaryStateWords[view.dictionaryState.kind]);
    writeJsonKey(json, "dictionaryProblem");
    view.dictionaryState.kind == DictionaryState::unreadable
        ? writeJsonString(json, view.dictionaryState.reason)
        : writeJsonNull(json);
  }
  closeJsonObject(json);
  finishJson(json);
}

}  // namespace quindle_host
