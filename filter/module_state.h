// Everything that lives as long as the loaded module, shared by every filter instance, in one
// record with one owner: the exports reach it, and hand each call below them what that call needs.
// Nothing below the exports reaches it on its own.
//
// One copy per loaded module, unsynchronised: the host calls one export at a time, from one thread.
#ifndef QUINDLE_FILTER_MODULE_STATE_H
#define QUINDLE_FILTER_MODULE_STATE_H

#include "filter/clock.h"
#include "filter/filter_api.h"
#include "filter/module_heap.h"
#include "generator/dictionary/word_table.h"
#include "generator/kernels/kernel_table.h"
#include "generator/listing_builder.h"

namespace quindle {

struct ModuleState {
  // The module's instance handle (HINSTANCE on Windows), recorded by the module's entry point; the
  // settings dialog loads its template through it.
  void* instance = nullptr;
  // Where the settings dialog was last left; zeros until a position is read or a dialog is closed.
  DialogPosition dialogPosition = {0, 0};
  SecondsClock clock = systemTimeSeconds;
  ModuleHeap heap;
  // The dictionary's lines, loaded for whichever instance last needed them.
  WordTable words = {nullptr, nullptr, 0};
  KernelChoice kernels;
  GeneratorState generator;
};

ModuleState& moduleState();

// Frees what the module holds for all instances (the word table); each platform's module entry
// calls it when the module is unloaded.
void releaseModuleState(ModuleState& state);

}  // namespace quindle

#endif
