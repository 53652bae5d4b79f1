// Reading the host's command line: a cursor over the arguments, option values, and numbers checked
// against the range of the field they go into. Every option may also be written "--name=value".
// Every refusal is one line on stderr, and the host exits with kExitUsage before it has touched
// the module or any stored value.
#ifndef QUINDLE_HOST_COMMAND_LINE_H
#define QUINDLE_HOST_COMMAND_LINE_H

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace quindle_host {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the module, the settings or the system let the command down,
                                 // also where it was done only in part
constexpr int kExitUsage = 2;    // the command line was wrong, or names a path that cannot be used

// The exit codes as --help and the README list them.
extern const char kExitCodesHelp[];
// Returned by a command's option reader when the command is to go on; any other value is the
// status to stop with (kExitOk after the command's help).
constexpr int kGoOn = -1;

struct Arguments {
  std::vector<std::string> items;
  size_t next = 0;
  // The option last taken, and the value written into it ("--levels=4"), which waits for
  // takeValue; an option that takes no value must not be given one.
  std::string option;
  bool hasInlineValue = false;
  std::string inlineValue;
};

enum class Next { option, end, refused };

// Takes the next option ("--levels=4" gives "--levels"). `refused`, with a message, when the
// option before it was given a value it does not take ("--enable=yes").
Next nextOption(Arguments& args, std::string* option);

// For an option that takes no value and acts at once (--help, --version): false, with a
// message, when it was given one ("--help=x").
bool takesNoValue(Arguments& args);

// The value of the option just taken: its inline value, else the next argument; false, with a
// message, when there is none.
bool takeValue(Arguments& args, std::string* value);

// The value of the option just taken, which must be one of `choices`: its place among them in
// `chosen`; false, with a message naming them all, when it is none of them.
bool takeChoice(Arguments& args, std::initializer_list<const char*> choices, size_t* chosen);

// A plain decimal number (digits only: no sign, spaces or suffix) from `min` to `max`; false,
// with a message naming the option, otherwise.
bool parseNumber(const std::string& text, const std::string& option, uint64_t min, uint64_t max,
                 uint64_t* value);

// Writes "quindle-host: <message>" as one line on stderr. Whatever the message holds (a path, a
// name from a file), control characters show as '?', as they do on stdout: a line end cannot
// split the line, and an escape cannot reach the terminal.
void reportError(const std::string& message);

// Reports an option the command does not know and returns kExitUsage.
int unknownOption(const std::string& command, const std::string& option);

}  // namespace quindle_host

#endif
