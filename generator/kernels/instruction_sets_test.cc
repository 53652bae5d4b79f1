#include "generator/kernels/instruction_sets.h"

#include <ostream>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace quindle {
namespace {

struct TargetCase {
  const char* target;
  InstructionSets sets;
};

void PrintTo(const TargetCase& tested, std::ostream* out) { *out << tested.target; }

std::string targetName(const ::testing::TestParamInfo<TargetCase>& info) {
  std::string name = info.param.target[0] != '\0' ? info.param.target : "nothing";
  for (char& c : name) c = c == ',' ? '_' : c;
  return name;
}

class TargetTexts : public ::testing::TestWithParam<TargetCase> {};

// Names that begin with another's (bmi and bmi2, avx512vbmi and avx512vbmi2, avx and avx2) are
// told apart; a name outside the list, or an empty one, reads as unknown.
TEST_P(TargetTexts, NameTheirSets) {
  EXPECT_EQ(instructionSetsOf(GetParam().target), GetParam().sets) << GetParam().target;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TargetTexts,
    ::testing::Values(TargetCase{"", 0}, TargetCase{"avx2", kAvx2},
                      TargetCase{"avx2,bmi,bmi2,popcnt", kAvx2 | kBmi1 | kBmi2 | kPopcnt},
                      TargetCase{"bmi", kBmi1}, TargetCase{"bmi2", kBmi2},
                      TargetCase{"avx512vbmi", kAvx512Vbmi}, TargetCase{"avx512vbmi2", kAvx512Vbmi2},
                      TargetCase{"avx512f,avx512bw", kAvx512F | kAvx512Bw},
                      TargetCase{"avx", kUnknownInstructionSet},
                      TargetCase{"avx2,lzcnt", kAvx2 | kUnknownInstructionSet},
                      TargetCase{"avx2,,bmi", kAvx2 | kBmi1 | kUnknownInstructionSet}),
    targetName);

TEST(InstructionSets, EachNameReadsAsItsOwnBit) {
  std::set<InstructionSets> bits;
  for (const NamedInstructionSet& set : kNamedInstructionSets) {
    EXPECT_EQ(instructionSetsOf(set.name), set.bit) << set.name;
    EXPECT_EQ(set.bit & (set.bit - 1), 0u) << set.name << " is one bit";
    EXPECT_NE(set.bit, kUnknownInstructionSet) << set.name;
    EXPECT_TRUE(bits.insert(set.bit).second) << set.name << " shares its bit";
  }
}

}  // namespace
}  // namespace quindle
