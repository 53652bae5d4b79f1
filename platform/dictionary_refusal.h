// The refusals checkDictionaryChoice gives, worded alike on every system.
#ifndef QUINDLE_PLATFORM_DICTIONARY_REFUSAL_H
#define QUINDLE_PLATFORM_DICTIONARY_REFUSAL_H

#include <cstdio>

#include "platform/dictionary_file.h"

namespace quindle {

inline DictionaryChoice refusedDictionary(const char* why) {
  DictionaryChoice choice{};
  std::snprintf(choice.reason, sizeof choice.reason, "%s", why);
  return choice;
}

inline DictionaryChoice refusedAsTooLong() {
  DictionaryChoice choice{};
  std::snprintf(choice.reason, sizeof choice.reason, "its absolute path is longer than %d bytes",
                FILTER_PREFS_PATH_SIZE - 1);
  return choice;
}

}  // namespace quindle

#endif
