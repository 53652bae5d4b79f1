// An instance's listing and title, made with what the module keeps: its word table, kernel, heap
// and generator. This is what execute does once it has seeded the generator; the tests and the
// benchmarks seed it themselves and do the same.
#ifndef QUINDLE_FILTER_MODULE_LISTING_H
#define QUINDLE_FILTER_MODULE_LISTING_H

#include <cstdint>

#include "filter/filter_api.h"
#include "filter/module_state.h"
#include "generator/dictionary/loaded_word_table.h"

namespace quindle {

// The words for the names of an instance with `prefs`, from the module's table, with the system's
// text encoding as it is now. Where the dictionary was not counted yet, the count is kept in
// prefs->lineCount: the one change to an instance's settings made outside its settings window.
NameWords wordsFor(ModuleState& state, FilterPrefs* prefs);

// The tree, with the words looked up once for it.
FileDirectory* buildModuleListing(ModuleState& state, const FileFilterInfo& host, FilterPrefs* prefs);

// The title, with the words looked up again: a dictionary unusable for the tree is tried once more.
void writeModuleTitle(ModuleState& state, FilterPrefs* prefs, char* title, int32_t titleLen);

}  // namespace quindle

#endif
