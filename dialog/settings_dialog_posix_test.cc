// The terminal form reached through the export, on a real pseudo-terminal, and without one.
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "dialog/settings_dialog.h"
#include "temp_file.h"
#include "test_host.h"

namespace quindle {
namespace {

struct Outcome {
  int result = -2;
  FilterPrefs prefs;
};

// Runs the settings window in a child process whose controlling terminal is a new pseudo-terminal
// (or, when `typed` is null, a child with no terminal at all), answering with `typed`.
Outcome runInChild(const char* typed) {
  int report[2];
  if (pipe(report) != 0) return Outcome();
  int terminal = -1;
  const pid_t child = typed ? forkpty(&terminal, nullptr, nullptr, nullptr) : fork();
  if (child == 0) {
    // A form still waiting for an answer after this long ends the child: the test fails, no hang.
    alarm(10);
    if (!typed) setsid();
    Outcome outcome;
    std::memset(&outcome.prefs, 0, sizeof outcome.prefs);
    outcome.prefs.dirLevels = 2;
    outcome.prefs.maxFiles = 100;
    FileFilterInfo info = quindle_test::hostInfoFor(nullptr);
    info.userData = &outcome.prefs;
    DialogPosition position = {0, 0};
    ModuleHeap heap;
    outcome.result = showSettingsDialog(&info, nullptr, {nullptr, &position, &heap});
    ssize_t ignored = write(report[1], &outcome, sizeof outcome);
    (void)ignored;
    _exit(0);
  }
  close(report[1]);
  if (typed) {
    ssize_t ignored = write(terminal, typed, std::strlen(typed));
    (void)ignored;
  }
  Outcome outcome;
  if (read(report[0], &outcome, sizeof outcome) != static_cast<ssize_t>(sizeof outcome)) {
    outcome.result = -2;
  }
  close(report[0]);
  if (terminal >= 0) close(terminal);
  waitpid(child, nullptr, 0);
  return outcome;
}

TEST(TerminalSettingsWindow, TypedAnswersOnTheTerminalGiveTheDialogsResult) {
  const quindle_test::TempPath words;
  quindle_test::writeFileBytes(words.path, "one\n");
  const std::string typed = "y\n-3\n0\n12\n" + words.path + "\no\n";
  const Outcome ok = runInChild(typed.c_str());
  ASSERT_EQ(ok.result, 1);
  EXPECT_EQ(ok.prefs.enabled, 1u);
  EXPECT_EQ(ok.prefs.dirLevels, 0) << "-3 is refused and asked again";
  EXPECT_EQ(ok.prefs.maxFiles, 12u);
  EXPECT_EQ(ok.prefs.dictionaryPath, std::filesystem::canonical(words.path).string());
}

TEST(TerminalSettingsWindow, WithoutATerminalNoWindowCanBeShown) {
  EXPECT_EQ(runInChild(nullptr).result, -1);
}

}  // namespace
}  // namespace quindle
