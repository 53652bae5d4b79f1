// The process's standard streams, the way each system has them. prepareConsole sets them up for
// the host's output: UTF-8 text, and a closed pipe (`quindle-host run | head`) ending the printing
// with an error rather than the process, so the module still gets uninitialized and the tree
// released.
#ifndef QUINDLE_HOST_CONSOLE_H
#define QUINDLE_HOST_CONSOLE_H

#include <cstdio>

namespace quindle_host {

void prepareConsole();

// Whether standard output is a pipe (or a socket): a write that fails there means the reader
// has gone.
bool outputIsPipe();

// Whether `stream` is shown on a terminal or console.
bool isTerminal(std::FILE* stream);

// Whether the terminal's character set draws the tree's line characters; ASCII otherwise.
bool terminalTakesUtf8();

}  // namespace quindle_host

#endif
