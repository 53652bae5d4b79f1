// The module's four exports. Each checks what the host hands it, never lets an exception out, and
// fails silently where the contract has no result to report. They are the only code that reaches
// the module's state; each hands the calls below it what they need.

#include "dialog/settings_dialog.h"
#include "filter/filter_api.h"
#include "filter/module_state.h"
#include "filter/settings.h"
#include "filter/text_field.h"
#include "filter/module_listing.h"

#if defined(__GNUC__) && !defined(_WIN32)
#define QUINDLE_EXPORT __attribute__((visibility("default")))
#else
#define QUINDLE_EXPORT  // the .def file names the exports
#endif

using namespace quindle;

extern "C" {

QUINDLE_EXPORT int QUINDLE_CALL FileFilterInitialize(FileFilterInfo* info) {
  if (!info || info->version != FILE_FILTER_INTERFACE_VERSION) return 0;
  ModuleState& state = moduleState();
  // Allocate before touching the record, so that a refusal leaves it exactly as the host left it.
  FilterPrefs* prefs = static_cast<FilterPrefs*>(heapAllocateZeroed(state.heap, sizeof(FilterPrefs)));
  if (!prefs) return 0;
  copyZeroFilled(info->name, sizeof info->name, kFilterDisplayName);
  info->version = FILE_FILTER_INTERFACE_VERSION;
  setDefaultPrefs(prefs);
  info->userData = prefs;
  loadStoredSettings(info->settingsKey, state.heap, prefs, &state.dialogPosition);
  return 1;
}

QUINDLE_EXPORT void QUINDLE_CALL FileFilterUninitialize(FileFilterInfo* info) {
  if (!info || !info->userData) return;
  storeSettings(info->settingsKey, *info->userData, moduleState().dialogPosition);
  heapFree(info->userData);
  // A host that calls on with this record finds no settings, rather than freed memory.
  info->userData = nullptr;
}

QUINDLE_EXPORT FileDirectory* QUINDLE_CALL FileFilterExecute(FileFilterInfo* info,
                                                             FileDirectory* root, char* title,
                                                             int32_t titleLen) {
  if (!info || !info->userData || !info->allocDirectory) return root;
  FilterPrefs* prefs = info->userData;
  if (prefs->enabled == 0) return root;
  ModuleState& state = moduleState();
  if (info->freeTree) info->freeTree(root);
  seedRandomFromClock(state.generator.random, state.clock());
  FileDirectory* newRoot = buildModuleListing(state, *info, prefs);
  writeModuleTitle(state, prefs, title, titleLen);
  return newRoot;
}

QUINDLE_EXPORT int QUINDLE_CALL FileFilterUserInterface(FileFilterInfo* info,
                                                        FileFilterWindow parent) {
  ModuleState& state = moduleState();
  return showSettingsDialog(info, parent, {state.instance, &state.dialogPosition, &state.heap});
}

}  // extern "C"
