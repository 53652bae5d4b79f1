// A host for Valgrind's memcheck: loads the built module, initializes it, runs it several times
// with and without a dictionary, uninitializes and unloads it. Its directories come from the host
// kit with their entries untouched, so any field the module leaves unwritten is undefined memory,
// and every record the module hands back is checked byte by byte for definedness. Valgrind
// reports invalid access and, at exit, any block the module left behind after its unload.
// usage: memcheck_driver DICTIONARY
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <valgrind/memcheck.h>

#include "built_module.h"
#include "filter/text_field.h"
#include "host_kit/directory_allocator.h"
#include "host_kit/tree_walk.h"
#include "test_settings.h"

using namespace quindle_host_kit;
using namespace quindle_test;

namespace {

int undefinedRecords = 0;

void expectDefined(const void* bytes, size_t size) {
  if (VALGRIND_CHECK_MEM_IS_DEFINED(bytes, size) != 0) ++undefinedRecords;
}

// Every field the module writes, in every entry of the tree; the host's own byte and the padding
// after it are the host's business.
struct DefinedFields {
  int64_t entries = 0;
  bool enter(const FileEntry& e, int, bool) {
    expectDefined(&e, offsetof(FileEntry, hostByte));
    expectDefined(&e.children, sizeof e.children);
    ++entries;
    return true;
  }
  void leave(int) {}
};

int64_t checkTree(const FileDirectory* root) {
  DefinedFields fields;
  quindle_host_kit::walkTree(root, fields);
  return fields.entries;
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
  if (!loadBuiltModule(&module)) return 1;
  SettingsKey settings = createTestSettingsKey();
  AllocatorRules rules;
  rules.fill = EntryFill::untouched;
  resetAllocator(rules);
  FileFilterInfo info = hostInfoFor(settings.key);
  if (module.initialize(&info) != 1) return 1;
  expectDefined(info.name, sizeof info.name);
  expectDefined(info.userData, sizeof *info.userData);

  const Run runs[] = {{false, nullptr, 64}, {true, nullptr, 64},   {true, nullptr, 1},
                      {true, nullptr, 700}, {true, argv[1], 64},   {true, argv[1], 700},
                      {true, argv[1], 16},  {true, "/nonexistent/words", 64}};
  FileDirectory* tree = allocDirectory(0);
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
  freeTree(tree);
  module.uninitialize(&info);
  unloadModule(&module);
  removeTestSettingsKey(settings);
  std::printf("%zu runs, %lld entries checked, %d undefined records\n", sizeof runs / sizeof *runs,
              static_cast<long long>(entries), undefinedRecords);
  return undefinedRecords == 0 ? 0 : 1;
}
