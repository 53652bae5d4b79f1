// makeName with any bound, any seed and, half the time, a dictionary of any bytes, cut in any
// encoding: the name is the model's, byte for byte, and never longer than the bound or the name
// buffer allows.
// Input: 4 bytes seed, 4 bytes maxLen (both little-endian), 1 byte whose bit 0 chooses a
// dictionary (set) or random letters, and whose bits 1 and 2 the encoding names are cut in
// (single-byte, UTF-8, Shift-JIS's double bytes), then the dictionary's bytes.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "filter/text_encoding.h"
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
  const int encodingChoice = (data[8] >> 1) & 3;
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

  quindle::NameWords words = quindle::wordsFor(module, &prefs);
  quindle_test::ModelEncoding encoding;
  words.encoding = quindle::TextEncoding();
  if (encodingChoice == 1) {
    words.encoding.kind = quindle::TextEncodingKind::utf8;
    encoding.kind = quindle_test::ModelEncoding::utf8;
  } else if (encodingChoice == 2) {
    words.encoding.kind = quindle::TextEncodingKind::doubleByte;
    encoding.kind = quindle_test::ModelEncoding::doubleByte;
    for (int byte = 0x81; byte <= 0xFC; ++byte) {
      if (byte > 0x9F && byte < 0xE0) continue;
      words.encoding.leadBytes[byte >> 5] |= 1u << (byte & 31);
      encoding.leadBytes += static_cast<char>(byte);
    }
  }

  quindle::RandomSource random;
  quindle::seedRandom(random, seed);
  const std::string name = quindle::makeName(words, maxLen, random, module.generator.names);
  check(prefs.lineCount == static_cast<int32_t>(lines.size()));
  if (maxLen < 1) {
    check(name.empty());
    return 0;
  }
  check(name.size() <= static_cast<size_t>(std::min(maxLen - 1, 511)));
  quindle_test::ModelRandom model{seed};
  const std::string expected =
      lines.empty() ? quindle_test::modelLetterName(model, maxLen)
                    : quindle_test::modelDictionaryName(model, lines, prefs.lineCount, maxLen, encoding);
  check(name == expected);
  // The draws that follow are the model's too: a name took exactly its own draws.
  check(quindle::drawRandom(random) == model.next());
  return 0;
}
