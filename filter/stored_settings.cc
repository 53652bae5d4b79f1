#include "filter/stored_settings.h"

#include <cstdio>
#include <cstring>

namespace quindle {

Damage damageOf(const FilterPrefs& prefs, size_t storedSize) {
  if (storedSize != sizeof prefs) return Damage::size;
  if (!std::memchr(prefs.dictionaryPath, '\0', sizeof prefs.dictionaryPath)) return Damage::unendedPath;
  if (prefs.lineCount < 0) return Damage::negativeLineCount;
  if (prefs.dirLevels < 0) return Damage::negativeLevels;
  if (prefs.maxFiles == 0) return Damage::zeroFileBound;
  return Damage::none;
}

void describeDamage(Damage damage, const FilterPrefs& prefs, size_t storedSize, char* text,
                    size_t textSize) {
  switch (damage) {
    case Damage::none: std::snprintf(text, textSize, "nothing"); return;
    case Damage::size:
      std::snprintf(text, textSize, "it is %zu bytes long, not %zu", storedSize, sizeof prefs);
      return;
    case Damage::unendedPath: std::snprintf(text, textSize, "its dictionary path has no end"); return;
    case Damage::negativeLineCount:
      std::snprintf(text, textSize, "its line count is negative (%d)", static_cast<int>(prefs.lineCount));
      return;
    case Damage::negativeLevels:
      std::snprintf(text, textSize, "its directory levels are negative (%d)", static_cast<int>(prefs.dirLevels));
      return;
    case Damage::zeroFileBound: std::snprintf(text, textSize, "its file bound is 0"); return;
  }
}

const char* mendingOption(Damage damage) {
  switch (damage) {
    case Damage::negativeLineCount: return "--recount";
    case Damage::negativeLevels: return "--levels N";
    case Damage::zeroFileBound: return "--max-files N";
    case Damage::unendedPath: return "--dictionary FILE";
    case Damage::none:
    case Damage::size: return nullptr;
  }
  return nullptr;
}

}  // namespace quindle
