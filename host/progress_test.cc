#include "host/progress.h"

#include <gtest/gtest.h>

namespace quindle_host {
namespace {

TEST(Progress, ShowsNothingInTheQuietTimeThenAtMostTenLinesASecond) {
  struct Case {
    double seconds, lastShown, quiet;
    bool due;
  };
  const Case cases[] = {
      {0.0, -1, 0.5, false},  {0.49, -1, 0.5, false},  {0.5, -1, 0.5, true},
      {3.0, -1, 0.5, true},   {0.55, 0.5, 0.5, false}, {0.61, 0.5, 0.5, true},
      {10.0, 9.95, 0.5, false}, {10.0, 9.89, 0.5, true}, {0.0, -1, 0, true},
      {0.05, 0.0, 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(progressDue(c.seconds, c.lastShown, c.quiet), c.due)
        << c.seconds << " after " << c.lastShown << ", quiet for " << c.quiet;
  }
}

TEST(Progress, SaysEntriesDirectoriesMemoryAndTime) {
  quindle_host_kit::AllocatorCounts counts;
  counts.entries = 1234567;
  counts.directories = 890;
  counts.bytes = 3u << 20;
  EXPECT_EQ(listingProgressText(counts, 2.25),
            "quindle-host: 1234567 entries, 890 directories, 3 MB, 2.2 s");
}

}  // namespace
}  // namespace quindle_host
