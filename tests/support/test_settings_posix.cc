#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "test_settings.h"

namespace quindle_test {

namespace {

SettingsKey createKeyIn(const std::string& parent) {
  std::string pattern = parent + "/quindle-settings-XXXXXX";
  SettingsKey result;
  if (!::mkdtemp(&pattern[0])) return result;
  result.where = pattern;
  const int fd = ::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  result.key = reinterpret_cast<FileFilterSettingsKey>(static_cast<intptr_t>(fd));
  return result;
}

}  // namespace

SettingsKey createTestSettingsKey() {
  const char* tmp = std::getenv("TMPDIR");
  return createKeyIn(tmp && *tmp ? tmp : "/tmp");
}

SettingsKey createFastTestSettingsKey() {
  if (::access("/dev/shm", W_OK) == 0) return createKeyIn("/dev/shm");
  return createTestSettingsKey();
}

void removeTestSettingsKey(SettingsKey& key) {
  ::close(static_cast<int>(reinterpret_cast<intptr_t>(key.key)));
  // Tests leave folders and links in a value's place too; links are removed, never followed.
  std::error_code ignored;
  std::filesystem::remove_all(key.where, ignored);
  key = SettingsKey();
}

bool readRawValue(const SettingsKey& key, const char* name, std::string* bytes) {
  std::ifstream in(key.where + "/" + name, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

std::vector<std::string> folderNames(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
  }
  return names;
}

}  // namespace quindle_test
