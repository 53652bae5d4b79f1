// The shared object's unload hook: the loader runs it at dlclose and at process exit, and it
// frees what the module holds for all instances.
#include "filter/module_state.h"

__attribute__((destructor)) static void releaseOnUnload() {
  quindle::releaseModuleState(quindle::moduleState());
}
