// One run of the filter, as `run` and `write` do it: the host's allocator set up with an entry
// budget, the host's tree handed to the module, the tree that comes back measured, and what a
// user must know about it said on stderr (a listing cut short by the host's refusals, a slow
// module). The module can be made to read a chosen second from its clock (module_clock.h).
#ifndef QUINDLE_HOST_FILTER_RUN_H
#define QUINDLE_HOST_FILTER_RUN_H

#include <cstdint>
#include <string>
#include <vector>

#include "filter/filter_api.h"
#include "host/global_options.h"
#include "host/print/tree_stats.h"

namespace quindle_host {

struct FilterRunRequest {
  uint64_t entryBudget = 0;
  bool budgetChosen = false;  // the user's own --max-entries: a cut listing is what they asked
  bool fixClock = false;
  bool clockRequired = false;  // the second was the user's own --at: not reaching the clock fails
  int64_t second = 0;
  uint64_t titleLength = 64;
  std::string hostTitle;  // cut to the buffer
};

struct FilterRunResult {
  FileDirectory* root = nullptr;  // the host's to free with freeTree
  std::string title;              // UTF-8
  TreeStats stats;
  double moduleSeconds = 0;  // without the host freeing its own tree meanwhile
  double setupSeconds = 0;   // of those, before the module asked for its first directory
  bool dictionaryNamed = false;  // whether the instance's settings name a dictionary
  bool clockFixed = false;
  bool hostTreeReturned = false;  // the module handed the host's tree back: a disabled filter
  bool cutForMemory = false;  // the host ran out of memory for a directory: always a failure
  bool cutAtBudget = false;   // the entry budget refused one: a failure unless it was the user's
  bool settingsStored = true;
};

// The command's exit status once the listing is shown: kExitOk, or kExitFailure where the run
// was done only in part (cut short other than by the user's own budget, settings not stored).
int filterRunStatus(const FilterRunRequest& request, const FilterRunResult& result);

// Takes the options `run` and `write` share (--at, --max-entries) into `request`.
Taken takeFilterRunOption(Arguments& args, const std::string& option, FilterRunRequest* request);

// Fills in what the command line left to the host: the default budget.
void completeFilterRunRequest(FilterRunRequest* request);

// As many entries as fill half of the memory the host can use.
uint64_t defaultEntryBudget();

// Sets the host's allocator up for the request; the host's own tree is built after this.
void prepareHostTrees(const FilterRunRequest& request);

// Runs the filter once over `hostTree`, which it takes; kExitOk, or the exit status after one
// line on stderr (with no tree left held).
int runFilterOnce(const HostOptions& options, const FilterRunRequest& request,
                  FileDirectory* hostTree, FilterRunResult* result);

}  // namespace quindle_host

#endif
