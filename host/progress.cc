#include "host/progress.h"

#include <chrono>
#include <cstdio>

#include "host/console.h"

namespace quindle_host {

using namespace quindle_host_kit;
namespace {

constexpr double kQuietSeconds = 0.5;
constexpr double kSecondsBetweenLines = 0.1;

using Clock = std::chrono::steady_clock;

Clock::time_point started;
double lastShown = -1;
size_t shownWidth = 0;

double secondsSinceStart() {
  return std::chrono::duration<double>(Clock::now() - started).count();
}

void showProgress() {
  const double seconds = secondsSinceStart();
  if (!progressDue(seconds, lastShown)) return;
  lastShown = seconds;
  const std::string text = progressText(allocatorCounts(), seconds);
  // Padding covers whatever a longer line before left on the terminal.
  const size_t padding = shownWidth > text.size() ? shownWidth - text.size() : 0;
  std::fprintf(stderr, "\r%s%*s", text.c_str(), static_cast<int>(padding), "");
  std::fflush(stderr);
  if (text.size() > shownWidth) shownWidth = text.size();
}

}  // namespace

std::string progressText(const AllocatorCounts& counts, double seconds) {
  char text[160];
  std::snprintf(text, sizeof text, "quindle-host: %llu entries, %llu directories, %.0f MB, %.1f s",
                static_cast<unsigned long long>(counts.entries),
                static_cast<unsigned long long>(counts.directories),
                static_cast<double>(counts.bytes) / (1024.0 * 1024.0), seconds);
  return text;
}

bool progressDue(double seconds, double lastShownAt) {
  if (seconds < kQuietSeconds) return false;
  return lastShownAt < 0 || seconds - lastShownAt >= kSecondsBetweenLines;
}

void startProgress() {
  if (!isTerminal(stderr)) return;
  started = Clock::now();
  lastShown = -1;
  shownWidth = 0;
  setAllocationWatcher(showProgress);
}

void endProgress() {
  setAllocationWatcher(nullptr);
  if (shownWidth == 0) return;
  std::fprintf(stderr, "\r%*s\r", static_cast<int>(shownWidth), "");
  std::fflush(stderr);
  shownWidth = 0;
}

}  // namespace quindle_host
