// Collects every benchmark's result and prints them as one table at the end: per tree, the
// builder, the write floor and the simple model in ns per entry with the ratios between them,
// the host allocators, writing a tree to disk against a plain C loop, then the word table's load
// against a plain read of the same file. A part with no figures (filtered out) is left out.
//
// Benchmarks are named "<kind>|<row>", where kind is builder, load or read; each reports its
// item count (entries or lines) in the counter "items", and may report its median iteration in
// "median" (ns), which is then shown instead of the mean. The builder also reports the write
// floor and the simple model it was timed against in "floor median" and "model median"; the
// "hosts" kind reports the builder with each host allocator in "heap warm", "arena warm",
// "heap fresh" and "arena fresh"; the "write" kind reports the C floor, the writer and the writer
// with two threads in "write floor", "write one" and "write two".
#ifndef QUINDLE_BENCH_BENCH_TABLE_H
#define QUINDLE_BENCH_BENCH_TABLE_H

#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace quindle_bench {

struct Section;

class TableReporter : public benchmark::BenchmarkReporter {
 public:
  // `forAnotherBuild`: prints the tree rows' figures one row to a line, for another build's table
  // (other_build.h), instead of the table.
  explicit TableReporter(bool forAnotherBuild = false) : forAnotherBuild_(forAnotherBuild) {}

  bool ReportContext(const Context& context) override;
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

  // A tree row another build printed, named with `prefix` before its own name.
  void addPrintedRow(const std::string& prefix, const std::string& line);
  // A tree row without figures, saying why.
  void addNote(const std::string& row, const std::string& note);

 private:
  struct Figure {
    double nanoseconds = 0;  // per iteration
    double items = 0;
  };
  void printSection(const Section& section);

  std::vector<std::string> rows_;  // in the order they first ran, then those of another build
  std::map<std::string, std::map<std::string, Figure>> figures_;  // row -> kind -> figure
  std::vector<std::string> otherRows_;                            // another build's, printed last
  std::map<std::string, std::string> notes_;                      // row -> why it has no figures
  std::string context_;
  bool forAnotherBuild_;
};

}  // namespace quindle_bench

#endif
