// The Linux settings store meeting what people and accidents leave in a value's place: special
// files, which must never block the module, and symbolic links, which must outlive a write.
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "temp_file.h"
#include "test_settings.h"

namespace quindle {
namespace {

using namespace quindle_test;

const std::string kOldValue = "old value";
const std::string kNewValue = "new value";
const std::string kNothingRead(kOldValue.size(), '-');

struct Folders {
  std::string settings;
  std::string elsewhere;  // where the user keeps the real files, a repository say
};

void makeLink(const std::string& text, const std::string& at) {
  ASSERT_EQ(::symlink(text.c_str(), at.c_str()), 0) << at;
}

void makeFifo(const std::string& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0) << at; }

void makeSocket(const std::string& at) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(at.size(), sizeof address.sun_path) << at;
  std::memcpy(address.sun_path, at.c_str(), at.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << at;
  ::close(fd);
}

void makeFolder(const std::string& at) { std::filesystem::create_directories(at); }

mode_t kindOf(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

std::string contentOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string temporariesIn(const std::string& folder) {
  std::string found;
  for (const std::string& name : folderNames(folder)) {
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) found += name + " ";
  }
  return found;
}

struct ChildRun {
  bool finished;     // the child neither blocked nor died
  std::string read;  // the record after reading "prefs"
};

// Reads "prefs", then writes kNewValue over it, in a child process that an alarm stops: a call
// that blocks fails the test instead of hanging the suite. A file size limit below the value's
// size makes the write fail half-way.
ChildRun readThenWrite(FileFilterSettingsKey key, rlim_t fileSizeLimit = RLIM_INFINITY) {
  int report[2];
  if (::pipe(report) != 0) return {false, ""};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(report[0]);
    ::alarm(5);
    char record[16];
    std::memcpy(record, kNothingRead.data(), kNothingRead.size());
    ModuleHeap heap;
    readStoredValue(key, "prefs", record, kNothingRead.size(), heap);
    if (::write(report[1], record, kNothingRead.size()) < 0) ::_exit(1);
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{fileSizeLimit, fileSizeLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    writeStoredValue(key, "prefs", kNewValue.data(), kNewValue.size());
    ::_exit(0);
  }
  ::close(report[1]);
  ChildRun run{false, ""};
  char buffer[64];
  ssize_t got;
  while ((got = ::read(report[0], buffer, sizeof buffer)) > 0) run.read.append(buffer, got);
  ::close(report[0]);
  int status = 0;
  run.finished = child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                 WEXITSTATUS(status) == 0;
  return run;
}

class StoreFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    settings = createTestSettingsKey();
    ASSERT_NE(settings.key, nullptr);
    std::filesystem::create_directory(elsewhere.path);
    folders = {settings.where, elsewhere.path};
    prefs = settings.where + "/prefs";
  }
  void TearDown() override { removeTestSettingsKey(settings); }

  void expectNoTemporaries() {
    EXPECT_EQ(temporariesIn(folders.settings), "");
    EXPECT_EQ(temporariesIn(folders.elsewhere), "");
  }

  SettingsKey settings;
  TempPath elsewhere;
  Folders folders;
  std::string prefs;
};

struct SpecialFile {
  const char* what;
  void (*place)(const Folders&);
  bool replaceable;  // whether a write can put a regular file in its place
};

void PrintTo(const SpecialFile& kind, std::ostream* out) { *out << kind.what; }

class SpecialFileInPlace : public StoreFolders,
                           public ::testing::WithParamInterface<SpecialFile> {};

// Never a value, and never waited on: each reads as absent at once, and the next write puts a
// regular file in its place where a rename can.
TEST_P(SpecialFileInPlace, ReadsAsAbsentAndIsReplacedByTheNextWrite) {
  GetParam().place(folders);
  const mode_t kindBefore = kindOf(prefs);
  const ChildRun run = readThenWrite(settings.key);
  ASSERT_TRUE(run.finished) << "the read or the write blocked";
  EXPECT_EQ(run.read, kNothingRead);
  if (GetParam().replaceable) {
    // Reading what is still a FIFO would wait for a writer: the kind is checked first, or else.
    ASSERT_EQ(kindOf(prefs), static_cast<mode_t>(S_IFREG));
    EXPECT_EQ(contentOf(prefs), kNewValue);
  } else {
    EXPECT_EQ(kindOf(prefs), kindBefore);
    EXPECT_EQ(folderNames(prefs).size(), 1u) << "what the folder holds stays";
  }
  EXPECT_EQ(kindOf("/dev/null"), static_cast<mode_t>(S_IFCHR));
  EXPECT_EQ(kindOf("/dev/zero"), static_cast<mode_t>(S_IFCHR));
  expectNoTemporaries();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SpecialFileInPlace,
    ::testing::Values(
        SpecialFile{"Fifo", [](const Folders& f) { makeFifo(f.settings + "/prefs"); }, true},
        SpecialFile{"Socket", [](const Folders& f) { makeSocket(f.settings + "/prefs"); }, true},
        SpecialFile{"LinkToDevNull",
                    [](const Folders& f) { makeLink("/dev/null", f.settings + "/prefs"); }, true},
        SpecialFile{"LinkToDevZero",
                    [](const Folders& f) { makeLink("/dev/zero", f.settings + "/prefs"); }, true},
        SpecialFile{"EmptyFolder", [](const Folders& f) { makeFolder(f.settings + "/prefs"); },
                    true},
        SpecialFile{"FolderWithAFile",
                    [](const Folders& f) {
                      makeFolder(f.settings + "/prefs");
                      writeFileBytes(f.settings + "/prefs/kept", "kept");
                    },
                    false}),
    [](const ::testing::TestParamInfo<SpecialFile>& kind) { return kind.param.what; });

