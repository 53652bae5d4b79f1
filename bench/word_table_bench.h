// The word table's count-and-load of a dictionary file against one plain read of the same file.
#ifndef QUINDLE_BENCH_WORD_TABLE_BENCH_H
#define QUINDLE_BENCH_WORD_TABLE_BENCH_H

#include <string>

namespace quindle_bench {

// Writes a file of `lines` random lower-case words, the same on every run; false on failure.
bool writeGeneratedDictionary(const std::string& path, int lines);

void registerWordTableBenchmarks(const std::string& label, const std::string& path);

}  // namespace quindle_bench

#endif
