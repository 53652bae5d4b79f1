// The writing benchmarks. Each tree is written anew into a folder of its own, by the floor, the
// writer with one thread and the writer with two, in turns (each turn starting with the next of
// the three), so that all see the same state of the file system; each is reported by its median
// tree, in wall time, since the file system's work is what is measured. Between trees the file
// system is synced, outside the time, so that no tree pays for the writeback of the one before.
// Trees on tmpfs are removed as soon as they are measured; trees elsewhere only at the end.
#include "write_bench.h"

#include <fcntl.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_host.h"
#include "filter/module_listing.h"
#include "generator/draws/random_source.h"
#include "host/disk/disk_names.h"
#include "host/disk/tree_plan.h"
#include "host/disk/tree_writer.h"
#include "host/print/tree_stats.h"
#include "host_kit/directory_allocator.h"
#include "host_kit/tree_walk.h"
#include "write_floor.h"

namespace quindle_bench {
namespace {

using namespace quindle_host;
using namespace quindle_host_kit;

// The listing of the defaults at this seed goes on long past a million entries, so a budget cuts
// it at the size wanted.
constexpr uint32_t kTreeSeed = 1765224012u;
constexpr uint32_t kMaxFiles = 100;
constexpr int32_t kDirLevels = 20;
constexpr long kTmpfsMagic = 0x01021994;
constexpr long kExtMagic = 0xEF53;

std::vector<std::string> placesToEmpty;

enum Writer { floorLoop, oneThread, twoThreads, writerCount };
const char* const kWriterNames[writerCount] = {"floor", "one", "two"};

FileDirectory* buildTree(uint64_t entries) {
  FileFilterInfo info = benchHostInfo();
  AllocatorRules rules = allocatorRules();
  rules.entryBudget = entries;
  resetAllocator(rules);
  FilterPrefs prefs;
  std::memset(&prefs, 0, sizeof prefs);
  prefs.enabled = 1;
  prefs.maxFiles = kMaxFiles;
  prefs.dirLevels = kDirLevels;
  quindle::ModuleState& module = quindle::moduleState();
  quindle::seedRandom(module.generator.random, kTreeSeed);
  return quindle::buildModuleListing(module, info, &prefs);
}

// The tree laid out flat for the floor, named as the writer names it.
struct FlatTree {
  std::vector<FloorStep> steps;
  std::vector<std::string> names;
};

FlatTree flatten(const FileDirectory* root) {
  struct Flattener {
    FlatTree flat;
    std::vector<FolderNames> names;  // of each folder on the way down
    std::vector<int32_t> index;
    bool enter(const FileEntry& entry, int depth, bool) {
      flat.names.emplace_back(nameOf(names[depth], index[depth]++));
      if (isDirectoryEntry(entry)) {
        flat.steps.push_back({FLOOR_FOLDER, nullptr, 0});
        const FileDirectory* children = childrenOf(entry);
        names.resize(depth + 2);
        index.resize(depth + 2);
        index[depth + 1] = 0;
        nameFolder(children ? children->entries : nullptr, entryCountOf(children),
                   &names[depth + 1]);
        if (!children) flat.steps.push_back({FLOOR_FOLDER_END, nullptr, 0});
      } else {
        flat.steps.push_back({FLOOR_FILE, nullptr, fileBytes(entry)});
      }
      return true;
    }
    void leave(int) { flat.steps.push_back({FLOOR_FOLDER_END, nullptr, 0}); }
  } flattener;
  flattener.names.resize(1);
  flattener.index.assign(1, 0);
  nameFolder(root->entries, entryCountOf(root), &flattener.names[0]);
  walkTree(root, flattener);
  // The names are in place now that the vector has stopped growing.
  size_t named = 0;
  for (FloorStep& step : flattener.flat.steps) {
    if (step.kind != FLOOR_FOLDER_END) step.name = flattener.flat.names[named++].c_str();
  }
  return std::move(flattener.flat);
}

bool isTmpfs(const std::string& place) {
  struct statfs info;
  return ::statfs(place.c_str(), &info) == 0 && static_cast<long>(info.f_type) == kTmpfsMagic;
}

double medianNanoseconds(std::vector<double> seconds) {
  std::nth_element(seconds.begin(), seconds.begin() + seconds.size() / 2, seconds.end());
  return seconds[seconds.size() / 2] * 1e9;
}

// Seconds `writer` takes to write the tree into a new folder `folder`; negative after a failure.
double timeWriter(Writer writer, const FileDirectory* root, const FlatTree& flat,
                  const std::string& folder) {
  std::filesystem::create_directories(folder);
  const int top = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (top < 0) return -1;
  const auto start = std::chrono::steady_clock::now();
  bool written = true;
  if (writer == floorLoop) {
    written = writeFloorTree(top, flat.steps.data(), flat.steps.size()) == 0;
  } else {
    DiskFolder folderOpen;
    folderOpen.handle = top;
    TreeWriting how;
    how.threads = writer == twoThreads ? 2 : 1;
    how.shownTop = folder;
    WriteOutcome outcome;
    written = writeTree(root, &folderOpen, how, &outcome);
    if (!written) std::fprintf(stderr, "bench: %s\n", outcome.error.c_str());
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  ::syncfs(top);
  ::close(top);
  return written ? took.count() : -1;
}

void runWrite(benchmark::State& state, WriteCase write) {
  FileDirectory* root = buildTree(write.entries);
  const FlatTree flat = flatten(root);
  const uint64_t entries = allocatorCounts().entries;
  const bool tmpfs = isTmpfs(write.place);
  std::vector<double> seconds[writerCount];
  // One tree first, untimed: the file system's own caches grow to the tree's size once.
  const std::string warming = write.place + "/" + std::to_string(write.entries) + "-warming";
  timeWriter(floorLoop, root, flat, warming);
  if (tmpfs) std::filesystem::remove_all(warming);
  int turn = 0;
  for (auto _ : state) {
    for (int step = 0; step < writerCount; ++step, ++turn) {
      const Writer writer = static_cast<Writer>((turn / writerCount + step) % writerCount);
      const std::string folder = write.place + "/" + std::to_string(write.entries) + "-" +
                                 kWriterNames[writer] + "-" + std::to_string(turn);
      const double took = timeWriter(writer, root, flat, folder);
      if (took < 0) {
        state.SkipWithError(("cannot write in " + write.place).c_str());
        break;
      }
      seconds[writer].push_back(took);
      if (tmpfs) std::filesystem::remove_all(folder);
    }
    state.SetIterationTime(seconds[oneThread].empty() ? 0 : seconds[oneThread].back());
  }
  freeTree(root);
  if (seconds[twoThreads].empty()) return;
  state.counters["items"] = static_cast<double>(entries);
  state.counters["write floor"] = medianNanoseconds(seconds[floorLoop]);
  state.counters["write one"] = medianNanoseconds(seconds[oneThread]);
  state.counters["write two"] = medianNanoseconds(seconds[twoThreads]);
}

std::string fileSystemName(const std::string& place) {
  struct statfs info;
  if (::statfs(place.c_str(), &info) != 0) return "?";
  const long type = static_cast<long>(info.f_type);
  return type == kTmpfsMagic ? "tmpfs" : type == kExtMagic ? "ext4" : "other";
}

}  // namespace

void registerWriteBenchmarks(const WriteCase& write, const std::string& shownPlace) {
  std::filesystem::create_directories(write.place);
  if (std::find(placesToEmpty.begin(), placesToEmpty.end(), write.place) == placesToEmpty.end()) {
    placesToEmpty.push_back(write.place);
  }
  char entries[32];
  std::snprintf(entries, sizeof entries, "%llu", static_cast<unsigned long long>(write.entries));
  const std::string row =
      fileSystemName(write.place) + " " + shownPlace + ", " + entries + "-entry tree";
  auto* benchmark = benchmark::RegisterBenchmark(("write|" + row).c_str(), runWrite, write);
  benchmark->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(write.turns);
}

void removeWrittenTrees() {
  for (const std::string& place : placesToEmpty) {
    std::error_code ignored;
    std::filesystem::remove_all(place, ignored);
  }
}

}  // namespace quindle_bench
