#include "filter/module_state.h"

#include "generator/dictionary/loaded_word_table.h"

namespace quindle {
namespace {

ModuleState loadedModule;

}  // namespace

ModuleState& moduleState() { return loadedModule; }

void releaseModuleState(ModuleState& state) { releaseWordTable(state.words); }

}  // namespace quindle
