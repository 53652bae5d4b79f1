#include <locale.h>
#include <stdlib.h>

#include "system_encoding.h"

namespace quindle_test {

SystemEncoding::SystemEncoding() {
  const char* locale = getenv("LC_ALL");
  hadLocale_ = locale != nullptr;
  if (hadLocale_) savedLocale_ = locale;
  setenv("LC_ALL", "C.UTF-8", 1);
  const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  if (!utf8) {
    missing_ = "the C library has no C.UTF-8 locale";
    return;
  }
  freelocale(utf8);
  model_.kind = ModelEncoding::utf8;
  characters_ = {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};  // é, €, an emoji
}

SystemEncoding::~SystemEncoding() {
  if (hadLocale_) {
    setenv("LC_ALL", savedLocale_.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
}

}  // namespace quindle_test
