// How the tests host the module: the host kit's allocator with every byte of a new directory set
// to the marker, so that a field the module forgot to write shows, and what the tests read off a
// built tree.
#ifndef QUINDLE_TESTS_TEST_HOST_H
#define QUINDLE_TESTS_TEST_HOST_H

#include <cstdint>
#include <string>

#include "filter/filter_api.h"
#include "host_kit/directory_allocator.h"

namespace quindle_test {

using quindle_host_kit::allocatorCounts;
using quindle_host_kit::allocatorRules;
using quindle_host_kit::allocDirectory;
using quindle_host_kit::entryCountOf;
using quindle_host_kit::freeTree;
using quindle_host_kit::hostInfoFor;
using quindle_host_kit::kMarkerByte;

// Marked entries, no refusals, and the counts started afresh.
void resetTestHost();

// A description of a whole tree, one line per entry with its depth, for comparing trees; it also
// checks the tree is consistent (directories and files well formed, host bytes untouched) and
// puts what is wrong into `problem`.
std::string describeTree(const FileDirectory* root, std::string* problem);

// Where two descriptions of trees first differ, as the entry's path in the tree (names joined by
// '/') with both lines, or "" when they are the same: a difference of two huge texts would take
// minutes to print and say less.
std::string firstDifference(const std::string& actual, const std::string& expected);

// The shape of a built tree (see reference_model.h); counts the malformed entries describeTree
// would report, without building any text.
struct TreeShape;
void shapeOfTree(const FileDirectory* root, TreeShape* shape, int64_t* malformedEntries);

}  // namespace quindle_test

#endif
