#include "dialog/terminal_form.h"

#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace quindle {
namespace {

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
  const std::string inPath = (folder / ("quindle-form-in-" + test)).string();
  const std::string outPath = (folder / ("quindle-form-out-" + test)).string();
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

TEST(TerminalForm, OkStoresWhatWasTypedReadByTheDialogRule) {
  const FormRun run = runForm(startingPrefs(), "y\n-3\n12abc\n\no\n");
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(run.prefs.enabled, 1u);
  EXPECT_EQ(run.prefs.dirLevels, 0);
  EXPECT_EQ(run.prefs.maxFiles, 12u);
  EXPECT_STREQ(run.prefs.dictionaryPath, "old.txt");
  EXPECT_EQ(run.prefs.lineCount, 40) << "no new dictionary, no recount";
  EXPECT_NE(run.shown.find("Directory Levels [2]"), std::string::npos) << run.shown;
}

TEST(TerminalForm, EmptyAnswersKeepWhatTheFieldsShow) {
  FilterPrefs start = startingPrefs();
  start.enabled = 1;
  start.dirLevels = -4;
  const FormRun run = runForm(start, "\n\n\n\nO\n");
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(std::memcmp(&run.prefs, &start, sizeof start), 0);
  EXPECT_NE(run.shown.find("[4294967292]"), std::string::npos) << "levels shown unsigned";
}

TEST(TerminalForm, CancelKeepsTheNumbersButAChosenDictionaryStays) {
  const FormRun run = runForm(startingPrefs(), "y\n9\n9\n/tmp/new words.txt\nc\n");
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(run.prefs.enabled, 0u);
  EXPECT_EQ(run.prefs.dirLevels, 2);
  EXPECT_EQ(run.prefs.maxFiles, 100u);
  EXPECT_STREQ(run.prefs.dictionaryPath, "/tmp/new words.txt");
  EXPECT_EQ(run.prefs.lineCount, 0) << "a chosen file is counted afresh";
}

TEST(TerminalForm, EndOfInputIsCancelAndALongPathIsRefused) {
  const FormRun ended = runForm(startingPrefs(), "y\n7\n");
  EXPECT_EQ(ended.result, 0);
  EXPECT_EQ(ended.prefs.dirLevels, 2);

  const FormRun tooLong = runForm(startingPrefs(), "\n\n\n" + std::string(300, 'p') + "\no\n");
  EXPECT_EQ(tooLong.result, 1);
  EXPECT_STREQ(tooLong.prefs.dictionaryPath, "old.txt");
  EXPECT_EQ(tooLong.prefs.lineCount, 40);
}

}  // namespace
}  // namespace quindle
