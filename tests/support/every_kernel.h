// Per-kernel test suites run once for each kernel this processor has, that is each built kernel
// whose stated needs the processor meets (kernel_table_test.cc checks that against what the
// operating system lists): a suite of TestWithParam<const Kernel*> is instantiated with
// QUINDLE_FOR_EVERY_KERNEL(Suite), and each run is named after its kernel.
#ifndef QUINDLE_TESTS_EVERY_KERNEL_H
#define QUINDLE_TESTS_EVERY_KERNEL_H

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "generator/kernels/kernel_table.h"

namespace quindle_test {

inline std::vector<const quindle::Kernel*> kernelsThisMachineRuns() {
  const quindle::KernelList available = quindle::availableKernels();
  return std::vector<const quindle::Kernel*>(available.kernels, available.kernels + available.count);
}

inline std::string kernelName(const ::testing::TestParamInfo<const quindle::Kernel*>& info) {
  return info.param->name;
}

}  // namespace quindle_test

namespace quindle {

// A kernel is shown by its name, so that a run's name stays the same from one process to the next.
inline void PrintTo(const Kernel* kernel, std::ostream* out) { *out << kernel->name; }

}  // namespace quindle

#define QUINDLE_FOR_EVERY_KERNEL(suite)                                                 \
  INSTANTIATE_TEST_SUITE_P(EveryKernel, suite,                                          \
                           ::testing::ValuesIn(quindle_test::kernelsThisMachineRuns()), \
                           quindle_test::kernelName)

#endif
