// A user's interruption while a tree is written: SIGINT, SIGTERM or SIGHUP on Linux; Ctrl-C,
// Ctrl-Break or closing the console on Windows. While caught, an interruption only marks itself:
// the writer sees the mark before its next entry, removes what it made, and the process ends
// with the interruption's status (130 for SIGINT and Ctrl-C, 129 for SIGHUP, 143 otherwise).
// Blocking calls are not restarted, so a writer waiting on a slow device hears it too.
#ifndef QUINDLE_HOST_DISK_INTERRUPTION_H
#define QUINDLE_HOST_DISK_INTERRUPTION_H

namespace quindle_host {

void catchInterruptions();

// Back to the system's handling; a console being closed may then end the process.
void releaseInterruptions();

bool interrupted();

// The exit status for the interruption that came.
int interruptionStatus();

}  // namespace quindle_host

#endif
