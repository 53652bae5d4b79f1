#include "filter/clock.h"

#include <ctime>

namespace quindle {

int64_t systemTimeSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

}  // namespace quindle
