#include <signal.h>

#include "host/disk/interruption.h"

namespace quindle_host {
namespace {

constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP};

volatile sig_atomic_t caughtSignal = 0;
struct sigaction before[3];

void markInterruption(int signal) { caughtSignal = signal; }

}  // namespace

void catchInterruptions() {
  struct sigaction action {};
  action.sa_handler = markInterruption;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART
  for (int i = 0; i < 3; ++i) sigaction(kCaught[i], &action, &before[i]);
  // A file past the process's size limit is a failed write to report, not a reason to die.
  signal(SIGXFSZ, SIG_IGN);
}

void releaseInterruptions() {
  for (int i = 0; i < 3; ++i) sigaction(kCaught[i], &before[i], nullptr);
}

bool interrupted() { return caughtSignal != 0; }

int interruptionStatus() { return 128 + caughtSignal; }

}  // namespace quindle_host
