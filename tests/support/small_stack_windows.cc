#include <windows.h>

#include "small_stack.h"

namespace quindle_test {
namespace {

struct Call {
  void (*function)(void*);
  void* argument;
};

DWORD WINAPI trampoline(LPVOID raw) {
  Call* call = static_cast<Call*>(raw);
  call->function(call->argument);
  return 0;
}

}  // namespace

bool runOnSmallStack(void (*function)(void*), void* argument, size_t stackBytes) {
  Call call{function, argument};
  HANDLE thread = CreateThread(nullptr, stackBytes, trampoline, &call,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) return false;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return true;
}

}  // namespace quindle_test
