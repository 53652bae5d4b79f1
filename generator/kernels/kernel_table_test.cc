#include "generator/kernels/kernel_table.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "generator/kernels/instruction_sets.h"
#include "every_kernel.h"

namespace quindle {
namespace {

using quindle_test::kernelsThisMachineRuns;

#if defined(__linux__)
// The instruction sets Linux lists for the first processor, under its own names.
std::set<std::string> listedFlags() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("flags", 0) != 0) continue;
    std::istringstream words(line.substr(line.find(':') + 1));
    std::set<std::string> flags;
    for (std::string flag; words >> flag;) flags.insert(flag);
    return flags;
  }
  return {};
}

// Linux's name for a set where it differs from the compiler's.
std::string listedName(const std::string& name) {
  if (name == "bmi") return "bmi1";
  if (name == "avx512vbmi2") return "avx512_vbmi2";
  return name;
}

// Detection against an outside witness: the sets Linux lists are the sets the processor is taken
// to have, and a built kernel runs exactly when Linux lists every set it states it needs.
TEST(KernelTable, AKernelRunsExactlyWhereLinuxListsEverySetItNeeds) {
  const std::set<std::string> flags = listedFlags();
  ASSERT_FALSE(flags.empty()) << "no flags line in /proc/cpuinfo";
  InstructionSets listed = 0;
  for (const NamedInstructionSet& set : kNamedInstructionSets) {
    if (flags.count(listedName(set.name))) listed |= set.bit;
    EXPECT_EQ((processorInstructionSets() & set.bit) != 0, flags.count(listedName(set.name)) == 1) << set.name;
  }
  const std::vector<const Kernel*> runs = kernelsThisMachineRuns();
  const KernelList built = builtKernels();
  for (int i = 0; i < built.count; ++i) {
    const Kernel* kernel = built.kernels[i];
    const bool expected = (kernel->needs & ~listed) == 0;
    EXPECT_EQ(std::count(runs.begin(), runs.end(), kernel), expected ? 1 : 0) << kernel->name;
  }
}
#endif

TEST(KernelTable, ThePortableKernelRunsFirstAndTheFastestIsActive) {
  const std::vector<const Kernel*> runs = kernelsThisMachineRuns();
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs.front(), &kPortableKernel);
  EXPECT_EQ(&activeKernel(KernelChoice()), runs.back());
}

// The AVX2 kernel runs on AMD's family 17h, which microcodes BMI2's pdep and pext at tens to
// hundreds of cycles each: it is compiled without BMI2, so the compiler can emit neither.
TEST(KernelTable, TheAvx2KernelIsBuiltWithoutBmi2) {
  const KernelList built = builtKernels();
  for (int i = 0; i < built.count; ++i) {
    if (std::string(built.kernels[i]->name) == "avx2") {
      EXPECT_EQ(built.kernels[i]->needs & kBmi2, 0u);
    }
  }
}

// Every available kernel can be forced, and a record the processor cannot run is refused.
TEST(KernelTable, OnlyAnAvailableKernelCanBeForced) {
  const std::vector<const Kernel*> runs = kernelsThisMachineRuns();
  Kernel unrunnable = kPortableKernel;
  unrunnable.needs = kUnknownInstructionSet;
  KernelChoice choice;
  for (const Kernel* kernel : runs) {
    ASSERT_TRUE(forceKernel(choice, *kernel)) << kernel->name;
    EXPECT_FALSE(forceKernel(choice, unrunnable));
    EXPECT_EQ(&activeKernel(choice), kernel) << "a refused kernel changes nothing";
  }
}

}  // namespace
}  // namespace quindle
