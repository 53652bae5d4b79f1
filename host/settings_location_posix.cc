#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/settings_location.h"

namespace quindle_host {

const char kSettingsOption[] = "--settings";
const char kSettingsOptionValue[] = "DIR";
const char kDefaultSettingsPlace[] = "${XDG_CONFIG_HOME:-~/.config}/quindle-host/Quindle";

namespace {

// XDG_CONFIG_HOME counts only when it is an absolute path.
bool defaultFolder(std::string* folder, std::string* error) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') {
    *folder = std::string(config) + "/quindle-host/Quindle";
    return true;
  }
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    *error = "neither XDG_CONFIG_HOME nor HOME is set; choose a folder with --settings DIR";
    return false;
  }
  *folder = std::string(home) + "/.config/quindle-host/Quindle";
  return true;
}

bool makeFolders(const std::string& path, std::string* error) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string prefix = path.substr(0, slash);
    if (!prefix.empty() && ::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
      *error = "cannot create " + prefix + ": " + std::strerror(errno);
      return false;
    }
    if (slash == std::string::npos) return true;
  }
}

}  // namespace

bool openSettingsKey(const std::string& chosen, SettingsKey* settings, std::string* error) {
  std::string folder = chosen;
  if (folder.empty() && !defaultFolder(&folder, error)) return false;
  if (!makeFolders(folder, error)) return false;
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    *error = "cannot open the settings folder " + folder + ": " + std::strerror(errno);
    return false;
  }
  settings->key = reinterpret_cast<FileFilterSettingsKey>(static_cast<intptr_t>(fd));
  settings->where = folder;
  return true;
}

void closeSettingsKey(SettingsKey* settings) {
  ::close(static_cast<int>(reinterpret_cast<intptr_t>(settings->key)));
  *settings = SettingsKey();
}

}  // namespace quindle_host
