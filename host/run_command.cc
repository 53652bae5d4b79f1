#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "host/commands.h"
#include "host/folder_listing.h"
#include "host/host_tree.h"
#include "host/json_printer.h"
#include "host/module_text.h"
#include "host/tree_printer.h"
#include "host/tree_stats.h"

namespace quindle_host {
namespace {

constexpr char kRunHelp[] =
    "usage: quindle-host run [--from DIR] [--title-length N] [--format tree|json|stats]\n"
    "\n"
    "Runs the filter once. The host's own tree is empty, or the listing of DIR with DIR as its\n"
    "title; an enabled filter replaces it with a generated listing and title, a disabled one\n"
    "hands it back unchanged. The tree that comes back is printed.\n"
    "\n"
    "  --from DIR          list DIR (names, sizes in KB, subfolders) as the host's tree\n"
    "  --title-length N    size of the title buffer in bytes, 1 to 65536 (default 64)\n"
    "  --format tree       the title, an indented tree and a summary (default)\n"
    "  --format json       one UTF-8 JSON document: title, counts and nested entries\n"
    "  --format stats      only the counts, the deepest level and the module's time\n";

constexpr uint64_t kMaxTitleLength = 65536;
constexpr double kSlowSeconds = 1.0;

enum class Format { tree, json, stats };

struct RunOptions {
  std::string from;
  bool listFolder = false;
  uint64_t titleLength = 64;
  Format format = Format::tree;
};

// kExitOk to go on; otherwise the command stops (see kHelpShown).
int readRunOptions(Arguments& args, RunOptions* run) {
  while (hasMore(args)) {
    const std::string option = take(args);
    std::string value;
    if (option == "--help" || option == "-h") {
      std::fputs(kRunHelp, stdout);
      return kHelpShown;
    } else if (option == "--from") {
      if (!takeValue(args, option, &run->from)) return kExitUsage;
      run->listFolder = true;
    } else if (option == "--title-length") {
      if (!takeValue(args, option, &value) ||
          !parseNumber(value, option, 1, kMaxTitleLength, &run->titleLength)) {
        return kExitUsage;
      }
    } else if (option == "--format") {
      if (!takeValue(args, option, &value)) return kExitUsage;
      if (value == "tree") {
        run->format = Format::tree;
      } else if (value == "json") {
        run->format = Format::json;
      } else if (value == "stats") {
        run->format = Format::stats;
      } else {
        reportError("--format takes tree, json or stats, not \"" + value + "\"");
        return kExitUsage;
      }
    } else {
      return unknownOption("run", option);
    }
  }
  return kExitOk;
}

bool printStats(const TreeStats& stats, double moduleSeconds) {
  const uint64_t entries = stats.directories + stats.files;
  std::printf(
      "directories: %llu\nfiles: %llu\nentries: %llu\ndeepest level: %d\nmodule time: %.3f s\n",
      static_cast<unsigned long long>(stats.directories),
      static_cast<unsigned long long>(stats.files), static_cast<unsigned long long>(entries),
      stats.deepestLevel, moduleSeconds);
  // Includes the host's own allocations and the release of the tree it handed over.
  if (entries > 0) std::printf("per entry: %.1f ns\n", moduleSeconds * 1e9 / static_cast<double>(entries));
  return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

bool printListing(const RunOptions& run, const std::string& title, const FileDirectory* root,
                  const TreeStats& stats, double moduleSeconds) {
  switch (run.format) {
    case Format::json: return printJson(stdout, title, root, stats);
    case Format::stats: return printStats(stats, moduleSeconds);
    case Format::tree: break;
  }
  return printTree(stdout, title, root, stats);
}

}  // namespace

int runCommand(const HostOptions& options, Arguments& args) {
  RunOptions run;
  const int status = readRunOptions(args, &run);
  if (status != kExitOk) return status == kHelpShown ? kExitOk : status;

  std::string error;
  FileDirectory* root = run.listFolder ? listFolder(run.from, &error) : hostAllocDirectory(0);
  if (!root) {
    reportError(error.empty() ? "not enough memory for an empty directory" : error);
    return kExitFailure;
  }
  std::vector<char> title(run.titleLength, '\0');
  run.from.copy(title.data(), title.size() - 1);

  ModuleSession session;
  if (!startSession(options, &session)) {
    hostFreeTree(root);
    return kExitFailure;
  }
  const auto started = std::chrono::steady_clock::now();
  root = session.exports.execute(&session.info, root, title.data(),
                                 static_cast<int32_t>(title.size()));
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  endSession(&session);
  if (!root) {
    reportError("the module returned no listing (the host ran out of memory?)");
    return kExitFailure;
  }

  const TreeStats stats = measureTree(root);
  if (took.count() > kSlowSeconds) {
    std::fprintf(stderr, "quindle-host: the module returned %llu entries in %.1f s\n",
                 static_cast<unsigned long long>(stats.directories + stats.files), took.count());
  }
  const bool printed =
      printListing(run, moduleTextToUtf8(title.data(), title.size()), root, stats, took.count());
  hostFreeTree(root);
  if (!printed) {
    reportError("cannot write the listing to standard output");
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace quindle_host
