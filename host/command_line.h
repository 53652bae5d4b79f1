// Reading the host's command line: a cursor over the arguments, option values, and numbers checked
// against the range of the field they go into. Every refusal is one line on stderr, and the host
// exits with kExitUsage before it has touched the module or any stored value.
#ifndef QUINDLE_HOST_COMMAND_LINE_H
#define QUINDLE_HOST_COMMAND_LINE_H

#include <cstdint>
#include <string>
#include <vector>

namespace quindle_host {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the module, the settings or the system let the command down
constexpr int kExitUsage = 2;    // the command line itself was wrong
// Returned by a command's option reader that has printed the command's help: stop, successfully.
constexpr int kHelpShown = -1;

struct Arguments {
  std::vector<std::string> items;
  size_t next = 0;
};

bool hasMore(const Arguments& args);
std::string take(Arguments& args);

// The value that follows `option`; false, with a message, when the command line ends first.
bool takeValue(Arguments& args, const std::string& option, std::string* value);

// A plain decimal number (digits only: no sign, spaces or suffix) from `min` to `max`; false,
// with a message naming the option, otherwise.
bool parseNumber(const std::string& text, const std::string& option, uint64_t min, uint64_t max,
                 uint64_t* value);

// Writes "quindle-host: <message>" as one line on stderr.
void reportError(const std::string& message);

// Reports an option the command does not know and returns kExitUsage.
int unknownOption(const std::string& command, const std::string& option);

}  // namespace quindle_host

#endif
