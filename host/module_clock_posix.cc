#include <dlfcn.h>
#include <time.h>

#include "host/module_clock.h"

namespace quindle_host {
namespace {

// Set before the module's first read and unchanged while it runs, from the one thread that
// drives it.
bool clockFixed = false;
int64_t fixedSeconds = 0;

}  // namespace

int64_t calendarSecondsNow() {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<int64_t>(now.tv_sec);
}

}  // namespace quindle_host

// The C library's clock, as every library this program loads sees it (the program exports it:
// host/CMakeLists.txt). Unfixed, it reads the system's calendar time as the library's does.
extern "C" time_t time(time_t* out) noexcept {
  using namespace quindle_host;
  const time_t seconds = static_cast<time_t>(clockFixed ? fixedSeconds : calendarSecondsNow());
  if (out) *out = seconds;
  return seconds;
}

namespace quindle_host {

bool fixModuleClock(const quindle_host_kit::LoadedModule&, int64_t seconds, std::string* error) {
  // A program built without exporting its clock would leave the module on the library's.
  if (::dlsym(RTLD_DEFAULT, "time") != reinterpret_cast<void*>(&::time)) {
    *error = "this program does not export its clock, so the module cannot be given a second";
    return false;
  }
  fixedSeconds = seconds;
  clockFixed = true;
  return true;
}

}  // namespace quindle_host
