#include <csignal>

#include "host/console.h"

namespace quindle_host {

void prepareConsole() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace quindle_host
