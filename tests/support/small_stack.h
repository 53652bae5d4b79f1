// Runs a function on a new thread with a small stack, as some hosts call plug-ins.
#ifndef QUINDLE_TESTS_SMALL_STACK_H
#define QUINDLE_TESTS_SMALL_STACK_H

#include <cstddef>

namespace quindle_test {

// Returns false if the thread could not be started.
bool runOnSmallStack(void (*function)(void*), void* argument, size_t stackBytes);

}  // namespace quindle_test

#endif
