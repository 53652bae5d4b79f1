// The listing's benchmarks, all on the same trees (fixed seeds): the module's builder, the write
// floor (the same directories from the same host allocator, filled with memset) and the simple
// model from the tests, in turns, each reporting its median tree; and the builder with the
// benchmarks' host against the reference host's arena, warm and in a fresh process.
#include "listing_bench.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <fstream>
#include <iterator>
#include <memory>

#include <benchmark/benchmark.h>

#include "bench_host.h"
#include "filter/text_field.h"
#include "filter/module_listing.h"
#include "generator/draws/random_source.h"
#include "host_kit/directory_allocator.h"
#include "reference_model.h"

namespace quindle_bench {
namespace {

// The thread's own processor time (user and system, page faults included): on a machine that
// other work shares it still counts only this run, and on a quiet one it equals the wall time.
struct Clock {
  using time_point = double;
  static double now() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
  }
};

double secondsSince(double start) { return Clock::now() - start; }

FilterPrefs prefsFor(const TreeCase& tree) {
  FilterPrefs prefs;
  std::memset(&prefs, 0, sizeof prefs);
  prefs.enabled = 1;
  prefs.maxFiles = tree.maxFiles;
  prefs.dirLevels = tree.dirLevels;
  if (tree.dictionary) quindle::copyZeroFilled(prefs.dictionaryPath, sizeof prefs.dictionaryPath, tree.dictionary);
  return prefs;
}

// The builder as execute runs it, from `seed`, with the tree's kernel forced the way the tests
// force one. Seeding and forcing take no time worth measuring.
FileDirectory* buildTree(const FileFilterInfo& info, FilterPrefs* prefs, uint32_t seed,
                         const quindle::Kernel* kernel) {
  quindle::ModuleState& module = quindle::moduleState();
  if (kernel) quindle::forceKernel(module.kernels, *kernel);
  quindle::seedRandom(module.generator.random, seed);
  FileDirectory* root = quindle::buildModuleListing(module, info, prefs);
  module.kernels = quindle::KernelChoice();
  return root;
}

// One untimed build: loads the dictionary, warms the heap, and gives the tree's layout.
TreeLayout buildOnce(const TreeCase& tree, FilterPrefs* prefs) {
  const FileFilterInfo info = benchHostInfo();
  FileDirectory* root = buildTree(info, prefs, tree.seed, tree.kernel);
  TreeLayout layout = layoutOf(root);
  quindle_host_kit::freeTree(root);
  return layout;
}

// Seconds to allocate the tree's directories through the host allocator and fill them with
// memset: the least any builder of this tree could take.
double timeWriteFloor(const TreeLayout& layout, std::vector<FileDirectory*>* directories) {
  const double start = Clock::now();
  for (int32_t count : layout.directoryCounts) {
    FileDirectory* dir = quindle_host_kit::allocDirectory(count);
    std::memset(dir->entries, 0, static_cast<size_t>(count) * sizeof(FileEntry));
    directories->push_back(dir);
  }
  benchmark::ClobberMemory();
  const double seconds = secondsSince(start);
  for (FileDirectory* dir : *directories) quindle_host_kit::freeTree(dir);
  directories->clear();
  return seconds;
}

// The middle of the times taken, in ns: unlike the mean or the least, one tree that the machine
// disturbed, or a clock reading that did not move, does not shift it.
double medianNanoseconds(std::vector<double> seconds) {
  if (seconds.empty()) return 0;
  std::nth_element(seconds.begin(), seconds.begin() + seconds.size() / 2, seconds.end());
  return seconds[seconds.size() / 2] * 1e9;
}

std::vector<std::string> dictionaryLines(const char* path) {
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return quindle_test::modelDictionaryLines(bytes);
}

// Seconds the simple model takes to make the tree.
double timeModel(uint32_t seed, const quindle_test::ModelSettings& settings) {
  const double start = Clock::now();
  const quindle_test::ModelListing listing = quindle_test::modelListing(seed, settings, 64);
  const double seconds = secondsSince(start);
  benchmark::DoNotOptimize(listing.entries);
  return seconds;
}

// The builder, the write floor and the simple model take turns, tree after tree, so that all
// three see the same state of a shared machine, whose speed can change by a third from one
// minute to the next; each is reported by its median tree.
void runTree(benchmark::State& state, TreeCase tree) {
  FilterPrefs prefs = prefsFor(tree);
  const TreeLayout layout = buildOnce(tree, &prefs);
  const FileFilterInfo info = benchHostInfo();
  std::vector<std::string> lines;
  quindle_test::ModelSettings settings;
  settings.maxFiles = tree.maxFiles;
  settings.dirLevels = tree.dirLevels;
  if (tree.dictionary) {
    lines = dictionaryLines(tree.dictionary);
    settings.lines = &lines;
    settings.lineCount = static_cast<int32_t>(lines.size());
  }
  std::vector<FileDirectory*> directories;
  directories.reserve(layout.directoryCounts.size());
  std::vector<double> builds;
  std::vector<double> floors;
  std::vector<double> models;
  for (auto _ : state) {
    const double start = Clock::now();
    FileDirectory* root = buildTree(info, &prefs, tree.seed, tree.kernel);
    const double built = secondsSince(start);
    state.SetIterationTime(built);
    quindle_host_kit::freeTree(root);
    builds.push_back(built);
    floors.push_back(timeWriteFloor(layout, &directories));
    models.push_back(timeModel(tree.seed, settings));
  }
  state.counters["items"] = static_cast<double>(layout.entries);
  state.counters["median"] = medianNanoseconds(builds);
  state.counters["floor median"] = medianNanoseconds(floors);
  state.counters["model median"] = medianNanoseconds(models);
}

// One tree built with the benchmarks' host (per-directory blocks from a heap that keeps its
// memory) or the reference host's arena (chunks from the system, given back with the tree).
double timeBuildWith(HostAllocator allocator, const TreeCase& tree, FilterPrefs* prefs,
                     int64_t* entries) {
  FileFilterInfo info = benchHostInfo();
  if (allocator == HostAllocator::arena) {
    quindle_host_kit::AllocatorRules rules;
    rules.fromArena = true;
    quindle_host_kit::resetAllocator(rules);
  }
  const double start = Clock::now();
  FileDirectory* root = buildTree(info, prefs, tree.seed, tree.kernel);
  const double seconds = secondsSince(start);
  *entries = static_cast<int64_t>(quindle_host_kit::allocatorCounts().entries);
  quindle_host_kit::freeTree(root);
  return seconds;
}

// A tree built in a process of its own: this program run again with --fresh-tree.
double freshNanoseconds(HostAllocator allocator, const TreeCase& tree) {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return 0;
  self[length] = '\0';
  char command[4200];
  std::snprintf(command, sizeof command, "'%s' --fresh-tree %s %u %d %u", self,
                allocator == HostAllocator::arena ? "arena" : "heap", tree.maxFiles, tree.dirLevels,
                tree.seed);
  FILE* child = popen(command, "r");
  if (!child) return 0;
  double nanoseconds = 0;
  if (std::fscanf(child, "%lf", &nanoseconds) != 1) nanoseconds = 0;
  pclose(child);
  return nanoseconds;
}

// The two hosts take turns on the same tree; fresh processes are started once each.
void runHosts(benchmark::State& state, TreeCase tree) {
  FilterPrefs prefs = prefsFor(tree);
  int64_t entries = 0;
  std::vector<double> heap, arena;
  for (auto _ : state) {
    heap.push_back(timeBuildWith(HostAllocator::heap, tree, &prefs, &entries));
    arena.push_back(timeBuildWith(HostAllocator::arena, tree, &prefs, &entries));
    state.SetIterationTime(heap.back());
  }
  state.counters["items"] = static_cast<double>(entries);
  state.counters["heap warm"] = medianNanoseconds(heap);
  state.counters["arena warm"] = medianNanoseconds(arena);
  state.counters["heap fresh"] = freshNanoseconds(HostAllocator::heap, tree);
  state.counters["arena fresh"] = freshNanoseconds(HostAllocator::arena, tree);
}

}  // namespace

double buildOnceFresh(HostAllocator allocator, const TreeCase& tree) {
  FilterPrefs prefs = prefsFor(tree);
  int64_t entries = 0;
  return timeBuildWith(allocator, tree, &prefs, &entries) * 1e9;
}

void registerHostBenchmarks(const TreeCase& tree) {
  auto* benchmark = benchmark::RegisterBenchmark(("hosts|" + std::string(tree.label)).c_str(),
                                                 runHosts, tree);
  benchmark->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(tree.iterations);
}

void registerTreeBenchmarks(const TreeCase& tree) {
  std::string row = tree.label;
  if (tree.kernel) row += std::string(", ") + tree.kernel->name;
  auto* benchmark = benchmark::RegisterBenchmark(("builder|" + row).c_str(), runTree, tree);
  benchmark->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(tree.iterations);
}

void registerKernelTreeBenchmarks(const TreeCase& tree) {
  const quindle::KernelList kernels = quindle::availableKernels();
  for (int i = 0; i < kernels.count; ++i) {
    TreeCase forced = tree;
    forced.kernel = kernels.kernels[i];
    registerTreeBenchmarks(forced);
  }
}

}  // namespace quindle_bench
