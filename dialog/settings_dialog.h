// The settings window behind FileFilterUserInterface. It edits an initialized instance's
// FilterPrefs in place: the enable flag and the two numbers only when the user confirms, the
// dictionary as soon as one is chosen (with lineCount reset to 0 so that the new file is counted
// at the next name). On Windows it is the modal dialog from template 101, placed where it was last
// left or centred on its owner; elsewhere the same form on the controlling terminal.
//
// Returns 1 after OK, 0 after Cancel, -1 when no window can be shown (the record is then left
// unchanged).
#ifndef QUINDLE_DIALOG_SETTINGS_DIALOG_H
#define QUINDLE_DIALOG_SETTINGS_DIALOG_H

#include "filter/filter_api.h"
#include "filter/module_heap.h"

namespace quindle {

// What the window needs of the module beyond the instance: the module holding its template (null:
// the one holding this code), where it was last left (read, and updated as it moves), and the
// module's heap.
struct DialogContext {
  void* moduleInstance;
  DialogPosition* position;
  ModuleHeap* heap;
};

int showSettingsDialog(FileFilterInfo* info, FileFilterWindow parent, const DialogContext& context);

}  // namespace quindle

#endif
