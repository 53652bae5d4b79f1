#include "host/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/command_line.h"
#include "host/console.h"

namespace quindle_host {

bool outputFailed() { return std::ferror(stdout) != 0; }

int finishOutput(int status) {
  // A write that failed earlier left its reason in errno, unless the flush fails anew.
  const int earlier = errno;
  errno = 0;
  if (std::fflush(stdout) == 0 && !outputFailed()) return status;
  if (outputIsPipe()) return status;
  const int error = errno != 0 ? errno : earlier;
  reportError(std::string("cannot write to standard output") +
              (error != 0 ? std::string(": ") + std::strerror(error) : ""));
  return kExitFailure;
}

}  // namespace quindle_host
