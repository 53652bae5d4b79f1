#include "dialog/terminal_form.h"

#include <cctype>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "temp_file.h"

namespace quindle {
namespace {

using quindle_test::TempPath;
using quindle_test::writeFileBytes;

struct FormRun {
  int result;
  FilterPrefs prefs;
  std::string shown;
};

FormRun runForm(const FilterPrefs& start, const std::string& typed) {
  FormRun run{0, start, ""};
  // Named files in the temporary folder: tmpfile() is unreliable on some Windows set-ups.
  const auto folder = std::filesystem::temp_directory_path();
  const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::string safe = test;
  for (char& c : safe) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '-';
  const std::string inPath = (folder / ("quindle-form-in-" + safe)).string();
  const std::string outPath = (folder / ("quindle-form-out-" + safe)).string();
  std::FILE* in = std::fopen(inPath.c_str(), "w+b");
  std::FILE* out = std::fopen(outPath.c_str(), "w+b");
  std::fwrite(typed.data(), 1, typed.size(), in);
  std::rewind(in);
  run.result = runTerminalForm(in, out, &run.prefs);
  std::rewind(out);
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, out)) > 0) run.shown.append(buffer, n);
  std::fclose(in);
  std::fclose(out);
  std::remove(inPath.c_str());
  std::remove(outPath.c_str());
  return run;
}

FilterPrefs startingPrefs() {
  FilterPrefs prefs;
  std::memset(&prefs, 0, sizeof prefs);
  prefs.dirLevels = 2;
  prefs.maxFiles = 100;
  std::strcpy(prefs.dictionaryPath, "old.txt");
  prefs.lineCount = 40;
  return prefs;
}

// Below the scratch folder, a usable dictionary whose absolute path does not fit the field.
const std::string kDeepFolder = std::string(120, 'd') + "/" + std::string(120, 'e');

// A folder of files a dictionary answer can name: words.txt, a usable dictionary, and others
// that are not.
struct Scratch {
  TempPath folder;
  std::string words;
  Scratch() {
    std::filesystem::create_directory(folder.path);
    words = folder.path + "/words.txt";
    writeFileBytes(words, "one\ntwo\n");
    std::error_code ignored;  // Windows may refuse so long a path, which is refused all the same
    std::filesystem::create_directories(folder.path + "/" + kDeepFolder, ignored);
    writeFileBytes(folder.path + "/" + kDeepFolder + "/words.txt", "deep\n");
#if !defined(_WIN32)
    ::mkfifo((folder.path + "/fifo").c_str(), 0600);
#endif
  }
  // The path the form stores for `path`: on Linux absolute with links resolved, on Windows as
  // GetFullPathNameA makes it.
  static std::string stored(const std::string& path) {
#if defined(_WIN32)
    return std::filesystem::absolute(path).make_preferred().string();
#else
    return std::filesystem::canonical(path).string();
#endif
  }
};

TEST(TerminalForm, OkStoresTheCheckedAnswers) {
  const Scratch scratch;
  // Relative to the working folder, where there is a way (Windows: not across drives).
  std::string relative =
      std::filesystem::relative(scratch.words, std::filesystem::current_path()).string();
  if (relative.empty()) relative = scratch.words;
  const FormRun run = runForm(startingPrefs(), "y\n007\n12\n" + relative + "\no\n");
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(run.prefs.enabled, 1u);
  EXPECT_EQ(run.prefs.dirLevels, 7);
  EXPECT_EQ(run.prefs.maxFiles, 12u);
  EXPECT_EQ(run.prefs.dictionaryPath, Scratch::stored(scratch.words)) << "made absolute";
  EXPECT_EQ(run.prefs.lineCount, 0) << "a chosen file is counted afresh";
  EXPECT_NE(run.shown.find("Directory Levels [2]: "), std::string::npos) << run.shown;
}