struct LinkedValue {
  const char* what;
  void (*place)(const Folders&);
  // The regular file the links lead to, null if none: from the settings folder, or from the
  // other folder where it starts with "elsewhere/".
  const char* target;
};

void PrintTo(const LinkedValue& kind, std::ostream* out) { *out << kind.what; }

class LinkInPlace : public StoreFolders, public ::testing::WithParamInterface<LinkedValue> {
 protected:
  std::string targetPath() const {
    const std::string target = GetParam().target;
    return target.rfind("elsewhere/", 0) == 0 ? folders.elsewhere + target.substr(9)
                                              : folders.settings + "/" + target;
  }
};

// A link that ends at a regular file is read through and kept: the write replaces that file.
// Any other link reads as absent and is replaced by a regular file.
TEST_P(LinkInPlace, EndingAtAFileIsReadThroughAndKeptOtherwiseReplaced) {
  GetParam().place(folders);
  if (GetParam().target) writeFileBytes(targetPath(), kOldValue);
  char linkText[4096] = {};
  ASSERT_GT(::readlink(prefs.c_str(), linkText, sizeof linkText - 1), 0);

  const ChildRun run = readThenWrite(settings.key);
  ASSERT_TRUE(run.finished) << "the read or the write blocked";
  if (GetParam().target) {
    EXPECT_EQ(run.read, kOldValue);
    ASSERT_EQ(kindOf(prefs), static_cast<mode_t>(S_IFLNK)) << "the link was replaced";
    char textAfter[4096] = {};
    ASSERT_GT(::readlink(prefs.c_str(), textAfter, sizeof textAfter - 1), 0);
    EXPECT_STREQ(textAfter, linkText);
    ASSERT_EQ(kindOf(targetPath()), static_cast<mode_t>(S_IFREG));
    EXPECT_EQ(contentOf(targetPath()), kNewValue);
  } else {
    EXPECT_EQ(run.read, kNothingRead);
    ASSERT_EQ(kindOf(prefs), static_cast<mode_t>(S_IFREG));
    EXPECT_EQ(contentOf(prefs), kNewValue);
  }
  expectNoTemporaries();
}

// A write through a link that fails half-way (here the file size limit stops it) leaves the old
// value and no temporary in the target's folder.
TEST_F(StoreFolders, AFailedWriteThroughALinkLeavesTheOldValueAndNoTemporary) {
  makeLink(folders.elsewhere + "/real", prefs);
  writeFileBytes(folders.elsewhere + "/real", kOldValue);
  const ChildRun run = readThenWrite(settings.key, 4);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(contentOf(folders.elsewhere + "/real"), kOldValue);
  EXPECT_EQ(kindOf(prefs), static_cast<mode_t>(S_IFLNK));
  expectNoTemporaries();
}

std::string elsewhereName(const Folders& f) {
  return std::filesystem::path(f.elsewhere).filename().string();
}

