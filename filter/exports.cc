// The module's four exports. Each checks what the host hands it, never lets an exception out, and
// fails silently where the contract has no result to report.
#include <cstdlib>
#include <cstring>

#include "dialog/settings_dialog.h"
#include "filter/clock.h"
#include "filter/filter_api.h"
#include "filter/module_state.h"
#include "filter/settings.h"
#include "filter/text_field.h"
#include "generator/draws/random_source.h"
#include "generator/listing_builder.h"

#if defined(__GNUC__) && !defined(_WIN32)
#define QUINDLE_EXPORT __attribute__((visibility("default")))
#else
#define QUINDLE_EXPORT  // the .def file names the exports
#endif

using namespace quindle;

extern "C" {

QUINDLE_EXPORT int QUINDLE_CALL FileFilterInitialize(FileFilterInfo* info) {
  if (!info || info->version != FILE_FILTER_INTERFACE_VERSION) return 0;
  // Allocate before touching the record, so that a refusal leaves it exactly as the host left it.
  FilterPrefs* prefs = static_cast<FilterPrefs*>(std::calloc(1, sizeof(FilterPrefs)));
  if (!prefs) return 0;
  copyZeroFilled(info->name, sizeof info->name, kFilterDisplayName);
  info->version = FILE_FILTER_INTERFACE_VERSION;
  setDefaultPrefs(prefs);
  info->userData = prefs;
  loadStoredSettings(info->settingsKey, prefs, &dialogPosition);
  return 1;
}

QUINDLE_EXPORT void QUINDLE_CALL FileFilterUninitialize(FileFilterInfo* info) {
  if (!info || !info->userData) return;
  storeSettings(info->settingsKey, *info->userData, dialogPosition);
  std::free(info->userData);
}

QUINDLE_EXPORT FileDirectory* QUINDLE_CALL FileFilterExecute(FileFilterInfo* info,
                                                             FileDirectory* root, char* title,
                                                             int32_t titleLen) {
  if (!info || !info->userData || !info->allocDirectory) return root;
  FilterPrefs* prefs = info->userData;
  if (prefs->enabled == 0) return root;
  if (info->freeTree) info->freeTree(root);
  seedRandomFromClock(currentTimeSeconds());
  FileDirectory* newRoot = buildListing(*info, prefs);
  writeTitle(prefs, title, titleLen);
  return newRoot;
}

QUINDLE_EXPORT int QUINDLE_CALL FileFilterUserInterface(FileFilterInfo* info,
                                                        FileFilterWindow parent) {
  return showSettingsDialog(info, parent);
}

}  // extern "C"