TEST(TerminalForm, EmptyAnswersKeepWhatTheFieldsShow) {
  FilterPrefs start = startingPrefs();
  start.enabled = 1;
  start.dirLevels = 4;
  const FormRun run = runForm(start, "\n\n\n\nO\n");
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(std::memcmp(&run.prefs, &start, sizeof start), 0);
}

// What the stored settings would call damaged is never shown as an answer to keep, nor kept.
TEST(TerminalForm, DamagedStoredValuesShowAndKeepTheDefaults) {
  FilterPrefs start = startingPrefs();
  start.dirLevels = -4;
  start.maxFiles = 0;
  start.lineCount = -5;
  const FormRun run = runForm(start, "\n\n\n\nO\n");
  EXPECT_EQ(run.result, 1);
  EXPECT_NE(run.shown.find("Directory Levels [2]: "), std::string::npos) << run.shown;
  EXPECT_NE(run.shown.find("Max Files [100]: "), std::string::npos) << run.shown;
  EXPECT_EQ(run.prefs.dirLevels, 2);
  EXPECT_EQ(run.prefs.maxFiles, 100u);
  EXPECT_EQ(run.prefs.lineCount, 0) << "counted afresh";
  EXPECT_STREQ(run.prefs.dictionaryPath, start.dictionaryPath);
}

TEST(TerminalForm, CancelKeepsTheNumbersButAChosenOrRemovedDictionaryStays) {
  const Scratch scratch;
  const FormRun chosen = runForm(startingPrefs(), "y\n9\n9\n" + scratch.words + "\nc\n");
  EXPECT_EQ(chosen.result, 0);
  EXPECT_EQ(chosen.prefs.enabled, 0u);
  EXPECT_EQ(chosen.prefs.dirLevels, 2);
  EXPECT_EQ(chosen.prefs.maxFiles, 100u);
  EXPECT_EQ(chosen.prefs.dictionaryPath, Scratch::stored(scratch.words));
  EXPECT_EQ(chosen.prefs.lineCount, 0);

  const FormRun removed = runForm(startingPrefs(), "\n\n\n-\nc\n");
  EXPECT_STREQ(removed.prefs.dictionaryPath, "");
  EXPECT_EQ(removed.prefs.lineCount, 0);
}

TEST(TerminalForm, EndOfInputIsCancelEvenAfterABadAnswer) {
  for (const char* typed : {"y\n7\n", "y\nabc\n", "\n\n\nmissing.txt"}) {
    const FormRun ended = runForm(startingPrefs(), typed);
    EXPECT_EQ(ended.result, 0) << typed;
    EXPECT_EQ(ended.prefs.dirLevels, 2) << typed;
    EXPECT_STREQ(ended.prefs.dictionaryPath, "old.txt") << typed;
  }
}

enum Question { kEnable, kLevels, kMaxFiles, kDictionary, kOkOrCancel, kQuestions };

struct Asked {
  const char* prompt;
  const char* good;  // a good answer; "@" stands for the scratch folder
};
const Asked kAsked[kQuestions] = {
    {"Enable Quindle (y/n) [n]: ", "y"},
    {"Directory Levels [2]: ", "2147483647"},
    {"Max Files [100]: ", "4294967295"},
    {"Dictionary File (- for none) [old.txt]: ", "@/words.txt"},
    {"OK or Cancel (o/c): ", "o"},
};

std::string inScratch(const std::string& answer, const Scratch& scratch) {
  return answer[0] == '@' ? scratch.folder.path + answer.substr(1) : answer;
}

// What the form stores after the good answer to `question` and empty answers elsewhere.
FilterPrefs storedAfterGood(Question question, const Scratch& scratch) {
  FilterPrefs prefs = startingPrefs();
  if (question == kEnable) prefs.enabled = 1;
  if (question == kLevels) prefs.dirLevels = 2147483647;
  if (question == kMaxFiles) prefs.maxFiles = 4294967295u;
  if (question == kDictionary) {
    std::memset(prefs.dictionaryPath, 0, sizeof prefs.dictionaryPath);
    Scratch::stored(scratch.words).copy(prefs.dictionaryPath, sizeof prefs.dictionaryPath - 1);
    prefs.lineCount = 0;
  }
  return prefs;
}

