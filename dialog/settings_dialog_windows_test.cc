// The real dialog, driven from a second thread as a user would drive it: find it by its caption,
// read and click its controls, type into its fields, close it every way a user can.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "dialog/dialog_resources.h"
#include "dialog/dialog_rules.h"
#include "filter/module_state.h"
#include "module_exports.h"
#include "test_host.h"
#include "test_settings.h"

namespace quindle {
namespace {

using namespace quindle_test;

constexpr int kGoverned[] = {IDC_LEVELS_LABEL, IDC_MAXFILES_LABEL, IDC_LEVELS, IDC_MAXFILES,
                             IDC_DICTIONARY};

struct WindowSearch {
  const char* caption;
  HWND found;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM raw) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(raw);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[64] = {}, caption[256] = {};
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, caption, sizeof caption);
  if (process == GetCurrentProcessId() && std::strcmp(className, "#32770") == 0 &&
      std::strcmp(caption, search->caption) == 0 && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// Generous waits: under emulation the first dialog of a process takes many seconds to appear.
constexpr int kPatienceMs = 120000;

// Our own process only: parallel tests share one desktop.
HWND waitForDialog(const char* caption) {
  for (int waited = 0; waited < kPatienceMs; waited += 10) {
    WindowSearch search{caption, nullptr};
    EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(10);
  }
  return nullptr;
}

bool waitUntilGone(HWND window) {
  for (int waited = 0; waited < kPatienceMs && IsWindow(window); waited += 10) Sleep(10);
  return !IsWindow(window);
}

BOOL CALLBACK cancelOurDialog(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (process == GetCurrentProcessId() && std::strcmp(className, "#32770") == 0) {
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  }
  return TRUE;
}

std::string fieldText(HWND dialog, int id) {
  char text[256] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void type(HWND dialog, int id, const char* text) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// Clicks that end the dialog or open a nested modal loop must not wait for it.
void clickAndGoOn(HWND dialog, int id) { SendNotifyMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
void click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool governedEnabled(HWND dialog, bool expected) {
  for (int id : kGoverned) {
    if ((IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE) != expected) return false;
  }
  return true;
}

DialogPosition topLeft(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return {rect.left, rect.top};
}

class SettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    settings = createTestSettingsKey();
    info = hostInfoFor(settings.key);
    ASSERT_EQ(FileFilterInitialize(&info), 1);
    moduleState().dialogPosition = {0, 0};
    owner = CreateWindowExA(0, "STATIC", "Quindle test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            100, 120, 400, 300, nullptr, nullptr, GetModuleHandleA(nullptr),
                            nullptr);
    ASSERT_NE(owner, nullptr);
  }
  void TearDown() override {
    DestroyWindow(owner);
    FileFilterUninitialize(&info);
    removeTestSettingsKey(settings);
  }

  FilterPrefs& prefs() { return *info.userData; }

  // Opens the dialog on this thread while `user` acts on it from another; returns the end code.
  // Whatever the user script does, every dialog of ours is cancelled in the end, so a failing
  // test reports instead of hanging in a modal loop.
  int runDialog(const std::function<void(HWND)>& user) {
    std::atomic<bool> returned{false};
    bool found = false, closedByUser = false;
    std::thread driver([&] {
      HWND dialog = waitForDialog("Quindle");
      if (dialog) {
        found = true;
        opened = topLeft(dialog);
        user(dialog);
        closedByUser = waitUntilGone(dialog);
      }
      while (!returned) {
        EnumWindows(cancelOurDialog, 0);
        Sleep(200);
      }
    });
    const int result = FileFilterUserInterface(&info, owner);
    returned = true;
    driver.join();
    EXPECT_TRUE(found) << "the dialog did not appear";
    EXPECT_TRUE(closedByUser) << "the dialog did not close as the user asked";
    return result;
  }

  SettingsKey settings;
  FileFilterInfo info;
  HWND owner = nullptr;
  DialogPosition opened = {0, 0};
};

TEST_F(SettingsDialog, ShowsThePreferencesAndTheEnableBoxGovernsTheControls) {
  prefs().dirLevels = -1;
  prefs().maxFiles = 37;
  bool atOpening = false, afterFirstClick = false, afterSecondClick = false;
  std::string levelsShown, filesShown;
  EXPECT_EQ(runDialog([&](HWND dialog) {
              levelsShown = fieldText(dialog, IDC_LEVELS);
              filesShown = fieldText(dialog, IDC_MAXFILES);
              atOpening = governedEnabled(dialog, false) &&
                          IsDlgButtonChecked(dialog, IDC_ENABLE) == BST_UNCHECKED;
              click(dialog, IDC_ENABLE);
              afterFirstClick = governedEnabled(dialog, true);
              click(dialog, IDC_ENABLE);
              afterSecondClick = governedEnabled(dialog, false);
              clickAndGoOn(dialog, IDCANCEL);
            }),
            0);
  EXPECT_EQ(levelsShown, "4294967295") << "levels are shown as an unsigned number";
  EXPECT_EQ(filesShown, "37");
  EXPECT_TRUE(atOpening);
  EXPECT_TRUE(afterFirstClick);
  EXPECT_TRUE(afterSecondClick);

  prefs().enabled = 1;
  bool enabledAtOpening = false;
  runDialog([&](HWND dialog) {
    enabledAtOpening = governedEnabled(dialog, true) &&
                       IsDlgButtonChecked(dialog, IDC_ENABLE) == BST_CHECKED;
    clickAndGoOn(dialog, IDCANCEL);
  });
  EXPECT_TRUE(enabledAtOpening);
}

TEST_F(SettingsDialog, OkStoresTheBoxAndTheNumbersReadByOurRule) {
  EXPECT_EQ(runDialog([](HWND dialog) {
              click(dialog, IDC_ENABLE);
              type(dialog, IDC_LEVELS, "-3");
              type(dialog, IDC_MAXFILES, "abc");
              clickAndGoOn(dialog, IDOK);
            }),
            1);
  EXPECT_EQ(prefs().enabled, 1u);
  EXPECT_EQ(prefs().dirLevels, 0) << "'-3' reads as 0 on every platform";
  EXPECT_EQ(prefs().maxFiles, 0u);

  runDialog([](HWND dialog) {
    type(dialog, IDC_LEVELS, " 2147483648");
    type(dialog, IDC_MAXFILES, "12abc");
    clickAndGoOn(dialog, IDOK);
  });
  EXPECT_EQ(prefs().dirLevels, INT32_MIN);
  EXPECT_EQ(prefs().maxFiles, 12u);

  // With the box cleared the disabled fields still count.
  prefs().enabled = 0;
  prefs().dirLevels = -1;
  prefs().maxFiles = 7;
  EXPECT_EQ(runDialog([](HWND dialog) { clickAndGoOn(dialog, IDOK); }), 1);
  EXPECT_EQ(prefs().enabled, 0u);
  EXPECT_EQ(prefs().dirLevels, -1);
  EXPECT_EQ(prefs().maxFiles, 7u);
}

TEST_F(SettingsDialog, CancelEscapeAndTheCloseBoxKeepEverything) {
  const FilterPrefs before = prefs();
  const std::function<void(HWND)> closers[] = {
      [](HWND dialog) { clickAndGoOn(dialog, IDCANCEL); },
      [](HWND dialog) { PostMessageA(GetDlgItem(dialog, IDC_ENABLE), WM_KEYDOWN, VK_ESCAPE, 0); },
      [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
  };
  for (const auto& close : closers) {
    EXPECT_EQ(runDialog([&](HWND dialog) {
                click(dialog, IDC_ENABLE);
                type(dialog, IDC_LEVELS, "9");
                type(dialog, IDC_MAXFILES, "9");
                close(dialog);
              }),
              0);
    EXPECT_EQ(std::memcmp(&prefs(), &before, sizeof before), 0);
  }
}

TEST_F(SettingsDialog, TheChooserTakesATypedPathEvenWhenTheDialogIsCancelled) {
  std::strcpy(prefs().dictionaryPath, "old.txt");
  prefs().lineCount = 40;
  const std::string wanted = (std::filesystem::temp_directory_path() / "no-such-words.txt").string();

  // A cancelled chooser changes nothing.
  runDialog([&](HWND dialog) {
    clickAndGoOn(dialog, IDC_DICTIONARY);
    HWND chooser = waitForDialog("Choose Dictionary File...");
    ASSERT_NE(chooser, nullptr);
    SendNotifyMessageA(GetDlgItem(chooser, IDCANCEL), BM_CLICK, 0, 0);
    waitUntilGone(chooser);
    clickAndGoOn(dialog, IDCANCEL);
  });
  EXPECT_STREQ(prefs().dictionaryPath, "old.txt");
  EXPECT_EQ(prefs().lineCount, 40);

  // A file that does not exist, in a folder that does, is accepted.
  EXPECT_EQ(runDialog([&](HWND dialog) {
              clickAndGoOn(dialog, IDC_DICTIONARY);
              HWND chooser = waitForDialog("Choose Dictionary File...");
              ASSERT_NE(chooser, nullptr);
              SendMessageA(GetDlgItem(chooser, 0x47C), WM_SETTEXT, 0,
                           reinterpret_cast<LPARAM>(wanted.c_str()));
              SendNotifyMessageA(GetDlgItem(chooser, IDOK), BM_CLICK, 0, 0);
              waitUntilGone(chooser);
              clickAndGoOn(dialog, IDCANCEL);
            }),
            0);
  EXPECT_EQ(lstrcmpiA(prefs().dictionaryPath, wanted.c_str()), 0) << prefs().dictionaryPath;
  EXPECT_EQ(prefs().lineCount, 0) << "a chosen file is counted afresh";

  // A real file chosen, then Cancel: the next listing counts and uses it.
  const std::string words = (std::filesystem::temp_directory_path() / "chosen-words.txt").string();
  std::FILE* file = std::fopen(words.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("one\ntwo\nthree\n", file);
  std::fclose(file);
  runDialog([&](HWND dialog) {
    clickAndGoOn(dialog, IDC_DICTIONARY);
    HWND chooser = waitForDialog("Choose Dictionary File...");
    ASSERT_NE(chooser, nullptr);
    SendMessageA(GetDlgItem(chooser, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(words.c_str()));
    SendNotifyMessageA(GetDlgItem(chooser, IDOK), BM_CLICK, 0, 0);
    waitUntilGone(chooser);
    clickAndGoOn(dialog, IDCANCEL);
  });
  prefs().enabled = 1;
  char title[64];
  freeTree(FileFilterExecute(&info, nullptr, title, sizeof title));
  EXPECT_EQ(prefs().lineCount, 3);
  std::remove(words.c_str());
}

TEST_F(SettingsDialog, OpensCentredOnItsOwnerWhileNoPositionIsKnown) {
  RECT ownerRect;
  GetWindowRect(owner, &ownerRect);
  DialogPosition expected = {0, 0};
  runDialog([&](HWND dialog) {
    RECT rect;
    GetWindowRect(dialog, &rect);
    expected = centredOn({ownerRect.left, ownerRect.top, ownerRect.right, ownerRect.bottom},
                         {rect.left, rect.top, rect.right, rect.bottom});
    // Moved to the screen's left edge: x = 0 means no position next time.
    SetWindowPos(dialog, HWND_TOP, 0, 300, 0, 0, SWP_NOSIZE);
    clickAndGoOn(dialog, IDOK);
  });
  EXPECT_EQ(opened.x, expected.x);
  EXPECT_EQ(opened.y, expected.y);
  EXPECT_EQ(moduleState().dialogPosition.x, 0);
  EXPECT_EQ(moduleState().dialogPosition.y, 300);

  runDialog([](HWND dialog) { clickAndGoOn(dialog, IDCANCEL); });
  EXPECT_EQ(opened.x, expected.x) << "a zero coordinate reopens centred";
  EXPECT_EQ(opened.y, expected.y);
}

TEST_F(SettingsDialog, AStoredPositionIsBroughtBackOntoTheScreen) {
  moduleState().dialogPosition = {2000, 50};
  runDialog([](HWND dialog) { clickAndGoOn(dialog, IDOK); });
  EXPECT_EQ(opened.x, 924);
  EXPECT_EQ(opened.y, 50);
  EXPECT_EQ(moduleState().dialogPosition.x, 924);
  EXPECT_EQ(moduleState().dialogPosition.y, 50);

  // Left partly beyond the left edge: it comes back at 0, and the time after that, centred.
  moduleState().dialogPosition = {-30, 200};
  runDialog([](HWND dialog) { clickAndGoOn(dialog, IDCANCEL); });
  EXPECT_EQ(opened.x, 0);
  EXPECT_EQ(opened.y, 200);
  runDialog([](HWND dialog) { clickAndGoOn(dialog, IDCANCEL); });
  EXPECT_NE(opened.x, 0);
}

TEST_F(SettingsDialog, APositionSurvivesUninitializeAndInitialize) {
  runDialog([](HWND dialog) {
    SetWindowPos(dialog, HWND_TOP, 300, 250, 0, 0, SWP_NOSIZE);
    clickAndGoOn(dialog, IDOK);
  });
  FileFilterUninitialize(&info);
  moduleState().dialogPosition = {0, 0};
  info = hostInfoFor(settings.key);
  ASSERT_EQ(FileFilterInitialize(&info), 1);
  runDialog([](HWND dialog) { clickAndGoOn(dialog, IDCANCEL); });
  EXPECT_EQ(opened.x, 300);
  EXPECT_EQ(opened.y, 250);
}

}  // namespace
}  // namespace quindle
