// The DLL entry point: records the instance handle for every notification and always succeeds.
#include <windows.h>

#include "filter/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
  quindle::moduleInstance = instance;
  return TRUE;
}
