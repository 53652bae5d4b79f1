#include "host/filter_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "host/command_line.h"
#include "host/file_system.h"
#include "host/machine_memory.h"
#include "host/module_clock.h"
#include "host/module_session.h"
#include "host/print/module_text.h"
#include "host/progress.h"
#include "host_kit/directory_allocator.h"

namespace quindle_host {

using namespace quindle_host_kit;
namespace {

constexpr double kSlowSeconds = 1.0;

// When the module first asked the host for a directory during the run under way.
std::chrono::steady_clock::time_point firstDirectoryAsked;

// The host's allocDirectory, noting when the module first calls it.
FileDirectory* QUINDLE_CALL allocNotingTheFirst(int32_t count) {
  if (firstDirectoryAsked == std::chrono::steady_clock::time_point()) {
    firstDirectoryAsked = std::chrono::steady_clock::now();
  }
  return allocDirectory(count);
}

const char* plural(uint64_t count, const char* one, const char* many) {
  return count == 1 ? one : many;
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

Taken takeFilterRunOption(Arguments& args, const std::string& option, FilterRunRequest* request) {
  std::string value;
  uint64_t number = 0;
  bool ok = true;
  if (option == "--at") {
    ok = takeValue(args, &value) && parseNumber(value, option, 0, kLatestSecond, &number);
    request->fixClock = request->clockRequired = true;
    request->second = static_cast<int64_t>(number);
  } else if (option == "--max-entries") {
    ok = takeValue(args, &value) && parseNumber(value, option, 0, INT64_MAX, &request->entryBudget);
    request->budgetChosen = true;
  } else {
    return Taken::unknown;
  }
  return ok ? Taken::ok : Taken::refused;
}

void completeFilterRunRequest(FilterRunRequest* request) {
  if (!request->budgetChosen) request->entryBudget = defaultEntryBudget();
}

uint64_t defaultEntryBudget() {
  const uint64_t memory = usableMemoryBytes();
  return memory ? memory / 2 / sizeof(FileEntry) : UINT64_MAX;
}

void prepareHostTrees(const FilterRunRequest& request) {
  // The host holds one tree at a time: its own, then the module's.
  AllocatorRules rules;
  rules.fromArena = true;
  rules.entryBudget = request.entryBudget;
  resetAllocator(rules);
}

int runFilterOnce(const HostOptions& options, const FilterRunRequest& request,
                  FileDirectory* hostTree, FilterRunResult* result) {
  std::vector<char> title(request.titleLength, '\0');
  // Cut as the host cuts names: never inside a character.
  const std::string hostTitle = cutToWholeCharacters(request.hostTitle, title.size() - 1);
  hostTitle.copy(title.data(), hostTitle.size());
  ModuleSession session;
  const int started = startSession(options, &session);
  if (started != kExitOk) {
    freeTree(hostTree);
    return started;
  }
  std::string error;
  if (request.fixClock) {
    result->clockFixed = fixModuleClock(session.module, request.second, &error);
    if (!result->clockFixed && request.clockRequired) {
      endSession(&session);
      freeTree(hostTree);
      reportError("--at: " + error);
      return kExitFailure;
    }
  }
  const AllocatorCounts before = allocatorCounts();
  startListingProgress();
  const auto start = std::chrono::steady_clock::now();
  firstDirectoryAsked = std::chrono::steady_clock::time_point();
  session.info.allocDirectory = allocNotingTheFirst;
  FileDirectory* root = session.module.execute(&session.info, hostTree, title.data(),
                                               static_cast<int32_t>(title.size()));
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  endProgress();
  result->dictionaryNamed = session.info.userData && session.info.userData->dictionaryPath[0] != '\0';
  result->settingsStored = endSession(&session) == kExitOk;
  const AllocatorCounts after = allocatorCounts();
  if (!root) {
    reportError("the module returned no listing (the host ran out of memory?)");
    return kExitFailure;
  }

  result->root = root;
  result->stats = measureTree(root);
  const uint64_t entries = result->stats.directories + result->stats.files;
  if (took.count() > kSlowSeconds) {
    std::fprintf(stderr, "quindle-host: the module returned %llu %s in %.1f s\n",
                 static_cast<unsigned long long>(entries), plural(entries, "entry", "entries"),
                 took.count());
  }
  reportRefusals(before, after, request.entryBudget, entries);
  // The module hands the host's own tree back to be freed while it works; that is the host's time.
  const double freeing = after.secondsFreeing - before.secondsFreeing;
  result->moduleSeconds = took.count() - freeing;
  // An enabled filter gives the host's tree back to be freed before it builds its own.
  result->hostTreeReturned = after.freeTreeCalls == before.freeTreeCalls;
  // Before its first directory the module loads the dictionary (and hands back the host's tree,
  // which is the host's time): what a listing costs per entry comes after.
  if (!result->hostTreeReturned && firstDirectoryAsked != std::chrono::steady_clock::time_point()) {
    const std::chrono::duration<double> setup = firstDirectoryAsked - start;
    result->setupSeconds = std::max(0.0, setup.count() - freeing);
  }
  result->title = moduleTextToUtf8(title.data(), title.size());
  result->cutForMemory = after.refusedNoMemory > before.refusedNoMemory;
  result->cutAtBudget = after.refusedOverBudget > before.refusedOverBudget;
  return kExitOk;
}

int filterRunStatus(const FilterRunRequest& request, const FilterRunResult& result) {
  const bool cut = result.cutForMemory || (result.cutAtBudget && !request.budgetChosen);
  return cut || !result.settingsStored ? kExitFailure : kExitOk;
}

}  // namespace quindle_host
