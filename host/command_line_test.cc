#include "host/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quindle_host {
namespace {

// What a command's loop makes of `items`: each option, with its value where it takes one, and
// "refused" where the loop must stop.
std::vector<std::string> readAll(std::vector<std::string> items) {
  Arguments args;
  args.items = std::move(items);
  std::vector<std::string> seen;
  std::string option, value;
  for (Next next; (next = nextOption(args, &option)) != Next::end;) {
    if (next == Next::refused) {
      seen.push_back("refused");
      break;
    }
    const bool takesValue = option != "--enable";
    if (takesValue && !takeValue(args, &value)) {
      seen.push_back(option + " without value");
      break;
    }
    seen.push_back(takesValue ? option + "=" + value : option);
  }
  return seen;
}

TEST(CommandLine, ValuesFollowTheirOptionOrAreWrittenIntoIt) {
  using Seen = std::vector<std::string>;
  EXPECT_EQ(readAll({"--levels", "4", "--enable"}), (Seen{"--levels=4", "--enable"}));
  EXPECT_EQ(readAll({"--levels=4", "--enable"}), (Seen{"--levels=4", "--enable"}));
  // Only the first '=' splits; an empty inline value is a value.
  EXPECT_EQ(readAll({"--dictionary=a=b.txt"}), (Seen{"--dictionary=a=b.txt"}));
  EXPECT_EQ(readAll({"--dictionary=", "--enable"}), (Seen{"--dictionary=", "--enable"}));
  // A value that looks like an option is still the value.
  EXPECT_EQ(readAll({"--from", "--enable"}), (Seen{"--from=--enable"}));
  // A single dash or a plain word is never split.
  EXPECT_EQ(readAll({"-l=4", "x"}), (Seen{"-l=4=x"}));
  EXPECT_EQ(readAll({"run=1", "x"}), (Seen{"run=1=x"}));
  EXPECT_EQ(readAll({"--levels"}), (Seen{"--levels without value"}));
  // An option that takes no value must not be given one, also as the last option: the loop
  // stops before the next option (or the command) is acted on.
  EXPECT_EQ(readAll({"--enable=yes", "--levels", "4"}), (Seen{"--enable", "refused"}));
  EXPECT_EQ(readAll({"--levels", "4", "--enable="}), (Seen{"--levels=4", "--enable", "refused"}));
}

// A choice is one of the names offered, by its place; anything else is refused and names them all.
TEST(CommandLine, AChoiceIsOneOfTheNamesOffered) {
  struct Case {
    std::vector<std::string> items;
    bool taken;
    size_t chosen;
  };
  const Case cases[] = {
      {{"--content", "sparse"}, true, 0}, {{"--content=random"}, true, 2},
      {{"--content", "Zero"}, false, 0},  {{"--content="}, false, 0},
      {{"--content"}, false, 0},
  };
  for (const Case& c : cases) {
    Arguments args;
    args.items = c.items;
    std::string option;
    ASSERT_EQ(nextOption(args, &option), Next::option);
    size_t chosen = 99;
    testing::internal::CaptureStderr();
    EXPECT_EQ(takeChoice(args, {"sparse", "zero", "random"}, &chosen), c.taken) << c.items[0];
    const std::string said = testing::internal::GetCapturedStderr();
    if (c.taken) {
      EXPECT_EQ(chosen, c.chosen) << c.items[0];
      EXPECT_EQ(said, "");
    } else if (c.items.size() == 2 || c.items[0].find('=') != std::string::npos) {
      EXPECT_NE(said.find("--content takes sparse, zero or random, not"), std::string::npos) << said;
    }
  }
}

}  // namespace
}  // namespace quindle_host
