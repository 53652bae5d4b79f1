#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "host/commands.h"
#include "host/console.h"
#include "host/file_system.h"
#include "host/folder_listing.h"
#include "host_kit/directory_allocator.h"
#include "host/json_printer.h"
#include "host/machine_memory.h"
#include "host/module_text.h"
#include "host/progress.h"
#include "host/tree_printer.h"
#include "host/tree_stats.h"

namespace quindle_host {

using namespace quindle_host_kit;
namespace {

constexpr char kRunHelp[] =
    "usage: quindle-host run [--from DIR] [--title-length N] [--format tree|json|stats]\n"
    "                        [--charset utf-8|ascii] [--max-entries N]\n"
    "\n"
    "Runs the filter once. The host's own tree is empty, or the listing of DIR with DIR as its\n"
    "title; an enabled filter replaces it with a generated listing and title, a disabled one\n"
    "hands it back unchanged. The tree that comes back is printed.\n"
    "\n"
    "  --from DIR          list DIR (names, sizes in KB, subfolders) as the host's tree\n"
    "  --title-length N    size of the title buffer in bytes, 1 to 65536 (default 64)\n"
    "  --format tree       the title, an indented tree and a summary (default)\n"
    "  --format json       one UTF-8 JSON document: title, counts and nested entries\n"
    "  --format stats      only the counts, the deepest level and the module's time\n"
    "  --charset CHARSET   the tree's lines in utf-8 or ascii (default: the locale's)\n"
    "  --max-entries N     refuse the module directories past N entries in all (default: as\n"
    "                      many as fill half of the memory); the listing is then cut short\n";

constexpr uint64_t kMaxTitleLength = 65536;
constexpr uint64_t kMaxMaxEntries = INT64_MAX;
constexpr double kSlowSeconds = 1.0;

enum class Format { tree, json, stats };

struct RunOptions {
  std::string from;
  bool listFolder = false;
  uint64_t titleLength = 64;
  Format format = Format::tree;
  bool asciiLines = !terminalTakesUtf8();
  uint64_t maxEntries = 0;
  bool maxEntriesChosen = false;
};

bool readChoice(Arguments& args, const std::string& option, const char* first, const char* second,
                bool* isSecond) {
  std::string value;
  if (!takeValue(args, &value)) return false;
  if (value != first && value != second) {
    reportError(option + " takes " + first + " or " + second + ", not \"" + value + "\"");
    return false;
  }
  *isSecond = value == second;
  return true;
}

bool readFormat(Arguments& args, Format* format) {
  std::string value;
  if (!takeValue(args, &value)) return false;
  if (value == "tree") {
    *format = Format::tree;
  } else if (value == "json") {
    *format = Format::json;
  } else if (value == "stats") {
    *format = Format::stats;
  } else {
    reportError("--format takes tree, json or stats, not \"" + value + "\"");
    return false;
  }
  return true;
}

// The folder is looked at now, so that an unusable one is refused like any wrong option.
bool readFrom(Arguments& args, RunOptions* run) {
  if (!takeValue(args, &run->from)) return false;
  OpenFolder folder;
  std::string reason;
  const bool usable = !run->from.empty() && openFolder(run->from, &folder, &reason);
  closeFolder(&folder);
  if (!usable) {
    reportError("--from: cannot list \"" + run->from + "\": " +
                (run->from.empty() ? "no folder named" : reason));
    return false;
  }
  run->listFolder = true;
  return true;
}

Taken takeRunOption(Arguments& args, const std::string& option, RunOptions* run) {
  std::string value;
  bool ok = true;
  if (option == "--from") {
    ok = readFrom(args, run);
  } else if (option == "--title-length") {
    ok = takeValue(args, &value) && parseNumber(value, option, 1, kMaxTitleLength, &run->titleLength);
  } else if (option == "--format") {
    ok = readFormat(args, &run->format);
  } else if (option == "--charset") {
    ok = readChoice(args, option, "utf-8", "ascii", &run->asciiLines);
  } else if (option == "--max-entries") {
    ok = takeValue(args, &value) && parseNumber(value, option, 0, kMaxMaxEntries, &run->maxEntries);
    run->maxEntriesChosen = true;
  } else {
    return Taken::unknown;
  }
  return ok ? Taken::ok : Taken::refused;
}

// As many entries as fill half of the memory the host can use.
uint64_t defaultEntryBudget() {
  const uint64_t memory = usableMemoryBytes();
  return memory ? memory / 2 / sizeof(FileEntry) : UINT64_MAX;
}

const char* plural(uint64_t count, const char* one, const char* many) {
  return count == 1 ? one : many;
}

bool printStats(const TreeStats& stats, double listingSeconds) {
  const uint64_t entries = stats.directories + stats.files;
  std::printf(
      "directories: %llu\nfiles: %llu\nentries: %llu\ndeepest level: %d\nmodule time: %.3f s\n",
      static_cast<unsigned long long>(stats.directories),
      static_cast<unsigned long long>(stats.files), static_cast<unsigned long long>(entries),
      stats.deepestLevel, listingSeconds);
  if (entries > 0) {
    std::printf("per entry: %.1f ns\n", listingSeconds * 1e9 / static_cast<double>(entries));
  }
  return std::fflush(stdout) == 0;
}

void printListing(const RunOptions& run, const std::string& title, const FileDirectory* root,
                  const TreeStats& stats, double listingSeconds) {
  switch (run.format) {
    case Format::json: printJson(stdout, title, root, stats); return;
    case Format::stats: printStats(stats, listingSeconds); return;
    case Format::tree: break;
  }
  printTree(stdout, run.asciiLines ? kAsciiLines : kUtf8Lines, title, root, stats);
}

// Says, when the host refused the module directories during the run, that the listing it got is
// cut short (the module turns each refused directory into a plain file).
void reportRefusals(const AllocatorCounts& before, const AllocatorCounts& after, uint64_t budget,
                    uint64_t entries) {
  const uint64_t overBudget = after.refusedOverBudget - before.refusedOverBudget;
  const uint64_t noMemory = after.refusedNoMemory - before.refusedNoMemory;
  if (overBudget + noMemory == 0) return;
  std::string why;
  if (overBudget > 0) {
    why = std::to_string(overBudget) + " at the budget of " + std::to_string(budget) +
          plural(budget, " entry", " entries");
  }
  if (noMemory > 0) {
    why += (why.empty() ? "" : ", ") + std::to_string(noMemory) + " for want of memory";
  }
  reportError("the listing is cut short: the host refused " +
              std::to_string(overBudget + noMemory) +
              plural(overBudget + noMemory, " directory (", " directories (") + why +
              "); it holds " + std::to_string(entries) + plural(entries, " entry", " entries"));
}

}  // namespace

int runCommand(HostOptions& options, Arguments& args) {
  RunOptions run;
  const int status = readCommandOptions(args, "run", kRunHelp, &options,
                                        [&](const std::string& option) {
                                          return takeRunOption(args, option, &run);
                                        });
  if (status != kGoOn) return status;
  // The host holds one tree at a time: its own, then the module's.
  const uint64_t budget = run.maxEntriesChosen ? run.maxEntries : defaultEntryBudget();
  AllocatorRules rules;
  rules.fromArena = true;
  rules.entryBudget = budget;
  resetAllocator(rules);

  std::string error;
  FileDirectory* root = run.listFolder ? listFolder(run.from, &error) : allocDirectory(0);
  if (!root) {
    if (allocatorCounts().refusedOverBudget > 0) {
      error = "the budget of " + std::to_string(budget) + " entries is too small for the host's tree";
    }
    reportError(error.empty() ? "not enough memory for an empty directory" : error);
    return kExitFailure;
  }
  std::vector<char> title(run.titleLength, '\0');
  run.from.copy(title.data(), title.size() - 1);

  ModuleSession session;
  const int started = startSession(options, &session);
  if (started != kExitOk) {
    freeTree(root);
    return started;
  }
  const AllocatorCounts before = allocatorCounts();
  startProgress();
  const auto start = std::chrono::steady_clock::now();
  root = session.module.execute(&session.info, root, title.data(),
                                 static_cast<int32_t>(title.size()));
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  endProgress();
  endSession(&session);
  const AllocatorCounts after = allocatorCounts();
  if (!root) {
    reportError("the module returned no listing (the host ran out of memory?)");
    return kExitFailure;
  }

  const TreeStats stats = measureTree(root);
  const uint64_t entries = stats.directories + stats.files;
  if (took.count() > kSlowSeconds) {
    std::fprintf(stderr, "quindle-host: the module returned %llu %s in %.1f s\n",
                 static_cast<unsigned long long>(entries), plural(entries, "entry", "entries"),
                 took.count());
  }
  reportRefusals(before, after, budget, entries);
  // The module hands the host's own tree back to be freed while it works; that is the host's time.
  const double listingSeconds = took.count() - (after.secondsFreeing - before.secondsFreeing);
  printListing(run, moduleTextToUtf8(title.data(), title.size()), root, stats, listingSeconds);
  freeTree(root);
  const bool cut = after.refusedOverBudget + after.refusedNoMemory >
                   before.refusedOverBudget + before.refusedNoMemory;
  // A budget the user chose did what they asked; any other cut is a failure to list.
  return cut && !run.maxEntriesChosen ? kExitFailure : kExitOk;
}

}  // namespace quindle_host
