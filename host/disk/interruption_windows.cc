#include <windows.h>

#include <atomic>

#include "host/disk/interruption.h"

namespace quindle_host {
namespace {

constexpr int kInterruptedStatus = 130;
constexpr int kClosedStatus = 143;
// Windows ends the process soon after a close handler returns; the writer gets this long to
// remove what it made.
constexpr DWORD kClosingMilliseconds = 4000;

std::atomic<int> caughtStatus{0};
std::atomic<bool> caught{false};

BOOL WINAPI markInterruption(DWORD event) {
  const bool closing = event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT;
  caughtStatus = closing ? kClosedStatus : kInterruptedStatus;
  if (closing) {
    for (DWORD waited = 0; caught && waited < kClosingMilliseconds; waited += 50) Sleep(50);
  }
  return TRUE;
}

}  // namespace

void catchInterruptions() {
  caught = true;
  SetConsoleCtrlHandler(markInterruption, TRUE);
}

void releaseInterruptions() {
  SetConsoleCtrlHandler(markInterruption, FALSE);
  caught = false;
}

bool interrupted() { return caughtStatus != 0; }

int interruptionStatus() { return caughtStatus; }

}  // namespace quindle_host
