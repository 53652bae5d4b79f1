#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "restricted_access.h"

namespace quindle_test {

bool runUnprivileged(bool (*check)(void*), void* argument) {
  if (::geteuid() != 0) return check(argument);
  const pid_t child = ::fork();
  if (child == 0) {
    const uid_t nobody = 65534;
    if (::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(2);
    ::_exit(check(argument) ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

bool checkWithoutReadAccess(const std::string& path, bool (*check)(void*), void* argument) {
  struct stat before;
  if (::stat(path.c_str(), &before) != 0 || ::chmod(path.c_str(), 0) != 0) return false;
  const bool result = runUnprivileged(check, argument);
  ::chmod(path.c_str(), before.st_mode & 07777);
  return result;
}

}  // namespace quindle_test
