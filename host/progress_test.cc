#include "host/progress.h"

#include <gtest/gtest.h>

namespace quindle_host {
namespace {

TEST(Progress, ShowsNothingInTheFirstHalfSecondThenAtMostTenLinesASecond) {
  struct Case {
    double seconds, lastShown;
    bool due;
  };
  const Case cases[] = {
      {0.0, -1, false}, {0.49, -1, false}, {0.5, -1, true},   {3.0, -1, true},
      {0.55, 0.5, false}, {0.61, 0.5, true}, {10.0, 9.95, false}, {10.0, 9.89, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(progressDue(c.seconds, c.lastShown), c.due) << c.seconds << " after " << c.lastShown;
  }
}

TEST(Progress, SaysEntriesDirectoriesMemoryAndTime) {
  quindle_host_kit::AllocatorCounts counts;
  counts.entries = 1234567;
  counts.directories = 890;
  counts.bytes = 3u << 20;
  EXPECT_EQ(progressText(counts, 2.25),
            "quindle-host: 1234567 entries, 890 directories, 3 MB, 2.2 s");
}

}  // namespace
}  // namespace quindle_host