// A chain of `links` links from prefs to the file elsewhere/real, each in the other folder.
void makeChain(const Folders& f, int links) {
  writeFileBytes(f.elsewhere + "/real", kOldValue);
  std::string at = f.settings + "/prefs";
  for (int i = 1; i < links; ++i) {
    const std::string next = (i % 2 ? f.elsewhere : f.settings) + "/hop" + std::to_string(i);
    makeLink(next, at);
    at = next;
  }
  makeLink(f.elsewhere + "/real", at);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, LinkInPlace,
    ::testing::Values(
        LinkedValue{"Relative", [](const Folders& f) { makeLink("real", f.settings + "/prefs"); },
                    "real"},
        LinkedValue{"Absolute",
                    [](const Folders& f) {
                      makeLink(f.elsewhere + "/real", f.settings + "/prefs");
                    },
                    "elsewhere/real"},
        LinkedValue{"IntoAnotherFolder",
                    [](const Folders& f) {
                      makeLink("../" + elsewhereName(f) + "/real", f.settings + "/prefs");
                    },
                    "elsewhere/real"},
        // The second link's relative text counts from its own folder, not the settings folder.
        LinkedValue{"ChainOfTwo",
                    [](const Folders& f) {
                      makeLink(f.elsewhere + "/hop", f.settings + "/prefs");
                      makeFolder(f.elsewhere + "/sub");
                      makeLink("sub/real", f.elsewhere + "/hop");
                    },
                    "elsewhere/sub/real"},
        // As many links as the system itself follows in a path, and one more, which it refuses.
        LinkedValue{"ChainOfForty", [](const Folders& f) { makeChain(f, 40); }, "elsewhere/real"},
        LinkedValue{"ChainOfFortyOne", [](const Folders& f) { makeChain(f, 41); }, nullptr},
        LinkedValue{"Dangling",
                    [](const Folders& f) { makeLink("missing", f.settings + "/prefs"); },
                    nullptr},
        LinkedValue{"Loop",
                    [](const Folders& f) {
                      makeLink("other", f.settings + "/prefs");
                      makeLink("prefs", f.settings + "/other");
                    },
                    nullptr},
        LinkedValue{"ToAFifo",
                    [](const Folders& f) {
                      makeFifo(f.elsewhere + "/fifo");
                      makeLink(f.elsewhere + "/fifo", f.settings + "/prefs");
                    },
                    nullptr}),
    [](const ::testing::TestParamInfo<LinkedValue>& kind) { return kind.param.what; });

mode_t permissionsOf(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

struct Permissions {
  const char* what;
  bool throughALink;
  mode_t mode;   // of the file the value is in
  bool written;  // a file with no write permission at all is the user's way of saying "keep it"
};

void PrintTo(const Permissions& kind, std::ostream* out) { *out << kind.what; }

class PermissionsOfTheValue : public StoreFolders,
                              public ::testing::WithParamInterface<Permissions> {};

// A write keeps the permissions the user gave the value, and leaves a read-only value alone (the
// tests may run as root, who could write it anyway).
TEST_P(PermissionsOfTheValue, AreKeptAndAReadOnlyValueIsRefused) {
  const Permissions& kind = GetParam();
  const std::string file = kind.throughALink ? folders.elsewhere + "/real" : prefs;
  writeFileBytes(file, kOldValue);
  ASSERT_EQ(::chmod(file.c_str(), kind.mode), 0);
  if (kind.throughALink) makeLink(file, prefs);
  const StoreResult result = writeStoredValue(settings.key, "prefs", kNewValue.data(), kNewValue.size());
  EXPECT_EQ(result.written, kind.written);
  EXPECT_EQ(result.error, kind.written ? 0 : EACCES);
  EXPECT_EQ(contentOf(file), kind.written ? kNewValue : kOldValue);
  EXPECT_EQ(permissionsOf(file), kind.mode);
  EXPECT_EQ(kindOf(prefs), static_cast<mode_t>(kind.throughALink ? S_IFLNK : S_IFREG));
  expectNoTemporaries();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PermissionsOfTheValue,
    ::testing::Values(Permissions{"Private", false, 0600, true},
                      Permissions{"SharedWithTheGroup", false, 0640, true},
                      Permissions{"ReadableByAll", true, 0644, true},
                      Permissions{"ReadOnly", false, 0444, false},
                      Permissions{"ReadOnlyThroughALink", true, 0400, false}),
    [](const ::testing::TestParamInfo<Permissions>& kind) { return kind.param.what; });

// The next writer clears what a writer that died mid-write left, and never the temporary of a
// process still at its own write.
TEST_F(StoreFolders, OnlyTheTemporariesOfDeadProcessesAreCleared) {
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ASSERT_GT(dead, 0);
  ::waitpid(dead, nullptr, 0);
  const std::string ofTheDead = ".prefs." + std::to_string(dead) + ".tmp";
  const std::string ofTheLiving = ".prefs." + std::to_string(::getppid()) + ".tmp";
  writeFileBytes(folders.settings + "/" + ofTheDead, "x");
  writeFileBytes(folders.settings + "/" + ofTheLiving, "x");
  EXPECT_TRUE(writeStoredValue(settings.key, "prefs", kNewValue.data(), kNewValue.size()).written);
  EXPECT_EQ(temporariesIn(folders.settings), ofTheLiving + " ");
  ::unlink((folders.settings + "/" + ofTheLiving).c_str());
}

}  // namespace
}  // namespace quindle
