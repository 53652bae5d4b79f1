// Prepares the process's standard streams for the host's output: UTF-8 text, and a closed pipe
// (`quindle-host run | head`) ending the printing with an error rather than the process, so the
// module still gets uninitialized and the tree released.
#ifndef QUINDLE_HOST_CONSOLE_H
#define QUINDLE_HOST_CONSOLE_H

namespace quindle_host {

void prepareConsole();

}  // namespace quindle_host

#endif
