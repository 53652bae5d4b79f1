#include "host/commands/command_table.h"

namespace quindle_host {

const Command kCommands[] = {
    {"run", "run the filter once and print the listing that comes back", kRunHelp, runCommand},
    {"write", "run the filter once and create the listing as files and folders", kWriteHelp,
     writeCommand},
    {"settings", "show or change the stored settings", kSettingsHelp, settingsCommand},
    {"configure", "open the module's settings window", kConfigureHelp, configureCommand},
    {nullptr, nullptr, nullptr, nullptr},
};

const Command* findCommand(const std::string& name) {
  for (const Command* command = kCommands; command->name; ++command) {
    if (name == command->name) return command;
  }
  return nullptr;
}

}  // namespace quindle_host
