#include "filter/module_state.h"

#include "generator/dictionary/loaded_word_table.h"

namespace quindle {

void* moduleInstance = nullptr;
DialogPosition dialogPosition = {0, 0};

void releaseModuleState() { releaseWordTable(); }

}  // namespace quindle
