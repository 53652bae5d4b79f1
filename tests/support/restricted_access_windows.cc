#include <windows.h>

#include "restricted_access.h"

namespace quindle_test {

bool checkWithoutReadAccess(const std::string& path, bool (*check)(void*), void* argument) {
  const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) return false;
  const bool result = check(argument);
  CloseHandle(held);
  return result;
}

}  // namespace quindle_test
