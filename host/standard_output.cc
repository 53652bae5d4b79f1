#include "host/standard_output.h"

#include <cstdio>

#include "host/command_line.h"
#include "host/console.h"

namespace quindle_host {

bool outputFailed() { return std::ferror(stdout) != 0; }

int finishOutput(int status) {
  if (std::fflush(stdout) == 0 && !outputFailed()) return status;
  if (outputIsPipe()) return status;
  reportError("cannot write to standard output");
  return kExitFailure;
}

}  // namespace quindle_host
