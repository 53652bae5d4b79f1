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

// Every processor the built kernels could meet, not only this one: a machine with every set
// would never notice a kernel handed to a processor that lacks what it needs, which dies of an
// illegal instruction.
TEST(KernelTable, AProcessorIsHandedOnlyTheKernelsWhoseNeedsItMeets) {
  const KernelList built = builtKernels();
  InstructionSets named = 0;
  for (int i = 0; i < built.count; ++i) named |= built.kernels[i]->needs;
  // Every subset of the named sets, counted through the set bits of `named`.
  for (InstructionSets processor = 0;; processor = (processor - named) & named) {
    const KernelList runnable = kernelsRunnableOn(processor);
    std::vector<const Kernel*> expected;
    for (int i = 0; i < built.count; ++i) {
      if ((built.kernels[i]->needs & ~processor) == 0) expected.push_back(built.kernels[i]);
    }
    EXPECT_EQ(std::vector<const Kernel*>(runnable.kernels, runnable.kernels + runnable.count), expected)
        << "processor sets " << std::hex << processor;
    ASSERT_GE(runnable.count, 1);
    EXPECT_EQ(runnable.kernels[0], &kPortableKernel) << "every processor runs the portable kernel";
    if (processor == named) break;
  }
}

}  // namespace
}  // namespace quindle
