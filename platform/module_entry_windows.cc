// The DLL entry point: records the instance handle for every notification, frees what the module
// holds for all instances when it is unloaded, and always succeeds.
#include <windows.h>

#include "filter/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  quindle::ModuleState& state = quindle::moduleState();
  state.instance = instance;
  // A non-null `reserved` means the process is ending: its heap goes with it, and the run-time
  // library may already be shut down, so nothing is freed then.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) quindle::releaseModuleState(state);
  return TRUE;
}
