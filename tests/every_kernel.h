// Test suites run once per code path the processor has: instantiate them with
// ::testing::ValuesIn(availableKernels()) and name each run by its path with kernelName.
#ifndef QUINDLE_TESTS_EVERY_KERNEL_H
#define QUINDLE_TESTS_EVERY_KERNEL_H

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "generator/kernels/kernel_table.h"

namespace quindle_test {

inline std::vector<const quindle::ListingKernel*> availableKernels() {
  int count = 0;
  const quindle::ListingKernel* const* kernels = quindle::availableListingKernels(&count);
  return std::vector<const quindle::ListingKernel*>(kernels, kernels + count);
}

inline std::string kernelName(const ::testing::TestParamInfo<const quindle::ListingKernel*>& info) {
  return info.param->name;
}

}  // namespace quindle_test

#endif
