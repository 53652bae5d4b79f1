// Files and folders for one test in the system's temporary folder (which Wine maps too), removed
// when the test is done. Names are unique across the processes that run tests side by side.
#ifndef QUINDLE_TESTS_TEMP_FILE_H
#define QUINDLE_TESTS_TEMP_FILE_H

#include <string>

namespace quindle_test {

struct TempPath {
  std::string path;
  TempPath();
  ~TempPath();
  TempPath(const TempPath&) = delete;
  TempPath& operator=(const TempPath&) = delete;
};

// Creates or replaces the file at `path` with exactly `bytes`.
void writeFileBytes(const std::string& path, const std::string& bytes);

}  // namespace quindle_test

#endif
