#include "bench_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace quindle_bench {

namespace {

// The processor's name as the system gives it, for the figures' heading.
std::string processorName() {
  std::FILE* info = std::fopen("/proc/cpuinfo", "r");
  char line[256];
  std::string name = "unknown processor";
  while (info && std::fgets(line, sizeof line, info)) {
    const char* colon = std::strchr(line, ':');
    if (std::strncmp(line, "model name", 10) == 0 && colon) {
      name = colon + 2;
      if (!name.empty() && name.back() == '\n') name.pop_back();
      break;
    }
  }
  if (info) std::fclose(info);
  return name;
}

}  // namespace

bool TableReporter::ReportContext(const Context& context) {
  char line[400];
  std::snprintf(line, sizeof line, "%s, %d CPUs at %.0f MHz, load average %.2f %.2f %.2f",
                processorName().c_str(),
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
    for (const char* host : {"heap warm", "arena warm", "heap fresh", "arena fresh", "write floor",
                             "write one", "write two"}) {
      const auto found = run.counters.find(host);
      if (found != run.counters.end()) figures_[row][host] = {found->second.value, figure.items};
    }
  }
}

// The kinds a tree row has, as another build prints them.
constexpr const char* kTreeKinds[] = {"builder", "floor", "model"};

void TableReporter::addPrintedRow(const std::string& prefix, const std::string& line) {
  std::istringstream fields(line);
  std::string name;
  Figure figure;
  if (!std::getline(fields, name, '\t') || !(fields >> figure.items)) return;
  const std::string row = prefix + name;
  otherRows_.push_back(row);
  for (const char* kind : kTreeKinds) {
    if (fields >> figure.nanoseconds) figures_[row][kind] = figure;
  }
}

void TableReporter::addNote(const std::string& row, const std::string& note) {
  otherRows_.push_back(row);
  notes_[row] = note;
}

namespace {

// A figure, or blanks where the benchmark did not run.
std::string figureText(const std::map<std::string, double>& kinds, const std::string& kind) {
  const auto found = kinds.find(kind);
  char text[32];
  if (found == kinds.end()) return "        -";
  std::snprintf(text, sizeof text, "%9.2f", found->second);
  return text;
}

std::string ratio(const std::map<std::string, double>& kinds, const std::string& over,
                  const std::string& under) {
  const auto a = kinds.find(over);
  const auto b = kinds.find(under);
  char text[32];
  if (a == kinds.end() || b == kinds.end() || b->second == 0) return "      -";
  std::snprintf(text, sizeof text, "%7.2fx", a->second / b->second);
  return text;
}

}  // namespace

// One part of the table: a line per row that has the kind of its first column, with its figures
// per item (ns per entry) or per run in milliseconds, then the ratios between them.
struct Section {
  const char* heading;
  const char* items;
  bool perItem;
  std::vector<std::pair<std::string, std::string>> columns;             // heading, kind
  std::vector<std::pair<std::string, std::pair<std::string, std::string>>> ratios;  // heading, over/under
};

void TableReporter::printSection(const Section& section) {
  const std::string& first = section.columns.front().second;
  std::vector<std::string> rows = rows_;
  rows.insert(rows.end(), otherRows_.begin(), otherRows_.end());
  const auto noted = [&](const std::string& row) { return notes_.count(row) > 0 && first == kTreeKinds[0]; };
  if (std::none_of(rows.begin(), rows.end(),
                   [&](const std::string& row) { return noted(row) || figures_[row].count(first) > 0; })) {
    return;
  }
  std::printf("%-58s %10s", section.heading, section.items);
  for (const auto& column : section.columns) std::printf(" %12s", column.first.c_str());
  for (const auto& shown : section.ratios) std::printf(" %13s", shown.first.c_str());
  std::printf("\n");
  for (const std::string& row : rows) {
    if (noted(row)) {
      std::printf("%-58s %s\n", row.c_str(), notes_.at(row).c_str());
      continue;
    }
    const auto& kinds = figures_[row];
    if (!kinds.count(first)) continue;
    const double items = kinds.at(first).items;
    std::map<std::string, double> shown;
    for (const auto& [kind, figure] : kinds) {
      shown[kind] = section.perItem ? (items > 0 ? figure.nanoseconds / items : 0) : figure.nanoseconds / 1e6;
    }
    std::printf("%-58s %10.0f", row.c_str(), items);
    for (const auto& column : section.columns) std::printf("    %s", figureText(shown, column.second).c_str());
    for (const auto& pair : section.ratios) {
      std::printf("      %s", ratio(shown, pair.second.first, pair.second.second).c_str());
    }
    std::printf("\n");
  }
}

void TableReporter::Finalize() {
  if (forAnotherBuild_) {
    for (const std::string& row : rows_) {
      const auto& kinds = figures_[row];
      if (!kinds.count(kTreeKinds[0])) continue;
      std::printf("%s\t%.0f", row.c_str(), kinds.at(kTreeKinds[0]).items);
      for (const char* kind : kTreeKinds) std::printf("\t%.1f", kinds.count(kind) ? kinds.at(kind).nanoseconds : 0.0);
      std::printf("\n");
    }
    return;
  }
  std::printf("Quindle benchmarks: fixed seeds; trees in thread CPU time, dictionary files and "
              "writing in wall time; %s\n", context_.c_str());
  printSection({"tree (ns per entry)", "entries", true,
                {{"builder", "builder"}, {"write floor", "floor"}, {"simple model", "model"}},
                {{"builder/floor", {"builder", "floor"}}, {"model/builder", {"model", "builder"}}}});
  printSection({"host allocators (ns per entry)", "entries", true,
                {{"arena warm", "arena warm"}, {"arena fresh", "arena fresh"},
                 {"heap warm", "heap warm"}, {"heap fresh", "heap fresh"}},
                {{"arena/heap warm", {"arena warm", "heap warm"}}}});
  printSection({"writing a tree to disk (ns per entry)", "entries", true,
                {{"C floor", "write floor"}, {"writer", "write one"}, {"2 threads", "write two"}},
                {{"writer/floor", {"write one", "write floor"}},
                 {"2 threads/floor", {"write two", "write floor"}}}});
  printSection({"dictionary file (ms per file)", "lines", false,
                {{"count+load", "load"}, {"plain read", "read"}},
                {{"load/read", {"load", "read"}}}});
}

}  // namespace quindle_bench
