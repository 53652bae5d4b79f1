#include "test_dictionary.h"

#include "filter/text_field.h"
#include "filter/module_listing.h"
#include "generator/dictionary/loaded_word_table.h"
#include "generator/name_generator.h"
#include "reference_model.h"

namespace quindle_test {

TestDictionary::~TestDictionary() { releaseModuleTable(); }

void useDictionaryBytes(TestDictionary* dictionary, FilterPrefs* prefs, const std::string& bytes) {
  releaseModuleTable();
  writeFileBytes(dictionary->file.path, bytes);
  dictionary->lines = modelDictionaryLines(bytes);
  quindle::copyZeroFilled(prefs->dictionaryPath, sizeof prefs->dictionaryPath,
                          dictionary->file.path.c_str());
  prefs->lineCount = 0;
}

void useDictionaryLines(TestDictionary* dictionary, FilterPrefs* prefs,
                        const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\n";
  useDictionaryBytes(dictionary, prefs, bytes);
}

const quindle::WordTable* moduleTable(FilterPrefs* prefs) {
  return quindle::wordsFor(quindle::moduleState(), prefs).table;
}

std::string moduleName(FilterPrefs* prefs, int32_t maxLen) {
  quindle::ModuleState& state = quindle::moduleState();
  return quindle::makeName(quindle::wordsFor(state, prefs), maxLen, state.generator.random,
                           state.generator.names);
}

void seedModuleRandom(uint32_t seed) { quindle::seedRandom(quindle::moduleState().generator.random, seed); }

void releaseModuleTable() { quindle::releaseWordTable(quindle::moduleState().words); }

std::vector<std::string> makeWordLines(int count, int maxLength) {
  ModelRandom random{12345};
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) {
    std::string line(static_cast<size_t>(random.next() % (maxLength + 1)), ' ');
    for (char& c : line) c = static_cast<char>('a' + random.next() % 26);
    lines.push_back(line);
  }
  return lines;
}

}  // namespace quindle_test
