// Load: 10,000 initialize-execute-uninitialize cycles of the built module in one process, with a
// dictionary, as a long-running host would drive it. Prints the memory figures (Linux's peak and
// current resident set) after a warm-up and at the end; fails only if a cycle goes wrong or the
// memory grows by more than a leak of a few hundred bytes a cycle would explain away.
// usage: load_cycles DICTIONARY [CYCLES]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "built_module.h"
#include "filter/text_field.h"
#include "test_host.h"
#include "test_settings.h"

using namespace quindle_host_kit;
using namespace quindle_test;

namespace {

struct Memory {
  long peakKb = 0;
  long residentKb = 0;
};

Memory memoryNow() {
  Memory memory;
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) memory.peakKb = std::atol(line.c_str() + 6);
    if (line.rfind("VmRSS:", 0) == 0) memory.residentKb = std::atol(line.c_str() + 6);
  }
  return memory;
}

// One host session on the key; every 100th cycle the dictionary is chosen again, so that it is
// counted, released and loaded anew as well as kept.
bool runCycle(const LoadedModule& module, FileFilterSettingsKey key, const char* dictionary,
              int cycle) {
  FileFilterInfo info = hostInfoFor(key);
  if (module.initialize(&info) != 1) return false;
  FilterPrefs& prefs = *info.userData;
  prefs.enabled = 1;
  if (cycle % 100 == 0) {
    quindle::copyZeroFilled(prefs.dictionaryPath, sizeof prefs.dictionaryPath, dictionary);
    prefs.lineCount = 0;
  }
  char title[200];
  FileDirectory* root = module.execute(&info, nullptr, title, sizeof title);
  std::string problem;
  describeTree(root, &problem);
  freeTree(root);
  const bool counted = prefs.lineCount > 0;
  module.uninitialize(&info);
  return root && problem.empty() && counted && allocatorCounts().directories == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: load_cycles DICTIONARY [CYCLES]\n");
    return 2;
  }
  const int cycles = argc > 2 ? std::atoi(argv[2]) : 10000;
  LoadedModule module;
  if (!loadBuiltModule(&module)) return 1;
  SettingsKey settings = createFastTestSettingsKey();
  const int warmUp = cycles < 100 ? cycles : 100;
  Memory start;
  int failed = 0;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    if (!runCycle(module, settings.key, argv[1], cycle)) ++failed;
    if (cycle + 1 == warmUp) start = memoryNow();
  }
  const Memory end = memoryNow();
  unloadModule(&module);
  removeTestSettingsKey(settings);
  std::printf("%d cycles, %d failed\n", cycles, failed);
  std::printf("after %d cycles: peak RSS %ld KB, RSS %ld KB\n", warmUp, start.peakKb,
              start.residentKb);
  std::printf("after %d cycles: peak RSS %ld KB, RSS %ld KB\n", cycles, end.peakKb,
              end.residentKb);
#if !defined(__SANITIZE_ADDRESS__)
  // The sanitizer keeps freed memory in quarantine, so only a plain build's figures say anything.
  constexpr long kAllowedGrowthKb = 4096;
  if (end.peakKb - start.peakKb > kAllowedGrowthKb) {
    std::printf("memory grew by %ld KB\n", end.peakKb - start.peakKb);
    return 1;
  }
#endif
  return failed == 0 ? 0 : 1;
}
