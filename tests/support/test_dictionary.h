// A dictionary file for one test, named in a FilterPrefs that has not counted it yet, with the
// module's word table released so the next name loads it afresh.
#ifndef QUINDLE_TESTS_TEST_DICTIONARY_H
#define QUINDLE_TESTS_TEST_DICTIONARY_H

#include <string>
#include <vector>

#include "filter/filter_api.h"
#include "generator/dictionary/word_table.h"
#include "temp_file.h"

namespace quindle_test {

struct TestDictionary {
  TempPath file;
  std::vector<std::string> lines;
  ~TestDictionary();
};

// Writes `bytes` as the dictionary and names it in `prefs` with lineCount 0.
void useDictionaryBytes(TestDictionary* dictionary, FilterPrefs* prefs, const std::string& bytes);

// The same, with `lines` each followed by a line feed.
void useDictionaryLines(TestDictionary* dictionary, FilterPrefs* prefs,
                        const std::vector<std::string>& lines);

// Tables and names as the module's exports get them: the module's own word table, looked up for
// `prefs` (counting the dictionary into prefs->lineCount where that is due), and its own random
// source and name buffer.
const quindle::WordTable* moduleTable(FilterPrefs* prefs);
std::string moduleName(FilterPrefs* prefs, int32_t maxLen);
void seedModuleRandom(uint32_t seed);
void releaseModuleTable();

// `count` lines of lower-case letters, of lengths from 0 to maxLength, the same on every run.
std::vector<std::string> makeWordLines(int count, int maxLength);

}  // namespace quindle_test

#endif
