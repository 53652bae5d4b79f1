#include "host/command_line.h"

#include <cstdio>

namespace quindle_host {

bool hasMore(const Arguments& args) { return args.next < args.items.size(); }

std::string take(Arguments& args) { return args.items[args.next++]; }

bool takeValue(Arguments& args, const std::string& option, std::string* value) {
  if (!hasMore(args)) {
    reportError(option + " needs a value");
    return false;
  }
  *value = take(args);
  return true;
}

bool parseNumber(const std::string& text, const std::string& option, uint64_t min, uint64_t max,
                 uint64_t* value) {
  uint64_t number = 0;
  bool ok = !text.empty() && text.size() <= 20;
  for (const char c : text) {
    if (!ok) break;
    if (c < '0' || c > '9' || number > (UINT64_MAX - 9) / 10) {
      ok = false;
      break;
    }
    number = number * 10 + static_cast<uint64_t>(c - '0');
  }
  if (!ok || number < min || number > max) {
    reportError(option + " takes a whole number from " + std::to_string(min) + " to " +
                std::to_string(max) + ", not \"" + text + "\"");
    return false;
  }
  *value = number;
  return true;
}

void reportError(const std::string& message) {
  std::fprintf(stderr, "quindle-host: %s\n", message.c_str());
}

int unknownOption(const std::string& command, const std::string& option) {
  reportError(command + ": unknown option \"" + option + "\" (see quindle-host " + command +
              " --help)");
  return kExitUsage;
}

}  // namespace quindle_host
