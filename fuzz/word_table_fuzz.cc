// Feeds arbitrary bytes to the dictionary reader as a file, and checks the count and the lines
// loaded, under every limit a stored count can set, against the simple model of the reading
// rules. Any difference aborts, and libFuzzer keeps the input.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "generator/dictionary/piece_reader.h"
#include "generator/dictionary/word_table.h"
#include "reference_model.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// The bytes as an open stream, as the module sees a file.
FILE* openBytes(std::string* bytes) { return fmemopen(&(*bytes)[0], bytes->size(), "rb"); }

void checkLoad(std::string* bytes, int32_t maxLines, const std::vector<std::string>& expected) {
  FILE* file = openBytes(bytes);
  if (!file) return;
  quindle::WordTable table;
  quindle::ModuleHeap heap;
  const bool loaded = quindle::readWordTable(file, maxLines, heap, &table);
  std::fclose(file);
  const size_t lines = std::min(expected.size(), static_cast<size_t>(maxLines));
  check(loaded == (lines > 0));
  if (!loaded) return;
  check(table.lineCount == static_cast<int32_t>(lines));
  for (size_t i = 0; i < lines; ++i) {
    check(quindle::wordTableLine(table, static_cast<uint32_t>(i)) == expected[i]);
    // Name writers take a line's length from its slot, and copy a short one with the zeros after it.
    const quindle::LineSlot& slot = table.slots[i];
    check(quindle::lineLength(slot) == expected[i].size());
    check(quindle::isLongLine(slot) == (expected[i].size() > static_cast<size_t>(quindle::kSlotChars)));
    if (!quindle::isLongLine(slot)) {
      const char* text = quindle::lineText(table, slot);
      check(std::all_of(text + expected[i].size(), text + quindle::kSlotChars + 1, [](char c) { return c == '\0'; }));
    }
  }
  const uint32_t past = static_cast<uint32_t>(lines) + 3;
  check(quindle::wordTableLine(table, past) == expected[past % lines]);
  quindle::freeWordTable(&table);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> expected = quindle_test::modelDictionaryLines(bytes);

  FILE* file = openBytes(&bytes);
  if (!file) return 0;
  const int32_t count = quindle::countPieces(file);
  std::fclose(file);
  check(count == static_cast<int32_t>(expected.size()));

  checkLoad(&bytes, count, expected);
  checkLoad(&bytes, INT32_MAX, expected);
  if (size > 0) checkLoad(&bytes, 1 + data[size - 1] % (count + 1), expected);
  return 0;
}
