#include "host/command_line.h"

#include <cstdio>

#include "filter/settings_rules.h"
#include "filter/text_field.h"

namespace quindle_host {

const char kExitCodesHelp[] =
    "Exit codes:\n"
    "  0  done\n"
    "  1  failed, or done only in part: the module, the settings or the system let the command\n"
    "     down (a listing cut short for want of memory, settings that could not be stored, an\n"
    "     incomplete folder listing, output that could not be written)\n"
    "  2  the command line was wrong, or a path it names cannot be used\n"
    "  130, 143, 129  a write interrupted by SIGINT, SIGTERM or SIGHUP (its partial tree removed)\n";

Next nextOption(Arguments& args, std::string* option) {
  if (args.hasInlineValue) {
    reportError(args.option + " takes no value");
    return Next::refused;
  }
  if (args.next == args.items.size()) return Next::end;
  std::string item = args.items[args.next++];
  const size_t equals = item.find('=');
  if (item.compare(0, 2, "--") == 0 && equals != std::string::npos) {
    args.hasInlineValue = true;
    args.inlineValue = item.substr(equals + 1);
    item.resize(equals);
  }
  args.option = item;
  *option = item;
  return Next::option;
}

bool takesNoValue(Arguments& args) {
  if (!args.hasInlineValue) return true;
  args.hasInlineValue = false;
  reportError(args.option + " takes no value");
  return false;
}

bool takeValue(Arguments& args, std::string* value) {
  if (args.hasInlineValue) {
    args.hasInlineValue = false;
    *value = args.inlineValue;
    return true;
  }
  if (args.next == args.items.size()) {
    reportError(args.option + " needs a value");
    return false;
  }
  *value = args.items[args.next++];
  return true;
}

bool takeChoice(Arguments& args, std::initializer_list<const char*> choices, size_t* chosen) {
  std::string value;
  if (!takeValue(args, &value)) return false;
  std::string named;
  size_t place = 0;
  for (const char* choice : choices) {
    if (value == choice) {
      *chosen = place;
      return true;
    }
    named += (place == 0 ? "" : place + 1 == choices.size() ? " or " : ", ") + std::string(choice);
    ++place;
  }
  reportError(args.option + " takes " + named + ", not \"" + value + "\"");
  return false;
}

bool parseNumber(const std::string& text, const std::string& option, uint64_t min, uint64_t max,
                 uint64_t* value) {
  // The module's own rule, so that a number typed here means what it means in its form.
  if (text.find('\0') != std::string::npos ||
      !quindle::readPlainNumber(text.c_str(), {min, max}, value)) {
    reportError(option + " takes a whole number from " + std::to_string(min) + " to " +
                std::to_string(max) + ", not \"" + text + "\"");
    return false;
  }
  return true;
}

void reportError(const std::string& message) {
  std::string shown;
  for (size_t i = 0; i < message.size(); ++i) {
    const size_t control = quindle::controlLength(message.data(), message.size(), i);
    shown += control ? '?' : message[i];
    if (control) i += control - 1;
  }
  std::fprintf(stderr, "quindle-host: %s\n", shown.c_str());
}

int unknownOption(const std::string& command, const std::string& option) {
  reportError(command + ": unknown option \"" + option + "\" (see quindle-host " + command +
              " --help)");
  return kExitUsage;
}

}  // namespace quindle_host
