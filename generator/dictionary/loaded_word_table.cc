#include "generator/dictionary/loaded_word_table.h"

#include <cstdio>
#include <cstring>

#include "generator/dictionary/piece_reader.h"
#include "platform/dictionary_file.h"

namespace quindle {
namespace {

WordTable loadedTable = {nullptr, nullptr, 0};

FILE* openDictionary(const FilterPrefs& prefs) {
  return openDictionaryFile(prefs.dictionaryPath);
}

// A corrupt record may fill the whole path field without a terminator.
bool hasDictionaryPath(const FilterPrefs& prefs) {
  return prefs.dictionaryPath[0] != '\0' &&
         std::memchr(prefs.dictionaryPath, '\0', sizeof prefs.dictionaryPath) != nullptr;
}

int32_t countDictionary(const FilterPrefs& prefs) {
  FILE* file = openDictionary(prefs);
  if (!file) return 0;
  const int32_t count = countPieces(file);
  std::fclose(file);
  return count;
}

bool loadDictionary(const FilterPrefs& prefs, WordTable* table) {
  FILE* file = openDictionary(prefs);
  if (!file) return false;
  const bool loaded = readWordTable(file, prefs.lineCount, table);
  std::fclose(file);
  return loaded;
}

}  // namespace

void releaseWordTable() { freeWordTable(&loadedTable); }

const WordTable* loadWordTable(FilterPrefs* prefs) {
  // With no dictionary named, even a table loaded for another instance is not used.
  if (!hasDictionaryPath(*prefs)) return nullptr;
  if (prefs->lineCount == 0) {
    releaseWordTable();
    prefs->lineCount = countDictionary(*prefs);
  }
  if (prefs->lineCount <= 0) return nullptr;
  if (loadedTable.lineCount == 0 && !loadDictionary(*prefs, &loadedTable)) return nullptr;
  return &loadedTable;
}

}  // namespace quindle
