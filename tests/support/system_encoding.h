// The system's text encoding as the module reads it, for tests that check names are cut whole.
// On Linux the module reads the codeset of the locale the environment names, so for the length of
// a test the environment names a UTF-8 locale (C.UTF-8, built into the C library). On Windows the
// ANSI code page is the process's own, as the program was started (Wine takes it from the Unix
// locale: LANG=ja_JP.UTF-8 gives the double-byte code page 932), and is left as it is.
#ifndef QUINDLE_TESTS_SYSTEM_ENCODING_H
#define QUINDLE_TESTS_SYSTEM_ENCODING_H

#include <string>
#include <vector>

#include "reference_model.h"

namespace quindle_test {

class SystemEncoding {
 public:
  SystemEncoding();
  ~SystemEncoding();
  SystemEncoding(const SystemEncoding&) = delete;
  SystemEncoding& operator=(const SystemEncoding&) = delete;

  // The encoding the module should find, said the model's way.
  const ModelEncoding& model() const { return model_; }
  // Characters of more than one byte in it; in a single-byte code page, bytes above 127.
  const std::vector<std::string>& characters() const { return characters_; }
  // Why the encoding a test asked for is not the system's (empty when it is).
  const std::string& missing() const { return missing_; }

 private:
  ModelEncoding model_;
  std::vector<std::string> characters_;
  std::string missing_;
  std::string savedLocale_;
  bool hadLocale_ = false;
};

}  // namespace quindle_test

#endif
