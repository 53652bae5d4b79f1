#include "generator/dictionary/loaded_word_table.h"

#include <cstdio>
#include <cstring>

#include "generator/dictionary/piece_reader.h"
#include "platform/dictionary_file.h"

namespace quindle {
namespace {

// A corrupt record may fill the whole path field without a terminator.
bool hasDictionaryPath(const FilterPrefs& prefs) {
  return prefs.dictionaryPath[0] != '\0' &&
         std::memchr(prefs.dictionaryPath, '\0', sizeof prefs.dictionaryPath) != nullptr;
}

int32_t countDictionary(const char* path) {
  FILE* file = openDictionaryFile(path);
  if (!file) return 0;
  const int32_t count = countPieces(file);
  std::fclose(file);
  return count;
}

bool loadDictionary(const char* path, int32_t lineCount, ModuleHeap& heap, WordTable* table) {
  FILE* file = openDictionaryFile(path);
  if (!file) return false;
  const bool loaded = readWordTable(file, lineCount, heap, table);
  std::fclose(file);
  return loaded;
}

}  // namespace

void releaseWordTable(WordTable& loaded) { freeWordTable(&loaded); }

LoadedWords loadWordTable(WordTable& loaded, ModuleHeap& heap, const FilterPrefs& prefs) {
  LoadedWords result = {{}, prefs.lineCount};
  // With no dictionary named, even a table loaded for another instance is not used.
  if (!hasDictionaryPath(prefs)) return result;
  if (result.lineCount == 0) {
    releaseWordTable(loaded);
    result.lineCount = countDictionary(prefs.dictionaryPath);
  }
  if (result.lineCount <= 0) return result;
  if (loaded.lineCount == 0 &&
      !loadDictionary(prefs.dictionaryPath, result.lineCount, heap, &loaded)) {
    return result;
  }
  result.words.table = &loaded;
  result.words.drawnLines = static_cast<uint32_t>(result.lineCount);
  return result;
}

}  // namespace quindle
