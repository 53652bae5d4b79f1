#include "platform/text_encoding.h"

#include <locale.h>
#include <stdlib.h>

#include <cstring>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace quindle {
namespace {

// The locale variables as a test sets them; null leaves one unset.
struct LocaleCase {
  const char* all;
  const char* ctype;
  const char* lang;
  TextEncodingKind expected;
};

void PrintTo(const LocaleCase& tested, std::ostream* out) {
  *out << "LC_ALL=" << (tested.all ? tested.all : "(unset)") << " LC_CTYPE="
       << (tested.ctype ? tested.ctype : "(unset)") << " LANG=" << (tested.lang ? tested.lang : "(unset)");
}

constexpr const char* kLocaleVariables[] = {"LC_ALL", "LC_CTYPE", "LANG"};

// Sets the locale variables for each case and puts them back afterwards.
class TextEncodingFromTheEnvironment : public ::testing::TestWithParam<LocaleCase> {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      const char* value = getenv(kLocaleVariables[i]);
      had_[i] = value != nullptr;
      saved_[i] = value ? value : "";
    }
  }
  void TearDown() override {
    for (int i = 0; i < 3; ++i) set(kLocaleVariables[i], had_[i] ? saved_[i].c_str() : nullptr);
  }
  static void set(const char* name, const char* value) {
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }

 private:
  bool had_[3] = {};
  std::string saved_[3];
};

// The codeset of the locale the environment names, with LC_ALL before LC_CTYPE before LANG; a
// locale the system does not have, and every codeset but UTF-8, cut by bytes. The process's own
// locale stays "C" whatever the environment says.
TEST_P(TextEncodingFromTheEnvironment, FollowsTheLocaleItNames) {
  const LocaleCase& tested = GetParam();
  set("LC_ALL", tested.all);
  set("LC_CTYPE", tested.ctype);
  set("LANG", tested.lang);
  const std::string before = setlocale(LC_ALL, nullptr);
  EXPECT_EQ(systemTextEncoding().kind, tested.expected);
  EXPECT_EQ(setlocale(LC_ALL, nullptr), before);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, TextEncodingFromTheEnvironment,
    ::testing::Values(LocaleCase{"C.UTF-8", nullptr, nullptr, TextEncodingKind::utf8},
                      LocaleCase{"C", nullptr, "C.UTF-8", TextEncodingKind::singleByte},
                      LocaleCase{nullptr, "C.UTF-8", "C", TextEncodingKind::utf8},
                      LocaleCase{nullptr, nullptr, "C.UTF-8", TextEncodingKind::utf8},
                      LocaleCase{nullptr, nullptr, nullptr, TextEncodingKind::singleByte},
                      LocaleCase{"POSIX", nullptr, nullptr, TextEncodingKind::singleByte},
                      LocaleCase{"xx_NOWHERE.UTF-8", nullptr, nullptr, TextEncodingKind::singleByte}));

}  // namespace
}  // namespace quindle
