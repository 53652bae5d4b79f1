// Prints how long the word table takes to count and load a dictionary, and the memory it holds.
// A measuring tool, not a test: the figures depend on the machine.
// usage: word_table_measure [FILE]   (default /usr/share/dict/american-english)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "filter/text_field.h"
#include "filter/module_listing.h"
#include "generator/dictionary/loaded_word_table.h"
#include "generator/dictionary/word_table.h"

namespace {

// The process's resident memory in KiB, from the Linux process file.
long residentKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  const auto elapsed = std::chrono::steady_clock::now() - start;
  return std::chrono::duration<double, std::milli>(elapsed).count();
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "/usr/share/dict/american-english";
  FilterPrefs prefs;
  std::memset(&prefs, 0, sizeof prefs);
  quindle::copyZeroFilled(prefs.dictionaryPath, sizeof prefs.dictionaryPath, path);

  const long residentBefore = residentKib();
  auto start = std::chrono::steady_clock::now();
  quindle::ModuleState& module = quindle::moduleState();
  const quindle::WordTable* table = quindle::wordsFor(module, &prefs).table;
  const double countAndLoad = millisecondsSince(start);
  const long residentAfter = residentKib();
  if (!table) {
    std::printf("%s: no lines could be loaded\n", path);
    return 1;
  }
  size_t longBytes = 0;
  for (int32_t i = 0; i < table->lineCount; ++i) {
    const quindle::LineSlot& slot = table->slots[i];
    if (quindle::isLongLine(slot)) longBytes += quindle::lineLength(slot) + 1;
  }
  const size_t slotBytes = static_cast<size_t>(table->lineCount) * sizeof(quindle::LineSlot);

  // A restart: the count comes from the stored settings, so only the load runs.
  quindle::releaseWordTable(module.words);
  start = std::chrono::steady_clock::now();
  quindle::wordsFor(module, &prefs);
  const double loadOnly = millisecondsSince(start);
  quindle::releaseWordTable(module.words);

  std::printf("%s: %d lines\n", path, prefs.lineCount);
  std::printf("first use, count and load: %.1f ms\n", countAndLoad);
  std::printf("after a restart, load only: %.1f ms\n", loadOnly);
  std::printf("table: %zu bytes of line slots + %zu bytes of long lines = %.2f MiB\n", slotBytes,
              longBytes, static_cast<double>(slotBytes + longBytes) / (1024.0 * 1024.0));
  std::printf("resident memory grew by %ld KiB\n", residentAfter - residentBefore);
  return 0;
}
