#include "bench_table.h"

#include <algorithm>
#include <cstdio>

namespace quindle_bench {

bool TableReporter::ReportContext(const Context& context) {
  char line[200];
  std::snprintf(line, sizeof line, "%d CPUs at %.0f MHz, load average %.2f %.2f %.2f",
                context.cpu_info.num_cpus, context.cpu_info.cycles_per_second / 1e6,
                context.cpu_info.load_avg.size() > 0 ? context.cpu_info.load_avg[0] : 0.0,
                context.cpu_info.load_avg.size() > 1 ? context.cpu_info.load_avg[1] : 0.0,
                context.cpu_info.load_avg.size() > 2 ? context.cpu_info.load_avg[2] : 0.0);
  context_ = line;
  return true;
}

void TableReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.error_occurred) {
      std::fprintf(stderr, "%s: %s\n", run.benchmark_name().c_str(), run.error_message.c_str());
      continue;
    }
    const std::string& name = run.run_name.function_name;
    const size_t bar = name.find('|');
    if (bar == std::string::npos) continue;
    const std::string kind = name.substr(0, bar);
    const std::string row = name.substr(bar + 1);
    if (std::find(rows_.begin(), rows_.end(), row) == rows_.end()) rows_.push_back(row);
    Figure& figure = figures_[row][kind];
    const auto median = run.counters.find("median");
    figure.nanoseconds = median != run.counters.end()
                             ? median->second.value
                             : run.real_accumulated_time * 1e9 / static_cast<double>(run.iterations);
    const auto items = run.counters.find("items");
    if (items != run.counters.end()) figure.items = items->second.value;
    for (const char* other : {"floor", "model"}) {
      const auto otherMedian = run.counters.find(std::string(other) + " median");
      if (otherMedian != run.counters.end()) figures_[row][other] = {otherMedian->second.value, figure.items};
    }
    for (const char* host : {"heap warm", "arena warm", "heap fresh", "arena fresh"}) {
      const auto found = run.counters.find(host);
      if (found != run.counters.end()) figures_[row][host] = {found->second.value, figure.items};
    }
  }
}

namespace {

// A figure per item, or blanks where the benchmark did not run.
std::string perItem(const std::map<std::string, double>& kinds, const char* kind) {
  const auto found = kinds.find(kind);
  char text[32];
  if (found == kinds.end()) return "        -";
  std::snprintf(text, sizeof text, "%9.2f", found->second);
  return text;
}

std::string ratio(const std::map<std::string, double>& kinds, const char* over, const char* under) {
  const auto a = kinds.find(over);
  const auto b = kinds.find(under);
  char text[32];
  if (a == kinds.end() || b == kinds.end() || b->second == 0) return "      -";
  std::snprintf(text, sizeof text, "%7.2fx", a->second / b->second);
  return text;
}

}  // namespace

void TableReporter::Finalize() {
  std::printf("Quindle listing benchmarks: fixed seeds; trees in thread CPU time, dictionary files in "
              "wall time; %s\n", context_.c_str());
  std::printf("%-44s %10s %12s %12s %12s %13s %13s\n", "tree (ns per entry)", "entries", "builder",
              "write floor", "simple model", "builder/floor", "model/builder");
  for (const std::string& row : rows_) {
    const auto& kinds = figures_[row];
    if (!kinds.count("builder")) continue;
    std::map<std::string, double> perEntry;
    const double entries = kinds.at("builder").items;
    for (const auto& [kind, figure] : kinds) perEntry[kind] = entries > 0 ? figure.nanoseconds / entries : 0;
    std::printf("%-44s %10.0f    %s    %s    %s      %s      %s\n", row.c_str(), entries,
                perItem(perEntry, "builder").c_str(), perItem(perEntry, "floor").c_str(),
                perItem(perEntry, "model").c_str(), ratio(perEntry, "builder", "floor").c_str(),
                ratio(perEntry, "model", "builder").c_str());
  }
  std::printf("%-44s %10s %12s %12s %12s %12s %13s\n", "host allocators (ns per entry)", "entries",
              "heap fresh", "heap warm", "arena fresh", "arena warm", "arena/heap");
  for (const std::string& row : rows_) {
    const auto& kinds = figures_[row];
    if (!kinds.count("arena warm")) continue;
    std::map<std::string, double> perEntry;
    const double entries = kinds.at("arena warm").items;
    for (const auto& [kind, figure] : kinds) perEntry[kind] = entries > 0 ? figure.nanoseconds / entries : 0;
    std::printf("%-44s %10.0f    %s    %s    %s    %s      %s\n", row.c_str(), entries,
                perItem(perEntry, "heap fresh").c_str(), perItem(perEntry, "heap warm").c_str(),
                perItem(perEntry, "arena fresh").c_str(), perItem(perEntry, "arena warm").c_str(),
                ratio(perEntry, "arena warm", "heap warm").c_str());
  }
  std::printf("%-44s %10s %12s %12s %12s %13s\n", "dictionary file (ms per file)", "lines",
              "count+load", "plain read", "", "load/read");
  for (const std::string& row : rows_) {
    const auto& kinds = figures_[row];
    if (!kinds.count("load")) continue;
    std::map<std::string, double> milliseconds;
    for (const auto& [kind, figure] : kinds) milliseconds[kind] = figure.nanoseconds / 1e6;
    std::printf("%-44s %10.0f    %s    %s    %9s      %s\n", row.c_str(), kinds.at("load").items,
                perItem(milliseconds, "load").c_str(), perItem(milliseconds, "read").c_str(), "",
                ratio(milliseconds, "load", "read").c_str());
  }
}

}  // namespace quindle_bench
