// --at: the module seeds its listing from the calendar second it reads from the C run-time, so
// the host that answers that read in its place gets the same listing for the same second, on
// every build. The module and its exports stay as they are: on Linux the host program itself
// exports the C library's `time`, and the dynamic linker binds the module's calls to it; on
// Windows the host points the module's imported CRT clock (`_time64`, `_time32` or `time`) at
// its own in the loaded image's import table.
#ifndef QUINDLE_HOST_MODULE_CLOCK_H
#define QUINDLE_HOST_MODULE_CLOCK_H

#include <cstdint>
#include <string>

#include "host_kit/loaded_module.h"

namespace quindle_host {

// The --at values: every second the module can tell apart (it keeps 32 bits of the time).
constexpr uint64_t kLatestSecond = UINT32_MAX;

// Makes `module` read `seconds` as the calendar time until it is unloaded; false, with `error`,
// when the host cannot answer the module's clock.
bool fixModuleClock(const quindle_host_kit::LoadedModule& module, int64_t seconds,
                    std::string* error);

// The calendar time now, in whole seconds.
int64_t calendarSecondsNow();

}  // namespace quindle_host

#endif
