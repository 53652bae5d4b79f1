#include "filter/module_state.h"

namespace quindle {

void* moduleInstance = nullptr;
DialogPosition dialogPosition = {0, 0};

}  // namespace quindle
