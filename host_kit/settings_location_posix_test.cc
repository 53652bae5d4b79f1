// The settings place on Linux: the folders a host makes for it are the user's alone, and its key
// is a real descriptor whatever the host's standard streams are.
#include "host_kit/settings_location.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "temp_file.h"

namespace quindle_host_kit {
namespace {

mode_t permissionsOf(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

TEST(SettingsLocation, FoldersMadeForTheSettingsAreTheUsersAlone) {
  quindle_test::TempPath top;
  const std::string place = top.path + "/config/quindle-host/Quindle";
  const mode_t mask = ::umask(0);  // the folders' own mode, whatever the caller's umask lets through
  SettingsKey settings;
  std::string error;
  const bool opened = openSettingsKey(place, SettingsAccess::change, nullptr, &settings, &error);
  ::umask(mask);
  ASSERT_TRUE(opened) << error;
  closeSettingsKey(&settings);
  for (const std::string& folder : {top.path, top.path + "/config", top.path + "/config/quindle-host", place}) {
    EXPECT_EQ(permissionsOf(folder), 0700u) << folder;
  }
}

// A host started with its standard input closed (`0<&-`) would otherwise get the folder as
// descriptor 0, which reads as no key at all: the stored settings would be lost at the next write.
TEST(SettingsLocation, TheKeyIsNeverAStandardStreamsDescriptor) {
  quindle_test::TempPath place;
  std::filesystem::create_directory(place.path);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(0);
    ::close(1);
    ::close(2);
    SettingsKey settings;
    std::string error;
    if (!openSettingsKey(place.path, SettingsAccess::change, nullptr, &settings, &error)) ::_exit(1);
    const int fd = static_cast<int>(reinterpret_cast<intptr_t>(settings.key));
    const char value[] = "kept";
    const bool written = fd > 2 && quindle::writeStoredValue(settings.key, "value", value, 4).written;
    ::_exit(written ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_TRUE(std::filesystem::is_regular_file(place.path + "/value"));
}

}  // namespace
}  // namespace quindle_host_kit
