#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "host/console.h"

namespace quindle_host {

void prepareConsole() { std::signal(SIGPIPE, SIG_IGN); }

bool outputIsPipe() {
  struct stat info;
  return ::fstat(STDOUT_FILENO, &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
}

bool isTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

// The codeset of the environment's locale, read without setting it: the module runs in this
// process and must keep the "C" locale it was written for.
bool terminalTakesUtf8() {
  const locale_t chosen = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (chosen == static_cast<locale_t>(0)) return false;
  const bool utf8 = std::strcmp(::nl_langinfo_l(CODESET, chosen), "UTF-8") == 0;
  ::freelocale(chosen);
  return utf8;
}

}  // namespace quindle_host
