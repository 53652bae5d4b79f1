#include "host/disk/write_target.h"

namespace quindle_host {

bool removePartial(WriteTarget* target, std::string* error) {
  closeDiskFolder(&target->partial);
  if (!target->partialMade) return true;
  if (!removeFolderIn(*target, target->partialName, error)) return false;
  target->partialMade = false;
  return true;
}

}  // namespace quindle_host
