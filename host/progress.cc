#include "host/progress.h"

#include <chrono>
#include <cstdio>

#include "host/console.h"

namespace quindle_host {

using namespace quindle_host_kit;
namespace {

constexpr double kListingQuietSeconds = 0.5;
constexpr double kSecondsBetweenLines = 0.1;
// Reading the clock costs more than the rest of a call: it is read once every this many calls.
constexpr unsigned kCallsBetweenClockReadings = 64;

using Clock = std::chrono::steady_clock;

bool following = false;
ProgressText textNow;
double quiet = 0;
Clock::time_point started;
double lastShown = -1;
size_t shownWidth = 0;
unsigned callsSinceReading = 0;

}  // namespace

void startProgress(ProgressText text, double quietSeconds) {
  if (!isTerminal(stderr)) return;
  following = true;
  textNow = std::move(text);
  quiet = quietSeconds;
  started = Clock::now();
  lastShown = -1;
  shownWidth = 0;
  callsSinceReading = kCallsBetweenClockReadings;  // the first call reads the clock
}

void showProgress() {
  if (!following || ++callsSinceReading < kCallsBetweenClockReadings) return;
  callsSinceReading = 0;
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  if (!progressDue(seconds, lastShown, quiet)) return;
  lastShown = seconds;
  const std::string text = textNow(seconds);
  // Padding covers whatever a longer line before left on the terminal.
  const size_t padding = shownWidth > text.size() ? shownWidth - text.size() : 0;
  std::fprintf(stderr, "\r%s%*s", text.c_str(), static_cast<int>(padding), "");
  std::fflush(stderr);
  if (text.size() > shownWidth) shownWidth = text.size();
}

void endProgress() {
  setAllocationWatcher(nullptr);
  following = false;
  textNow = nullptr;
  if (shownWidth == 0) return;
  std::fprintf(stderr, "\r%*s\r", static_cast<int>(shownWidth), "");
  std::fflush(stderr);
  shownWidth = 0;
}

void startListingProgress() {
  startProgress([](double seconds) { return listingProgressText(allocatorCounts(), seconds); },
                kListingQuietSeconds);
  setAllocationWatcher(showProgress);
}

std::string listingProgressText(const AllocatorCounts& counts, double seconds) {
  char text[160];
  std::snprintf(text, sizeof text, "quindle-host: %llu entries, %llu directories, %.0f MB, %.1f s",
                static_cast<unsigned long long>(counts.entries),
                static_cast<unsigned long long>(counts.directories),
                static_cast<double>(counts.bytes) / (1024.0 * 1024.0), seconds);
  return text;
}

bool progressDue(double seconds, double lastShownAt, double quietSeconds) {
  if (seconds < quietSeconds) return false;
  return lastShownAt < 0 || seconds - lastShownAt >= kSecondsBetweenLines;
}

}  // namespace quindle_host
