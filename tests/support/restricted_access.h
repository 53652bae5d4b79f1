// Runs a check with less access than a test process has, to see the module meet a refusal.
#ifndef QUINDLE_TESTS_RESTRICTED_ACCESS_H
#define QUINDLE_TESTS_RESTRICTED_ACCESS_H

#include <string>

namespace quindle_test {

// Runs the check while the file at `path` cannot be read by it. On POSIX systems the file loses
// its permissions (the check runs unprivileged, see below); on Windows the file is held open
// without sharing. The check's result; false also when the file could not be made unreadable.
bool checkWithoutReadAccess(const std::string& path, bool (*check)(void*), void* argument);

#if !defined(_WIN32)
// Runs the check as a user without privileges: root reads and writes whatever the modes say, so
// a root process runs it in a forked child that has become the user nobody (whose memory writes
// the parent does not see); any other user runs it in place.
bool runUnprivileged(bool (*check)(void*), void* argument);
#endif

}  // namespace quindle_test

#endif
