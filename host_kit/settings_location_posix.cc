#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host_kit/settings_location.h"

namespace quindle_host_kit {

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

// A file system without locks (some network ones) leaves the host unguarded rather than stuck.
void holdFolder(int fd, void (*onWait)()) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) return;
  if (onWait) onWait();
  while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
}

}  // namespace

bool openSettingsKey(const std::string& chosen, SettingsAccess access, void (*onWait)(),
                     SettingsKey* settings, std::string* error) {
  std::string folder = chosen;
  if (folder.empty() && !defaultFolder(&folder, error)) return false;
  settings->where = folder;
  if (access == SettingsAccess::look && ::access(folder.c_str(), F_OK) != 0 && errno == ENOENT) {
    return true;
  }
  if (access == SettingsAccess::change && !makeFolders(folder, error)) return false;
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0 && fd < 3) {
    // With a standard stream closed the folder could get descriptor 0, which is the null key.
    const int above = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    fd = above;
  }
  if (fd < 0) {
    *error = "cannot open the settings folder " + folder + ": " + std::strerror(errno);
    return false;
  }
  holdFolder(fd, onWait);
  settings->key = reinterpret_cast<FileFilterSettingsKey>(static_cast<intptr_t>(fd));
  return true;
}

void closeSettingsKey(SettingsKey* settings) {
  // Closing the descriptor lets the lock go.
  if (settings->key) ::close(static_cast<int>(reinterpret_cast<intptr_t>(settings->key)));
  *settings = SettingsKey();
}

}  // namespace quindle_host_kit
