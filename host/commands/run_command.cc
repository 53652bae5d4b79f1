#include <cstdint>
#include <cstdio>

#include "host/commands/command_table.h"
#include "host/console.h"
#include "host/file_system.h"
#include "host/filter_run.h"
#include "host/folder_listing.h"
#include "host/print/json_printer.h"
#include "host/print/stats_printer.h"
#include "host/print/tree_printer.h"
#include "host_kit/directory_allocator.h"

namespace quindle_host {

using namespace quindle_host_kit;

const char kRunHelp[] =
    "usage: quindle-host run [--from DIR] [--title-length N] [--format tree|json|stats]\n"
    "                        [--charset utf-8|ascii] [--at SECONDS] [--max-entries N]\n"
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
    "  --at SECONDS        the listing the module makes at that clock second (seconds since\n"
    "                      1970, 0 to 4294967295): the same second, the same listing\n"
    "  --max-entries N     refuse the module directories past N entries in all (default: as\n"
    "                      many as fill half of the memory); the listing is then cut short\n";

namespace {

constexpr uint64_t kMaxTitleLength = 65536;

enum class Format { tree, json, stats };  // in the order --format names them

struct RunOptions {
  std::string from;
  bool listFolder = false;
  Format format = Format::tree;
  bool asciiLines = !terminalTakesUtf8();
  FilterRunRequest request;
};

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
  size_t chosen = 0;
  bool ok = true;
  if (option == "--from") {
    ok = readFrom(args, run);
  } else if (option == "--title-length") {
    ok = takeValue(args, &value) &&
         parseNumber(value, option, 1, kMaxTitleLength, &run->request.titleLength);
  } else if (option == "--format") {
    ok = takeChoice(args, {"tree", "json", "stats"}, &chosen);
    if (ok) run->format = static_cast<Format>(chosen);
  } else if (option == "--charset") {
    ok = takeChoice(args, {"utf-8", "ascii"}, &chosen);
    if (ok) run->asciiLines = chosen == 1;
  } else {
    return takeFilterRunOption(args, option, &run->request);
  }
  return ok ? Taken::ok : Taken::refused;
}

void printListing(const RunOptions& run, const FilterRunResult& result) {
  switch (run.format) {
    case Format::json: printJson(stdout, result.title, result.root, result.stats); return;
    case Format::stats: {
      RunFigures figures;
      figures.moduleSeconds = result.moduleSeconds;
      figures.loadSeconds = result.setupSeconds;
      figures.dictionaryNamed = result.dictionaryNamed;
      figures.moduleBuilt = !result.hostTreeReturned;
      figures.entryBudget = run.request.entryBudget;
      figures.budgetChosen = run.request.budgetChosen;
      printStats(stdout, result.stats, figures);
      return;
    }
    case Format::tree: break;
  }
  printTree(stdout, run.asciiLines ? kAsciiLines : kUtf8Lines, result.title, result.root,
            result.stats);
}

}  // namespace

int runCommand(const Command& command, HostOptions& options, Arguments& args) {
  RunOptions run;
  const int status = readCommandOptions(args, command.name, command.help, &options,
                                        [&](const std::string& option) {
                                          return takeRunOption(args, option, &run);
                                        });
  if (status != kGoOn) return status;
  completeFilterRunRequest(&run.request);
  prepareHostTrees(run.request);

  std::string error;
  bool incomplete = false;  // like ls -R: what could be read is shown, and the status says the rest
  FileDirectory* hostTree =
      run.listFolder ? listFolder(run.from, &error, &incomplete) : allocDirectory(0);
  if (!hostTree) {
    if (allocatorCounts().refusedOverBudget > 0) {
      error = "the budget of " + std::to_string(run.request.entryBudget) +
              " entries is too small for the host's tree";
    }
    reportError(error.empty() ? "not enough memory for an empty directory" : error);
    return kExitFailure;
  }
  run.request.hostTitle = run.from;
  FilterRunResult result;
  const int ran = runFilterOnce(options, run.request, hostTree, &result);
  if (ran != kExitOk) return ran;
  printListing(run, result);
  freeTree(result.root);
  return incomplete ? kExitFailure : filterRunStatus(run.request, result);
}

}  // namespace quindle_host
