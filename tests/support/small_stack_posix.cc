#include <pthread.h>

#include "small_stack.h"

namespace quindle_test {
namespace {

struct Call {
  void (*function)(void*);
  void* argument;
};

void* trampoline(void* raw) {
  Call* call = static_cast<Call*>(raw);
  call->function(call->argument);
  return nullptr;
}

}  // namespace

bool runOnSmallStack(void (*function)(void*), void* argument, size_t stackBytes) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  const size_t smallest = static_cast<size_t>(PTHREAD_STACK_MIN);
  if (stackBytes < smallest) stackBytes = smallest;
  pthread_attr_setstacksize(&attributes, stackBytes);
  Call call{function, argument};
  pthread_t thread;
  const bool started = pthread_create(&thread, &attributes, trampoline, &call) == 0;
  pthread_attr_destroy(&attributes);
  if (started) pthread_join(thread, nullptr);
  return started;
}

}  // namespace quindle_test
