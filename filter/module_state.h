// State that lives as long as the loaded module and is shared by every filter instance.
#ifndef QUINDLE_FILTER_MODULE_STATE_H
#define QUINDLE_FILTER_MODULE_STATE_H

#include "filter/filter_api.h"

namespace quindle {

// The module's instance handle (HINSTANCE on Windows), recorded by the module entry point; the
// settings dialog loads its template through it.
extern void* moduleInstance;

// Where the settings dialog was last left; zeros until a position is read or a dialog is closed.
extern DialogPosition dialogPosition;

// Frees what the module holds for all instances (the word table); each platform's module entry
// calls it when the module is unloaded.
void releaseModuleState();

}  // namespace quindle

#endif
