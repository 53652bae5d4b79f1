#include "test_dictionary.h"

#include "filter/text_field.h"
#include "generator/dictionary/loaded_word_table.h"
#include "reference_model.h"

namespace quindle_test {

TestDictionary::~TestDictionary() { quindle::releaseWordTable(); }

void useDictionaryBytes(TestDictionary* dictionary, FilterPrefs* prefs, const std::string& bytes) {
  quindle::releaseWordTable();
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
