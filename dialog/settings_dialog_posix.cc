// Without a window system the settings form runs on the controlling terminal.
#include <cstdio>

#include "dialog/settings_dialog.h"
#include "dialog/terminal_form.h"

namespace quindle {

int showSettingsDialog(FileFilterInfo* info, FileFilterWindow /*parent*/,
                       const DialogContext& /*context*/) {
  if (!info || !info->userData) return -1;
  // Separate streams for the two directions: one stream may not switch from reading to writing
  // without a seek, which a terminal cannot do.
  std::FILE* in = std::fopen("/dev/tty", "re");
  std::FILE* out = in ? std::fopen("/dev/tty", "we") : nullptr;
  if (!out) {
    if (in) std::fclose(in);
    return -1;
  }
  const int result = runTerminalForm(in, out, info->userData);
  std::fclose(out);
  std::fclose(in);
  return result;
}

}  // namespace quindle
