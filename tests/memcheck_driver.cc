// A host for Valgrind's memcheck: loads the built module, initializes it, runs it several times
// with and without a dictionary, uninitializes and unloads it. Its directories come from malloc
// uninitialised, so any field the module leaves unwritten is undefined memory, and every record
// the module hands back is checked byte by byte for definedness. Valgrind reports invalid access
// and, at exit, any block the module left behind after its unload.
// usage: memcheck_driver DICTIONARY
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <valgrind/memcheck.h>

#include "filter/text_field.h"
#include "loaded_module.h"
#include "test_settings.h"

using namespace quindle_test;

namespace {

int undefinedRecords = 0;

// Every directory is one block: header, then its entries, with the count before the header.
FileDirectory* QUINDLE_CALL allocUninitialised(int32_t count) {
  if (count < 0) return nullptr;
  char* block = static_cast<char*>(
      std::malloc(sizeof(int64_t) + sizeof(FileDirectory) + count * sizeof(FileEntry)));
  if (!block) return nullptr;
  std::memcpy(block, &count, sizeof count);
  FileDirectory* dir = reinterpret_cast<FileDirectory*>(block + sizeof(int64_t));
  dir->entries = reinterpret_cast<FileEntry*>(dir + 1);
  return dir;
}

int32_t countOf(const FileDirectory* dir) {
  int32_t count;
  std::memcpy(&count, reinterpret_cast<const char*>(dir) - sizeof(int64_t), sizeof count);
  return count;
}

void QUINDLE_CALL freeWholeTree(FileDirectory* root) {
  std::vector<FileDirectory*> pending;
  if (root) pending.push_back(root);
  while (!pending.empty()) {
    FileDirectory* dir = pending.back();
    pending.pop_back();
    for (int32_t i = 0; i < countOf(dir); ++i) {
      if (dir->entries[i].children) pending.push_back(dir->entries[i].children);
    }
    std::free(reinterpret_cast<char*>(dir) - sizeof(int64_t));
  }
}

void expectDefined(const void* bytes, size_t size) {
  if (VALGRIND_CHECK_MEM_IS_DEFINED(bytes, size) != 0) ++undefinedRecords;
}

// Every field the module writes, in every entry of the tree; the host's own byte and the padding
// after it are the host's business.
int64_t checkTree(const FileDirectory* root) {
  int64_t entries = 0;
  std::vector<const FileDirectory*> pending{root};
  while (!pending.empty()) {
    const FileDirectory* dir = pending.back();
    pending.pop_back();
    for (int32_t i = 0; i < countOf(dir); ++i, ++entries) {
      const FileEntry& e = dir->entries[i];
      expectDefined(&e, offsetof(FileEntry, hostByte));
      expectDefined(&e.children, sizeof e.children);
      if (e.children) pending.push_back(e.children);
    }
  }
  return entries;
}

struct Run {
  bool enabled;
  const char* dictionary;  // null: none
  int32_t titleLen;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: memcheck_driver DICTIONARY\n");
    return 2;
  }
  LoadedModule module;
  std::string error;
  if (!loadModule(QUINDLE_MODULE_FILE, &module, &error) || !module.execute) {
    std::fprintf(stderr, "cannot load the module: %s\n", error.c_str());
    return 1;
  }
  TestSettingsKey settings = createTestSettingsKey();
  FileFilterInfo info;
  std::memset(&info, 0, sizeof info);
  info.version = FILE_FILTER_INTERFACE_VERSION;
  info.settingsKey = settings.key;
  info.allocDirectory = allocUninitialised;
  info.freeTree = freeWholeTree;
  if (module.initialize(&info) != 1) return 1;
  expectDefined(info.name, sizeof info.name);
  expectDefined(info.userData, sizeof *info.userData);

  const Run runs[] = {{false, nullptr, 64}, {true, nullptr, 64},   {true, nullptr, 1},
                      {true, nullptr, 700}, {true, argv[1], 64},   {true, argv[1], 700},
                      {true, argv[1], 16},  {true, "/nonexistent/words", 64}};
  FileDirectory* tree = allocUninitialised(0);
  int64_t entries = 0;
  for (const Run& run : runs) {
    FilterPrefs& prefs = *info.userData;
    prefs.enabled = run.enabled;
    prefs.dirLevels = 3;
    const char* path = run.dictionary ? run.dictionary : "";
    if (std::strcmp(prefs.dictionaryPath, path) != 0) {
      quindle::copyZeroFilled(prefs.dictionaryPath, sizeof prefs.dictionaryPath, path);
      prefs.lineCount = 0;
    }
    char* title = static_cast<char*>(std::malloc(static_cast<size_t>(run.titleLen)));
    tree = module.execute(&info, tree, title, run.titleLen);
    if (run.enabled) {
      expectDefined(title, static_cast<size_t>(run.titleLen));
      entries += checkTree(tree);
    }
    std::free(title);
  }
  freeWholeTree(tree);
  module.uninitialize(&info);
  unloadModule(&module);
  removeTestSettingsKey(settings);
  std::printf("%zu runs, %lld entries checked, %d undefined records\n", sizeof runs / sizeof *runs,
              static_cast<long long>(entries), undefinedRecords);
  return undefinedRecords == 0 ? 0 : 1;
}
