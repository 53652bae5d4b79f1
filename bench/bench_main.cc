// `make bench`: the listing and the word table at memory speed, and writing a tree to disk at
// the file system's, printed as one table. Set QUINDLE_BENCH_DEEP=1 to add the 13-level tree
// (about 1.4 GB of host memory).
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_host.h"
#include "bench_table.h"
#include "listing_bench.h"
#include "other_build.h"
#include "write_bench.h"
#include "word_table_bench.h"

using namespace quindle_bench;

namespace {

const char kWordList[] = "/usr/share/dict/american-english";  // Debian's wamerican

bool fileExists(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (file) std::fclose(file);
  return file != nullptr;
}

// The build folder this program sits in (build/<preset>).
std::string buildFolder() {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path(self, length > 0 ? static_cast<size_t>(length) : 0);
  for (int up = 0; up < 2 && path.rfind('/') != std::string::npos; ++up) path.resize(path.rfind('/'));
  return path.empty() ? "." : path;
}

// --fresh-tree heap|arena MAXFILES LEVELS SEED: one tree in this fresh process, its ns printed.
int buildFreshTree(char** argv) {
  const HostAllocator allocator =
      std::string(argv[2]) == "arena" ? HostAllocator::arena : HostAllocator::heap;
  TreeCase tree{"fresh", static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)),
                static_cast<int32_t>(std::strtol(argv[4], nullptr, 10)),
                static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 10)), nullptr, 1};
  keepFreedMemory();
  std::printf("%.0f\n", buildOnceFresh(allocator, tree));
  return 0;
}

// Each kernel this processor runs, on the same trees, for random letters and for dictionary names.
void registerKernelRows(bool haveWordList) {
  // Seeds picked so that each tree is close to the expected size for its settings.
  registerKernelTreeBenchmarks({"100 files, 10 levels, letters", 100, 10, 1765224012u, nullptr, 11});
  if (haveWordList) {
    registerKernelTreeBenchmarks({"100 files, 10 levels, wamerican", 100, 10, 1765224012u, kWordList, 11});
  }
}

// The kernel rows alone, printed for the build that runs this one (other_build.h).
int printKernelRows(int argc, char** argv) {
  keepFreedMemory();
  benchmark::Initialize(&argc, argv);
  registerKernelRows(fileExists(kWordList));
  TableReporter rows(true);
  benchmark::RunSpecifiedBenchmarks(&rows);
  benchmark::Shutdown();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::string(argv[1]) == "--fresh-tree") return buildFreshTree(argv);
  if (argc == 2 && std::string(argv[1]) == kRowsFlag) return printKernelRows(argc - 1, argv);
  keepFreedMemory();
  benchmark::Initialize(&argc, argv);
  const bool haveWordList = fileExists(kWordList);
  const char* deep = std::getenv("QUINDLE_BENCH_DEEP");

  // Seeds picked so that each tree is close to the expected size for its settings.
  registerTreeBenchmarks({"100 files, 2 levels (the defaults)", 100, 2, 1765224041u, nullptr, 301});
  registerKernelRows(haveWordList);
  registerHostBenchmarks({"100 files, 10 levels", 100, 10, 1765224012u, nullptr, 11});
  if (deep && deep[0] == '1') {
    registerTreeBenchmarks({"100 files, 13 levels", 100, 13, 1765224012u, nullptr, 3});
    registerHostBenchmarks({"100 files, 13 levels", 100, 13, 1765224012u, nullptr, 3});
  }

  if (haveWordList) registerWordTableBenchmarks("wamerican", kWordList);
  const char* tmp = std::getenv("TMPDIR");
  const std::string generated = std::string(tmp ? tmp : "/tmp") + "/quindle-bench-1m-lines.txt";
  if (writeGeneratedDictionary(generated, 1000000)) {
    registerWordTableBenchmarks("generated, 1,000,000 lines", generated);
  }
  if (!haveWordList) std::fprintf(stderr, "bench: %s is missing (Debian's wamerican)\n", kWordList);

  // Writing trees: in memory (tmpfs), then on the disk that holds the build. Each writer writes
  // the smaller tree 5 times in memory and 3 times on the disk, the larger 3 times in memory and
  // once on the disk, where every tree stays until the end; QUINDLE_BENCH_TURNS=N sets them all.
  const char* turns = std::getenv("QUINDLE_BENCH_TURNS");
  auto turnsOr = [turns](int usual) { return turns ? std::atoi(turns) : usual; };
  const std::string pid = std::to_string(getpid());
  const std::string memory = "/dev/shm/quindle-write-bench-" + pid;
  const std::string disk = buildFolder() + "/write-bench-" + pid;
  registerWriteBenchmarks({memory, 100000, turnsOr(5)}, "/dev/shm");
  registerWriteBenchmarks({memory, 1000000, turnsOr(3)}, "/dev/shm");
  registerWriteBenchmarks({disk, 100000, turnsOr(3)}, "build folder");
  registerWriteBenchmarks({disk, 1000000, turnsOr(1)}, "build folder");

  TableReporter table;
#if defined(QUINDLE_BENCH_32_BIT_BUILD)
  addThirtyTwoBitRows(QUINDLE_BENCH_32_BIT_BUILD, &table);
#endif
  benchmark::RunSpecifiedBenchmarks(&table);
  benchmark::Shutdown();
  std::remove(generated.c_str());
  removeWrittenTrees();
  return 0;
}
