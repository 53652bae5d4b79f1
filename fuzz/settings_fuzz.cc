// Feeds stored "prefs" and "position" values of any length and content (or none) to the module
// through its exports: initialize on them, run twice, uninitialize. Checks that initialize leaves
// a path terminated within its field, that every tree is well formed and goes back to the host
// whole, and that exactly the two records are stored again. The host refuses directories beyond
// a budget of entries, as a host out of memory would, since stored settings may ask for any size.
//
// Input: byte 0 says which values exist (bit 0 "prefs", bit 1 "position"), bytes 1-2 give the
// length of "prefs" (little-endian, cut to what is left), then "prefs", then "position".
// A stored path would name any file on the machine; a nonempty one is replaced after initialize
// by one of four scratch paths, picked by its first byte, while the stored line count stays.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "filter/clock.h"
#include "filter/module_state.h"
#include "filter/text_field.h"
#include "generator/dictionary/loaded_word_table.h"
#include "module_exports.h"
#include "reference_model.h"
#include "test_host.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

int64_t fixedClock() { return 1765224123; }

struct Scratch {
  std::string folder;
  int folderFd = -1;
  std::string paths[4];
};

void writeFile(const std::string& path, const void* bytes, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  check(file != nullptr);
  if (size > 0) check(std::fwrite(bytes, 1, size, file) == size);
  std::fclose(file);
}

const Scratch& scratch() {
  static Scratch made = [] {
    Scratch s;
    std::string pattern =
        std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/quindle-fuzz-XXXXXX";
    check(mkdtemp(&pattern[0]) != nullptr);
    s.folder = pattern;
    check(mkdir((s.folder + "/values").c_str(), 0700) == 0);
    s.folderFd = open((s.folder + "/values").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    check(s.folderFd >= 0);
    const std::string words = "alpha\nbeta\r\ngamma\n\n" + std::string(600, 'l') + "\nlast";
    s.paths[0] = s.folder + "/words.txt";
    writeFile(s.paths[0], words.data(), words.size());
    s.paths[1] = s.folder + "/empty.txt";
    writeFile(s.paths[1], "", 0);
    s.paths[2] = s.folder + "/missing.txt";
    s.paths[3] = s.folder;  // a folder
    quindle::moduleState().clock = fixedClock;
    return s;
  }();
  return made;
}

std::string storedValue(const Scratch& s, const char* name) {
  std::string bytes;
  FILE* file = std::fopen((s.folder + "/values/" + name).c_str(), "rb");
  if (!file) return bytes;
  char buffer[1024];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
  std::fclose(file);
  return bytes;
}

void runTwice(FileFilterInfo* info) {
  for (int32_t titleLen : {300, 1}) {
    quindle_test::resetTestHost();
    quindle_test::allocatorRules().entryBudget = 4000;
    char title[300];
    std::memset(title, 'T', sizeof title);
    FileDirectory* root = FileFilterExecute(info, nullptr, title, titleLen);
    check(!info->userData->enabled || title[titleLen - 1] == '\0');
    quindle_test::TreeShape shape;
    int64_t malformed = 0;
    quindle_test::shapeOfTree(root, &shape, &malformed);
    check(malformed == 0);
    quindle_test::freeTree(root);
    check(quindle_test::allocatorCounts().directories == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Scratch& s = scratch();
  if (size < 3) return 0;
  const bool hasPrefs = data[0] & 1, hasPosition = data[0] & 2;
  const size_t prefsLength = std::min<size_t>(data[1] | (data[2] << 8), size - 3);
  const std::string values = s.folder + "/values/";
  unlink((values + "prefs").c_str());
  unlink((values + "position").c_str());
  if (hasPrefs) writeFile(values + "prefs", data + 3, prefsLength);
  if (hasPosition) writeFile(values + "position", data + 3 + prefsLength, size - 3 - prefsLength);

  quindle::moduleState().dialogPosition = {0, 0};
  quindle::releaseWordTable(quindle::moduleState().words);
  FileFilterInfo info = quindle_test::hostInfoFor(
      reinterpret_cast<FileFilterSettingsKey>(static_cast<intptr_t>(s.folderFd)));
  check(FileFilterInitialize(&info) == 1);
  FilterPrefs& prefs = *info.userData;
  check(std::memchr(prefs.dictionaryPath, '\0', sizeof prefs.dictionaryPath) != nullptr);
  if (prefs.dictionaryPath[0] != '\0') {
    const std::string& path = s.paths[static_cast<unsigned char>(prefs.dictionaryPath[0]) % 4];
    quindle::copyZeroFilled(prefs.dictionaryPath, sizeof prefs.dictionaryPath, path.c_str());
  }
  runTwice(&info);
  const FilterPrefs kept = prefs;
  const DialogPosition position = quindle::moduleState().dialogPosition;
  FileFilterUninitialize(&info);

  check(storedValue(s, "prefs") == std::string(reinterpret_cast<const char*>(&kept), sizeof kept));
  check(storedValue(s, "position") ==
        std::string(reinterpret_cast<const char*>(&position), sizeof position));
  return 0;
}