struct BadAnswer {
  const char* what;
  Question question;
  std::string typed;  // "@" stands for the scratch folder
  const char* reason;  // what the reason line says, in part
};

void PrintTo(const BadAnswer& bad, std::ostream* out) { *out << bad.what; }

#if !defined(_WIN32)
// A form that waits on a FIFO for a writer is interrupted after a while (no SA_RESTART), and the
// test fails on the wait instead of hanging.
volatile sig_atomic_t waitedTooLong = 0;
void noteTheWait(int) { waitedTooLong = 1; }

void interruptAfterSeconds(unsigned seconds) {
  struct sigaction interrupt = {};
  interrupt.sa_handler = noteTheWait;
  ::sigaction(SIGALRM, &interrupt, nullptr);
  waitedTooLong = 0;
  ::alarm(seconds);
}
#endif

class TerminalFormBadAnswer : public ::testing::TestWithParam<BadAnswer> {};

// Each bad answer gets a one-line reason and the same question again; the good answer after it
// is stored as if the bad one had never been typed.
TEST_P(TerminalFormBadAnswer, IsExplainedAndTheQuestionAskedAgain) {
  const BadAnswer& bad = GetParam();
  const Scratch scratch;
  std::string typed;
  for (int question = 0; question < kQuestions; ++question) {
    if (question == bad.question) {
      typed += inScratch(bad.typed, scratch) + "\n" + inScratch(kAsked[question].good, scratch) +
               "\n";
    } else {
      typed += question == kOkOrCancel ? "o\n" : "\n";
    }
  }
#if !defined(_WIN32)
  interruptAfterSeconds(5);
#endif
  const FormRun run = runForm(startingPrefs(), typed);
#if !defined(_WIN32)
  ::alarm(0);
  EXPECT_FALSE(waitedTooLong) << "the form waited for a FIFO's writer";
#endif
  EXPECT_EQ(run.result, 1) << run.shown;
  const FilterPrefs expected = storedAfterGood(bad.question, scratch);
  EXPECT_EQ(std::memcmp(&run.prefs, &expected, sizeof expected), 0)
      << "stored " << run.prefs.enabled << " " << run.prefs.dirLevels << " "
      << run.prefs.maxFiles << " " << run.prefs.dictionaryPath << "\n" << run.shown;
  // The question, the reason on one line, the same question again.
  const std::string prompt = kAsked[bad.question].prompt;
  const size_t first = run.shown.find(prompt);
  ASSERT_NE(first, std::string::npos) << run.shown;
  const size_t reason = run.shown.find(bad.reason, first);
  ASSERT_NE(reason, std::string::npos) << run.shown;
  const size_t lineEnd = run.shown.find('\n', first);
  EXPECT_GT(lineEnd, reason) << "the reason is on the answer's line";
  EXPECT_EQ(run.shown.compare(lineEnd + 1, prompt.size(), prompt), 0) << run.shown;
}

