// What a stored "prefs" value must be to be taken for settings a person chose, in one place for
// everything that shows or changes stored settings: the reference host's settings, run,
// configure and JSON, and the terminal form. The module itself still reads any value the way it
// always has (a shorter one overlays the defaults, a longer one gives its leading bytes); these
// rules only say when such a value is plainly damaged, and how to mend it.
#ifndef QUINDLE_FILTER_STORED_SETTINGS_H
#define QUINDLE_FILTER_STORED_SETTINGS_H

#include <cstddef>

#include "filter/filter_api.h"

namespace quindle {

// What makes a stored record plainly not one this module's window, its form or a careful host
// wrote; the first found, in this order.
enum class Damage {
  none,
  size,               // the stored value is not exactly one record long
  unendedPath,        // no zero byte ends the dictionary path within its field
  negativeLineCount,
  negativeLevels,
  zeroFileBound,
};

// `prefs` as read from a value of `storedSize` bytes.
Damage damageOf(const FilterPrefs& prefs, size_t storedSize);

// One line (without its end) saying what is wrong, with the value that is: "its file bound is 0".
void describeDamage(Damage damage, const FilterPrefs& prefs, size_t storedSize, char* text,
                    size_t textSize);

// The settings option that mends it besides --reset ("--max-files N"), or null where only
// --reset can.
const char* mendingOption(Damage damage);

}  // namespace quindle

#endif
