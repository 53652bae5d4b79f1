// The Linux settings store failing under the module: a folder that is gone, read-only, or not a
// folder at all, and writers killed in the middle of storing.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filter/module_state.h"
#include "platform/settings_store.h"
#include "module_exports.h"
#include "restricted_access.h"
#include "silent_cycle.h"
#include "test_host.h"
#include "test_settings.h"

namespace quindle {
namespace {

using namespace quindle_test;

FileFilterSettingsKey keyOf(int fd) {
  return reinterpret_cast<FileFilterSettingsKey>(static_cast<intptr_t>(fd));
}

// A key whose values cannot be read: the module starts from the defaults.
void expectDefaultsFrom(FileFilterSettingsKey key, const char* what) {
  const FilterPrefs read = runSilentCycle(key, what);
  EXPECT_EQ(read.dirLevels, 2) << what;
  EXPECT_EQ(read.maxFiles, 100u) << what;
}

TEST(SettingsFaults, AFolderThatIsGoneOrIsNoFolderLeavesTheDefaults) {
  char folder[] = "/tmp/quindle-gone-XXXXXX";
  ASSERT_NE(::mkdtemp(folder), nullptr);
  const int gone = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_EQ(::rmdir(folder), 0);
  expectDefaultsFrom(keyOf(gone), "a folder deleted after it was opened");
  EXPECT_NE(::access(folder, F_OK), 0) << "nothing brought the folder back";
  ::close(gone);

  char file[] = "/tmp/quindle-file-XXXXXX";
  const int notAFolder = ::mkstemp(file);
  ASSERT_GE(notAFolder, 0);
  expectDefaultsFrom(keyOf(notAFolder), "a plain file's descriptor");
  struct stat info;
  ASSERT_EQ(::fstat(notAFolder, &info), 0);
  EXPECT_EQ(info.st_size, 0) << "the file is untouched";
  ::close(notAFolder);
  ::unlink(file);

  const int closed = ::dup(0);
  ::close(closed);
  expectDefaultsFrom(keyOf(closed), "a closed descriptor");
  expectDefaultsFrom(keyOf(-1), "descriptor -1");
}

FilterPrefs patternPrefs(unsigned char fill) {
  FilterPrefs prefs;
  std::memset(&prefs, fill, sizeof prefs);
  prefs.dictionaryPath[sizeof prefs.dictionaryPath - 1] = '\0';  // as initialize leaves a path
  return prefs;
}

std::string imageOf(const void* record, size_t size) {
  return std::string(static_cast<const char*>(record), size);
}

// Stores `prefs` and a position made of `fill` through the exports.
void storeThroughTheModule(FileFilterSettingsKey key, const FilterPrefs& prefs,
                           unsigned char fill) {
  FileFilterInfo info = hostInfoFor(key);
  if (FileFilterInitialize(&info) != 1) return;
  *info.userData = prefs;
  std::memset(&moduleState().dialogPosition, fill, sizeof moduleState().dialogPosition);
  FileFilterUninitialize(&info);
}

struct ReadOnlyRun {
  FileFilterSettingsKey key;
  FilterPrefs stored;
};

// Reads the stored settings, works, and fails to store new ones, without a word.
bool cycleOnAReadOnlyFolder(void* raw) {
  const ReadOnlyRun& run = *static_cast<ReadOnlyRun*>(raw);
  FileFilterInfo info = hostInfoFor(run.key);
  if (FileFilterInitialize(&info) != 1) return false;
  bool ok = std::memcmp(info.userData, &run.stored, sizeof run.stored) == 0;
  info.userData->enabled = 1;
  info.userData->maxFiles = 20;
  char title[32];
  FileDirectory* root = FileFilterExecute(&info, nullptr, title, sizeof title);
  std::string problem;
  describeTree(root, &problem);
  ok = ok && root && problem.empty();
  freeTree(root);
  moduleState().dialogPosition = {5, 5};
  FileFilterUninitialize(&info);
  return ok;
}

TEST(SettingsFaults, AReadOnlyFolderKeepsItsValuesAndTheModuleWorksOn) {
  SettingsKey settings = createTestSettingsKey();
  ReadOnlyRun run{settings.key, patternPrefs(0x11)};
  storeThroughTheModule(settings.key, run.stored, 0x11);
  for (const char* name : {"prefs", "position"}) {
    ::chmod((settings.where + "/" + name).c_str(), 0444);
  }
  ::chmod(settings.where.c_str(), 0555);
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(runUnprivileged(cycleOnAReadOnlyFolder, &run));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  std::string bytes;
  ASSERT_TRUE(readRawValue(settings, "prefs", &bytes));
  EXPECT_EQ(bytes, imageOf(&run.stored, sizeof run.stored)) << "the old value stays";
  EXPECT_EQ(folderNames(settings.where).size(), 2u) << "no temporary was left";
  ::chmod(settings.where.c_str(), 0700);
  removeTestSettingsKey(settings);
}

// Whether `process` sleeps inside openat, as opening a FIFO with no reader does.
bool sleepsInOpen(pid_t process) {
  const std::string proc = "/proc/" + std::to_string(process);
  long call = -1;
  char state = 0;
  std::FILE* syscall = std::fopen((proc + "/syscall").c_str(), "r");
  if (syscall) {
    if (std::fscanf(syscall, "%ld", &call) != 1) call = -1;
    std::fclose(syscall);
  }
  std::FILE* stat = std::fopen((proc + "/stat").c_str(), "r");
  if (stat) {
    if (std::fscanf(stat, "%*d (%*[^)]) %c", &state) != 1) state = 0;
    std::fclose(stat);
  }
  return call == SYS_openat && state == 'S';
}

// A writer stopped inside its write and killed there leaves the old value. The stop is the test's
// own doing, not a lucky moment: the writer's temporary is made a FIFO before it starts, so
// opening it waits for a reader that never comes, and the test waits until the writer sleeps
// there. A writer that never opens a temporary (one that writes the value in place) finishes
// instead, and fails here for that very reason.
TEST(SettingsFaults, AWriterKilledInsideItsWriteLeavesTheOldValue) {
  SettingsKey settings = createFastTestSettingsKey();
  const FilterPrefs oldPrefs = patternPrefs(0x11), newPrefs = patternPrefs(0x22);
  storeThroughTheModule(settings.key, oldPrefs, 0x11);
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    char start;
    if (::read(go[0], &start, 1) == 1) {
      writeStoredValue(settings.key, "prefs", &newPrefs, sizeof newPrefs);
    }
    ::_exit(0);
  }
  const std::string temporary = settings.where + "/.prefs." + std::to_string(child) + ".tmp";
  ASSERT_EQ(::mkfifo(temporary.c_str(), 0600), 0);
  ASSERT_EQ(::write(go[1], "g", 1), 1);
  bool finished = false;
  while (!(finished = ::waitpid(child, nullptr, WNOHANG) == child) && !sleepsInOpen(child)) {
    ::usleep(1000);
  }
  ::close(go[0]);
  ::close(go[1]);
  ASSERT_FALSE(finished) << "the writer never opened its temporary: it wrote the value in place";
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  std::string stored;
  ASSERT_TRUE(readRawValue(settings, "prefs", &stored));
  EXPECT_EQ(stored, imageOf(&oldPrefs, sizeof oldPrefs)) << "a killed write changed the value";
  // The next writer clears the temporary the killed one left.
  storeThroughTheModule(settings.key, newPrefs, 0x22);
  EXPECT_EQ(folderNames(settings.where).size(), 2u);
  removeTestSettingsKey(settings);
}

// Children store two different settings in turn, over and over, and are killed at random
// moments: each value read afterwards is whole, either the one or the other.
TEST(SettingsFaults, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewValue) {
  SettingsKey settings = createFastTestSettingsKey();
  const FilterPrefs prefsA = patternPrefs(0x11), prefsB = patternPrefs(0x22);
  const DialogPosition positionA = {0x11111111, 0x11111111}, positionB = {0x22222222, 0x22222222};
  storeThroughTheModule(settings.key, prefsA, 0x11);
  std::mt19937 random(7);
  int midWrite = 0, seenA = 0, seenB = 0;
  constexpr int kKills = 300;
  for (int kill = 0; kill < kKills && !::testing::Test::HasFailure(); ++kill) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (unsigned round = 0;; ++round) {
        const bool a = round % 2 == 0;
        storeThroughTheModule(settings.key, a ? prefsA : prefsB, a ? 0x11 : 0x22);
      }
    }
    ::usleep(random() % 3000);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    std::string prefs, position;
    ASSERT_TRUE(readRawValue(settings, "prefs", &prefs));
    ASSERT_TRUE(readRawValue(settings, "position", &position));
    const bool prefsIsA = prefs == imageOf(&prefsA, sizeof prefsA);
    ASSERT_TRUE(prefsIsA || prefs == imageOf(&prefsB, sizeof prefsB)) << "torn after kill " << kill;
    ASSERT_TRUE(position == imageOf(&positionA, 8) || position == imageOf(&positionB, 8))
        << "torn after kill " << kill;
    (prefsIsA ? seenA : seenB)++;
    if (folderNames(settings.where).size() > 2) ++midWrite;
  }
  std::printf("[ figures  ] %d kills: prefs A %d times, B %d times; %d left a temporary\n",
              kKills, seenA, seenB, midWrite);
  // The next write clears what the killed writers left.
  storeThroughTheModule(settings.key, prefsB, 0x22);
  EXPECT_EQ(folderNames(settings.where).size(), 2u);
  removeTestSettingsKey(settings);
}

}  // namespace
}  // namespace quindle
