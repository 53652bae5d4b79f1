// makeName with any bound, any seed and, half the time, a dictionary of any bytes: the name is
// the model's, byte for byte, and never longer than the bound or the name buffer allows.
// Input: 4 bytes seed, 4 bytes maxLen (both little-endian), 1 byte choosing a dictionary (odd)
// or random letters (even), then the dictionary's bytes.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "filter/text_field.h"
#include "filter/module_listing.h"
#include "generator/dictionary/loaded_word_table.h"
#include "generator/draws/random_source.h"
#include "generator/name_generator.h"
#include "reference_model.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

uint32_t littleEndian(const uint8_t* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

const std::string& dictionaryPath() {
  static const std::string path = [] {
    std::string pattern =
        std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/quindle-fuzz-XXXXXX";
    check(mkdtemp(&pattern[0]) != nullptr);
    return pattern + "/words.txt";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  const uint32_t seed = littleEndian(data);
  const int32_t maxLen = static_cast<int32_t>(littleEndian(data + 4));
  const bool useDictionary = data[8] & 1;
  const std::string bytes(reinterpret_cast<const char*>(data + 9), size - 9);

  FilterPrefs prefs;
  std::memset(&prefs, 0, sizeof prefs);
  std::vector<std::string> lines;
  quindle::ModuleState& module = quindle::moduleState();
  quindle::releaseWordTable(module.words);
  if (useDictionary) {
    FILE* file = std::fopen(dictionaryPath().c_str(), "wb");
    check(file != nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    quindle::copyZeroFilled(prefs.dictionaryPath, sizeof prefs.dictionaryPath,
                            dictionaryPath().c_str());
    lines = quindle_test::modelDictionaryLines(bytes);
  }

  quindle::RandomSource random;
  quindle::seedRandom(random, seed);
  const std::string name =
      quindle::makeName(quindle::wordsFor(module, &prefs), maxLen, random, module.generator.names);
  check(prefs.lineCount == static_cast<int32_t>(lines.size()));
  if (maxLen < 1) {
    check(name.empty());
    return 0;
  }
  check(name.size() <= static_cast<size_t>(std::min(maxLen - 1, 511)));
  quindle_test::ModelRandom model{seed};
  const std::string expected =
      lines.empty() ? quindle_test::modelLetterName(model, maxLen)
                    : quindle_test::modelDictionaryName(model, lines, prefs.lineCount, maxLen);
  check(name == expected);
  // The draws that follow are the model's too: a name took exactly its own draws.
  check(quindle::drawRandom(random) == model.next());
  return 0;
}
