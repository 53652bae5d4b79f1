#include "host/disk/disk_names.h"

#include <cstring>

namespace quindle_host {
namespace {

// The bytes no name may hold, as a table: the rule runs for every entry written.
struct RefusedBytes {
  bool refused[256] = {};
  constexpr RefusedBytes() {
    for (int byte = 0; byte < 0x20; ++byte) refused[byte] = true;
    refused[0x7F] = true;
    for (const char* mark = "/\\:*?\"<>|"; *mark; ++mark) {
      refused[static_cast<unsigned char>(*mark)] = true;
    }
  }
};
constexpr RefusedBytes kRefused;

bool refusedByWindows(unsigned char byte) { return kRefused.refused[byte]; }

unsigned char lowerAscii(unsigned char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool equalIgnoringAsciiCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (lowerAscii(static_cast<unsigned char>(*a)) != lowerAscii(static_cast<unsigned char>(*b))) {
      return false;
    }
    if (*a == '\0') return true;
  }
}

// The part before the first dot is what Windows looks at.
bool isDeviceName(const std::string& name) {
  const size_t dot = name.find('.');
  const size_t stem = dot == std::string::npos ? name.size() : dot;
  if (stem != 3 && stem != 4) return false;
  char lower[5] = {};
  for (size_t i = 0; i < stem; ++i) {
    lower[i] = static_cast<char>(lowerAscii(static_cast<unsigned char>(name[i])));
  }
  if (stem == 3) {
    return std::strcmp(lower, "con") == 0 || std::strcmp(lower, "prn") == 0 ||
           std::strcmp(lower, "aux") == 0 || std::strcmp(lower, "nul") == 0;
  }
  return (std::strncmp(lower, "com", 3) == 0 || std::strncmp(lower, "lpt", 3) == 0) &&
         lower[3] >= '1' && lower[3] <= '9';
}

uint64_t hashIgnoringAsciiCase(const char* name) {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (; *name; ++name) {
    hash = (hash ^ lowerAscii(static_cast<unsigned char>(*name))) * 1099511628211ull;
  }
  return hash;
}

// The slot that holds `name`, or the free slot where it would go.
uint32_t& slotFor(FolderNames& names, const char* name) {
  const size_t mask = names.slots.size() - 1;
  for (size_t slot = hashIgnoringAsciiCase(name) & mask;; slot = (slot + 1) & mask) {
    uint32_t& held = names.slots[slot];
    if (held == 0 || equalIgnoringAsciiCase(names.text.data() + names.starts[held - 1], name)) {
      return held;
    }
  }
}

}  // namespace

void diskName(const char* field, size_t fieldSize, std::string* name) {
  const void* end = std::memchr(field, '\0', fieldSize);
  const size_t length =
      end ? static_cast<size_t>(static_cast<const char*>(end) - field) : fieldSize;
  name->assign(field, length);
  for (char& byte : *name) {
    if (refusedByWindows(static_cast<unsigned char>(byte))) byte = '_';
  }
  while (!name->empty() && (name->back() == ' ' || name->back() == '.')) name->pop_back();
  if (name->empty()) *name = "_";
  if (isDeviceName(*name)) name->insert(0, 1, '_');
}

void nameFolder(const FileEntry* entries, int32_t count, FolderNames* names) {
  const size_t entryCount = count > 0 ? static_cast<size_t>(count) : 0;
  names->text.clear();
  names->starts.resize(entryCount);
  // At most half full, so a probe ends soon.
  size_t slotCount = 16;
  while (slotCount < entryCount * 2) slotCount *= 2;
  names->slots.assign(slotCount, 0);
  for (size_t i = 0; i < entryCount; ++i) {
    std::string& candidate = names->candidate;
    diskName(entries[i].name, sizeof entries[i].name, &candidate);
    const size_t stem = candidate.size();
    uint32_t* slot = &slotFor(*names, candidate.c_str());
    for (uint32_t number = 2; *slot != 0; ++number) {
      candidate.resize(stem);
      candidate += " (" + std::to_string(number) + ")";
      slot = &slotFor(*names, candidate.c_str());
    }
    names->starts[i] = static_cast<uint32_t>(names->text.size());
    names->text.append(candidate.c_str(), candidate.size() + 1);
    *slot = static_cast<uint32_t>(i + 1);
  }
}

}  // namespace quindle_host
