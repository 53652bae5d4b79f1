#include <cstdio>
#include <thread>

#include "host/commands/command_table.h"
#include "host/disk/interruption.h"
#include "host/disk/tree_plan.h"
#include "host/disk/tree_writer.h"
#include "host/disk/write_target.h"
#include "host/filter_run.h"
#include "host/module_clock.h"
#include "host/print/module_text.h"
#include "host/progress.h"
#include "host_kit/directory_allocator.h"

namespace quindle_host {

using namespace quindle_host_kit;

const char kWriteHelp[] =
    "usage: quindle-host write DIR [--content sparse|zero|random] [--at SECONDS]\n"
    "                          [--max-entries N] [--quiet]\n"
    "\n"
    "Runs the filter once, like run, and creates the listing that comes back as the folder DIR:\n"
    "each directory entry a folder, every other entry a file of N x 1024 bytes for its size\n"
    "\"NKB\". DIR must not exist, or must be an empty folder: nothing of yours is ever deleted or\n"
    "overwritten. The tree is built in a hidden folder beside DIR (.DIR.quindle-partial-PID) and\n"
    "renamed into place only when it is whole; a failed or interrupted run removes it, and the\n"
    "next write to DIR removes one whose run was killed. The title is kept as DIR's extended\n"
    "attribute user.quindle.title where the file system takes one, and printed in the summary.\n"
    "\n"
    "  --content sparse    files have their length and no blocks (default)\n"
    "  --content zero      files are written with zero bytes\n"
    "  --content random    files are written with bytes drawn from the second and the entry's\n"
    "                      place in the tree: the same second, the same bytes\n"
    "  --at SECONDS        the listing the module makes at that clock second (seconds since\n"
    "                      1970, 0 to 4294967295); the summary names the second of every run\n"
    "  --max-entries N     refuse the module directories past N entries in all (as in run)\n"
    "  --quiet             no progress line and no summary\n"
    "\n"
    "Names on disk follow one rule everywhere, so that a tree written here can be copied to\n"
    "Windows: each of / \\ : * ? \" < > | and every byte below 0x20, or 0x7F, becomes _;\n"
    "trailing spaces and dots are removed; an empty name becomes _; a Windows device name (CON,\n"
    "PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any case, alone or before a dot) gets a\n"
    "leading _; and a name equal to an earlier one in its folder (ASCII letters compared\n"
    "without case) gets \" (2)\", \" (3)\", ..., the first number that makes it unique. On\n"
    "Windows names are read in the ANSI code page and written as UTF-16.\n"
    "\n"
    "Before anything is created the tree's files, and for zero and random content its bytes, are\n"
    "checked against the free space; a tree that does not fit is refused. Interrupted, the run\n"
    "removes what it made and ends with status 130 (SIGINT, Ctrl-C), 143 (SIGTERM, a console\n"
    "closed) or 129 (SIGHUP).\n";

namespace {

// A small tree is written in a moment by one thread; `make bench` measures the second thread's
// gain on large ones.
constexpr uint64_t kEntriesForTwoThreads = 20000;

struct WriteOptions {
  std::string dir;
  FileContent content = FileContent::sparse;
  bool quiet = false;
  FilterRunRequest request;
};

Taken takeWriteOption(Arguments& args, const std::string& option, WriteOptions* write) {
  if (option == "--content") {
    size_t chosen = 0;
    if (!takeChoice(args, {"sparse", "zero", "random"}, &chosen)) return Taken::refused;
    write->content = static_cast<FileContent>(chosen);
    return Taken::ok;
  }
  if (option == "--quiet") {
    write->quiet = true;
    return Taken::ok;
  }
  if (option == "--from") {
    reportError("write: --from is not taken: the tree written is the one the module makes");
    return Taken::refused;
  }
  if (option.empty() || option[0] != '-') {
    if (!write->dir.empty()) {
      reportError("write takes one folder, not \"" + write->dir + "\" and \"" + option + "\"");
      return Taken::refused;
    }
    write->dir = option;
    return Taken::ok;
  }
  return takeFilterRunOption(args, option, &write->request);
}

std::string megabytes(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

// Refuses, with its reason, a tree that the file system holding DIR has no room for.
bool fitsOnDisk(const WriteTarget& target, FileContent content, const TreePlan& plan,
                const DiskSpace& space, std::string* error) {
  const uint64_t made = plan.files + plan.folders + 1;  // the top folder too
  if (space.freeFiles > 0 && made > space.freeFiles) {
    *error = std::to_string(made) + " files and folders do not fit in " + target.shown + ": " +
             std::to_string(space.freeFiles) + " are free";
    return false;
  }
  const uint64_t bytes = content == FileContent::sparse ? (plan.folders + 1) * space.blockSize
                                                        : plan.blockBytes + space.blockSize;
  if (bytes > space.freeBytes) {
    *error = megabytes(bytes) + " do not fit in " + target.shown + ": " +
             megabytes(space.freeBytes) + " are free";
    return false;
  }
  return true;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string writingText(const std::string& shown, double seconds) {
  const WriteCounts counts = writtenSoFar();
  char text[200];
  std::snprintf(text, sizeof text,
                "quindle-host: writing %s: %llu files, %llu folders, %s, %.0f files/s",
                withoutControls(shown).c_str(), static_cast<unsigned long long>(counts.files),
                static_cast<unsigned long long>(counts.folders), megabytes(counts.bytes).c_str(),
                seconds > 0 ? static_cast<double>(counts.files) / seconds : 0.0);
  return text;
}

void printSummary(const WriteTarget& target, const FilterRunResult& result, int64_t second,
                  bool titleStored, uint64_t allocated, double seconds) {
  const WriteCounts counts = writtenSoFar();
  std::printf(
      "wrote %s: %llu files, %llu folders, %llu bytes (%llu allocated) in %.2f s, "
      "%.0f files/s; title \"%s\"%s; at %lld\n",
      withoutControls(target.shown).c_str(), static_cast<unsigned long long>(counts.files),
      static_cast<unsigned long long>(counts.folders),
      static_cast<unsigned long long>(counts.bytes), static_cast<unsigned long long>(allocated),
      seconds, seconds > 0 ? static_cast<double>(counts.files) / seconds : 0.0,
      withoutControls(result.title).c_str(),
      titleStored ? "" : " (not stored: the file system takes no extended attribute)",
      static_cast<long long>(second));
}

// Creates the tree of `result` as DIR; the exit status.
int writeListing(const WriteOptions& write, WriteTarget* target, const FilterRunResult& result,
                 int64_t second) {
  DiskSpace space;
  std::string error;
  if (!diskSpaceOf(*target, &space, &error)) {
    reportError("cannot tell the free space for " + target->shown + ": " + error);
    return kExitFailure;
  }
  const TreePlan plan = planTree(result.root, space.blockSize);
  if (!fitsOnDisk(*target, write.content, plan, space, &error)) {
    reportError(error);
    return kExitFailure;
  }
  catchInterruptions();
  removeAbandonedPartials(*target);
  if (interrupted() || !makePartial(target, &error)) {
    releaseInterruptions();
    if (interrupted()) return interruptionStatus();
    reportError("cannot write " + target->shown + ": " + error);
    return kExitFailure;
  }

  TreeWriting how;
  how.content = write.content;
  how.second = second;
  how.threads =
      std::thread::hardware_concurrency() >= 2 && plan.files + plan.folders >= kEntriesForTwoThreads
          ? 2
          : 1;
  how.shownTop = target->shown;
  how.stopRequested = interrupted;
  how.onProgress = showProgress;
  if (!write.quiet) {
    const std::string shown = target->shown;
    startProgress([shown](double seconds) { return writingText(shown, seconds); }, 0);
  }
  const auto start = std::chrono::steady_clock::now();
  WriteOutcome outcome;
  const bool written = writeTree(result.root, &target->partial, how, &outcome);
  // Once the tree is in place it is the user's: an interruption after that changes nothing.
  bool titleStored = false, inPlace = false;
  if (written && !interrupted()) {
    titleStored = storeTitle(*target, result.title);
    inPlace = finishTarget(target, &error);
    if (!inPlace) outcome.error = "cannot put the tree in place as " + target->shown + ": " + error;
  }
  const double seconds = secondsSince(start);
  endProgress();
  if (!inPlace && !removePartial(target, &error)) {
    outcome.error += (outcome.error.empty() ? "" : "; ") + std::string("could not remove ") +
                     target->partialName + ": " + error;
  }
  releaseInterruptions();
  if (!inPlace && interrupted()) {
    reportError("interrupted: nothing was written" +
                (outcome.error.empty() ? std::string() : " (" + outcome.error + ")"));
    return interruptionStatus();
  }
  if (!inPlace) {
    reportError(outcome.error.empty() ? "cannot write " + target->shown : outcome.error);
    return kExitFailure;
  }
  DiskSpace after;
  const uint64_t allocated =
      diskSpaceOf(*target, &after, &error) && after.freeBytes < space.freeBytes
          ? space.freeBytes - after.freeBytes
          : 0;
  if (!write.quiet) printSummary(*target, result, second, titleStored, allocated, seconds);
  return kExitOk;
}

}  // namespace

int writeCommand(const Command& command, HostOptions& options, Arguments& args) {
  WriteOptions write;
  const int status = readCommandOptions(
      args, command.name, command.help, &options,
      [&](const std::string& option) { return takeWriteOption(args, option, &write); });
  if (status != kGoOn) return status;
  if (write.dir.empty()) {
    reportError("write needs DIR, the folder to create (see quindle-host write --help)");
    return kExitUsage;
  }
  WriteTarget target;
  std::string error;
  if (!openTarget(write.dir, &target, &error)) {
    closeTarget(&target);
    reportError("write: cannot use " + write.dir + ": " + error);
    return kExitUsage;
  }
  // The host answers the module's clock whenever it can, so that every tree's second is known:
  // the summary names it, and random content is drawn from it.
  FilterRunRequest& request = write.request;
  if (!request.fixClock) {
    request.fixClock = true;
    request.second = calendarSecondsNow();
  }
  completeFilterRunRequest(&request);
  prepareHostTrees(request);
  FileDirectory* hostTree = allocDirectory(0);
  FilterRunResult result;
  int ran = hostTree ? runFilterOnce(options, request, hostTree, &result) : kExitFailure;
  if (!hostTree) reportError("not enough memory for an empty directory");
  if (ran == kExitOk && result.hostTreeReturned && !write.quiet) {
    reportError("note: the filter is disabled, so " + write.dir +
                " will be an empty folder (quindle-host settings --enable)");
  }
  if (ran == kExitOk) {
    const int64_t second = result.clockFixed ? request.second : calendarSecondsNow();
    ran = writeListing(write, &target, result, second);
    if (ran == kExitOk) ran = filterRunStatus(request, result);
    freeTree(result.root);
  }
  closeTarget(&target);
  return ran;
}

}  // namespace quindle_host
