#include <windows.h>

#include "host/console.h"

namespace quindle_host {

// The host writes UTF-8; a console shows it only when told so. Pipes and files take it as is.
void prepareConsole() { SetConsoleOutputCP(CP_UTF8); }

}  // namespace quindle_host
