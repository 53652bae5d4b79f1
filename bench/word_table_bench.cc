#include "word_table_bench.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "filter/text_field.h"
#include "filter/module_listing.h"
#include "generator/dictionary/loaded_word_table.h"
#include "reference_model.h"

namespace quindle_bench {
namespace {

void runLoad(benchmark::State& state, std::string path) {
  FilterPrefs prefs;
  std::memset(&prefs, 0, sizeof prefs);
  quindle::copyZeroFilled(prefs.dictionaryPath, sizeof prefs.dictionaryPath, path.c_str());
  for (auto _ : state) {
    prefs.lineCount = 0;  // as after choosing the file: count it, then load it
    const quindle::WordTable* table = quindle::wordsFor(quindle::moduleState(), &prefs).table;
    benchmark::DoNotOptimize(table);
    if (!table) state.SkipWithError("the dictionary could not be loaded");
  }
  quindle::releaseWordTable(quindle::moduleState().words);
  state.counters["items"] = prefs.lineCount;
}

void runPlainRead(benchmark::State& state, std::string path) {
  std::vector<char> buffer;
  for (auto _ : state) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
      state.SkipWithError("the dictionary could not be opened");
      break;
    }
    std::fseek(file, 0, SEEK_END);
    buffer.resize(static_cast<size_t>(std::ftell(file)));
    std::fseek(file, 0, SEEK_SET);
    const size_t read = std::fread(buffer.data(), 1, buffer.size(), file);
    std::fclose(file);
    benchmark::DoNotOptimize(read);
  }
}

}  // namespace

bool writeGeneratedDictionary(const std::string& path, int lines) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  quindle_test::ModelRandom random{20250101};
  std::string text;
  for (int i = 0; i < lines; ++i) {
    const int length = 1 + random.next() % 12;
    for (int c = 0; c < length; ++c) text += static_cast<char>('a' + random.next() % 26);
    text += '\n';
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

void registerWordTableBenchmarks(const std::string& label, const std::string& path) {
  benchmark::RegisterBenchmark(("load|" + label).c_str(), runLoad, path)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(("read|" + label).c_str(), runPlainRead, path)->Unit(benchmark::kMillisecond);
}

}  // namespace quindle_bench
