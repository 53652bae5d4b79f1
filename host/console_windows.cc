#include <io.h>
#include <windows.h>

#include "host/console.h"

namespace quindle_host {

// The host writes UTF-8; a console shows it only when told so. Pipes and files take it as is.
void prepareConsole() { SetConsoleOutputCP(CP_UTF8); }

bool outputIsPipe() { return GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_PIPE; }

// _isatty says yes for any character device, NUL among them; only a console has a mode.
bool isTerminal(std::FILE* stream) {
  DWORD mode = 0;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// prepareConsole has set the console to UTF-8, and files and pipes take it as is.
bool terminalTakesUtf8() { return true; }

}  // namespace quindle_host
