#include "filter/module_listing.h"

#include "generator/listing_builder.h"
#include "platform/text_encoding.h"

namespace quindle {

NameWords wordsFor(ModuleState& state, FilterPrefs* prefs) {
  const LoadedWords loaded = loadWordTable(state.words, state.heap, *prefs);
  prefs->lineCount = loaded.lineCount;
  NameWords words = loaded.words;
  if (words.table) words.encoding = systemTextEncoding();
  return words;
}

FileDirectory* buildModuleListing(ModuleState& state, const FileFilterInfo& host, FilterPrefs* prefs) {
  const NameWords words = wordsFor(state, prefs);
  return buildListing(host, shapeOf(*prefs), words, activeKernel(state.kernels), state.heap,
                      state.generator);
}

void writeModuleTitle(ModuleState& state, FilterPrefs* prefs, char* title, int32_t titleLen) {
  // A title that cannot be written takes no draw and looks nothing up.
  if (!title || titleLen < 1) return;
  const NameWords words = wordsFor(state, prefs);
  writeTitle(words, title, titleLen, state.generator.random, state.generator.names);
}

}  // namespace quindle