const BadAnswer kBadAnswers[] = {
    {"EnableNeitherYesNorNo", kEnable, "maybe", "Type y or n"},
    {"LevelsLetters", kLevels, "abc", "Type a whole number from 0 to 2147483647"},
    {"LevelsNegative", kLevels, "-1", "from 0 to 2147483647"},
    {"LevelsPlusSign", kLevels, "+5", "from 0 to 2147483647"},
    {"LevelsLeadingBlank", kLevels, " 5", "from 0 to 2147483647"},
    {"LevelsSuffix", kLevels, "12abc", "from 0 to 2147483647"},
    {"LevelsPastTheSignedField", kLevels, "2147483648", "from 0 to 2147483647"},
    {"LevelsPast32Bits", kLevels, "99999999999", "from 0 to 2147483647"},
    {"MaxFilesZero", kMaxFiles, "0", "from 1 to 4294967295"},
    {"MaxFilesPast32Bits", kMaxFiles, "4294967296", "from 1 to 4294967295"},
    {"MaxFilesPast64Bits", kMaxFiles, "18446744073709551616", "from 1 to 4294967295"},
    {"MaxFilesMoreThan20Digits", kMaxFiles, "000000000000000000001", "from 1 to 4294967295"},
    {"DictionaryMissing", kDictionary, "@/missing.txt", "cannot be the dictionary"},
    {"DictionaryFolder", kDictionary, "@", "it is a folder"},
    {"DictionaryAbsolutePathTooLong", kDictionary, "@/" + kDeepFolder + "/words.txt",
     "cannot be the dictionary"},
    {"DictionaryLineLongerThanTheFormReads", kDictionary, std::string(2000, 'p'),
     "That answer is too long"},
#if defined(_WIN32)
    {"DictionaryDevice", kDictionary, "NUL", "not a regular file"},
#else
    {"DictionaryDevice", kDictionary, "/dev/zero", "not a regular file"},
    {"DictionaryFifo", kDictionary, "@/fifo", "not a regular file"},
#endif
    {"OkNeitherOkNorCancel", kOkOrCancel, "x", "Type o or c"},
};

INSTANTIATE_TEST_SUITE_P(
    Answers, TerminalFormBadAnswer, ::testing::ValuesIn(kBadAnswers),
    [](const ::testing::TestParamInfo<BadAnswer>& answer) { return answer.param.what; });

struct ShownPath {
  const char* what;
  std::string stored;
  std::string shown;
};

void PrintTo(const ShownPath& path, std::ostream* out) { *out << path.what; }

class TerminalFormShownPath : public ::testing::TestWithParam<ShownPath> {};

// The stored path is shown in the dictionary's question with its control characters as '?': no
// byte of the shown text but the line ends acts on a terminal.
TEST_P(TerminalFormShownPath, ShowsControlsAsQuestionMarks) {
  FilterPrefs start = startingPrefs();
  std::memset(start.dictionaryPath, 0, sizeof start.dictionaryPath);
  GetParam().stored.copy(start.dictionaryPath, sizeof start.dictionaryPath - 1);
  const FormRun run = runForm(start, "\n\n\n\nc\n");
  EXPECT_NE(run.shown.find("Dictionary File (- for none) [" + GetParam().shown + "]: "),
            std::string::npos)
      << run.shown;
  for (size_t i = 0; i < run.shown.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(run.shown[i]);
    const unsigned char next = i + 1 < run.shown.size() ? run.shown[i + 1] : 0;
    ASSERT_FALSE((byte < 0x20 && byte != '\n') || byte == 0x7F ||
                 (byte == 0xC2 && next >= 0x80 && next <= 0x9F))
        << "raw control " << static_cast<int>(byte) << " at " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, TerminalFormShownPath,
    ::testing::Values(ShownPath{"Escape", "/a\x1b[2Jb", "/a?[2Jb"},
                      ShownPath{"BellCarriageReturnNewline", "/a\a\r\nb", "/a???b"},
                      ShownPath{"TabAndDelete", "/a\tb\x7f", "/a?b?"},
                      ShownPath{"C1ControlsInUtf8", "/a\xc2\x9b" "31m\xc2\x85" "b", "/a?31m?b"},
                      ShownPath{"C1AtTheEnd", "/a\xc2\x80", "/a?"},
                      ShownPath{"PrintableUtf8StaysAsItIs", "/caf\xc3\xa9 \xc2\xa0x",
                                "/caf\xc3\xa9 \xc2\xa0x"},
                      ShownPath{"LoneC2StaysAsItIs", "/a\xc2", "/a\xc2"}),
    [](const ::testing::TestParamInfo<ShownPath>& path) { return path.param.what; });

}  // namespace
}  // namespace quindle
