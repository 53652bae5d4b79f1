// How the host's output ends. A reader that went away early (`quindle-host run | head -1`) is not
// an error: printing stops at the first failed write and the command ends quietly with its own
// status. Any other failed write (a full disk, `--help >/dev/full`) is one line on stderr and
// status 1, whatever the command.
#ifndef QUINDLE_HOST_STANDARD_OUTPUT_H
#define QUINDLE_HOST_STANDARD_OUTPUT_H

namespace quindle_host {

// Whether a write to standard output has failed; long printing loops stop then.
bool outputFailed();

// Flushes standard output and returns the process's exit status for a command that returned
// `status`.
int finishOutput(int status);

}  // namespace quindle_host

#endif
