// A host for tests: it allocates directories as one block each (header plus entries), with every
// byte of the entries set to a marker so that a field the filter forgot to write shows, counts
// what is live, can refuse the k-th allocation or all beyond a budget of entries, and frees whole
// trees without recursion.
#ifndef QUINDLE_TESTS_TEST_HOST_H
#define QUINDLE_TESTS_TEST_HOST_H

#include <cstdint>
#include <string>

#include "filter/filter_api.h"

namespace quindle_test {

constexpr unsigned char kUnwrittenByte = 0xAB;

struct TestHostCounters {
  int allocCalls = 0;
  int freeTreeCalls = 0;
  int liveDirectories = 0;
  int failAllocationNumber = 0;  // the 1-based allocation to refuse; 0 refuses none
  bool failEveryAllocationAfter = false;
  int64_t entriesHanded = 0;  // entries of every directory allocated so far
  int64_t entryBudget = 0;    // refuses a directory that would exceed it; 0: no limit
};

extern TestHostCounters testHost;

void resetTestHost();

FileDirectory* QUINDLE_CALL testAllocDirectory(int32_t count);
void QUINDLE_CALL testFreeTree(FileDirectory* root);

// The entry count the host gave a directory.
int32_t entryCount(const FileDirectory* dir);

// A FileFilterInfo as a host sets it up before initialize, with the test host's callbacks.
FileFilterInfo makeHostInfo(FileFilterSettingsKey key);

// A description of a whole tree, one line per entry with its depth, for comparing trees; it also
// checks the tree is consistent (directories and files well formed, host bytes untouched) and
// puts what is wrong into `problem`.
std::string describeTree(const FileDirectory* root, std::string* problem);

// The shape of a built tree (see reference_model.h), walked without recursion; counts the
// malformed entries describeTree would report, without building any text.
struct TreeShape;
void shapeOfTree(const FileDirectory* root, TreeShape* shape, int64_t* malformedEntries);

}  // namespace quindle_test

#endif
