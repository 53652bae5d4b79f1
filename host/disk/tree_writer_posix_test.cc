#include "host/disk/tree_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "host_kit/directory_allocator.h"
#include "temp_file.h"

namespace quindle_host {
namespace {

using namespace quindle_host_kit;

// What a folder on disk holds: relative path -> bytes, or -1 for a folder.
using DiskTree = std::map<std::string, int64_t>;

DiskTree readDiskTree(const std::string& top) {
  DiskTree tree;
  for (const auto& item : std::filesystem::recursive_directory_iterator(top)) {
    const std::string path = std::filesystem::relative(item.path(), top).string();
    tree[path] = item.is_directory() ? -1 : static_cast<int64_t>(item.file_size());
  }
  return tree;
}

FileEntry* makeEntry(FileDirectory* dir, int32_t index, const std::string& name, int kilobytes) {
  FileEntry& entry = dir->entries[index];
  std::memset(&entry, 0, sizeof entry);
  std::strncpy(entry.name, name.c_str(), sizeof entry.name - 1);
  if (kilobytes < 0) {
    std::strcpy(entry.sizeText, "[dir]");
    entry.flags[0] = entry.flags[1] = 1;
  } else {
    std::snprintf(entry.sizeText, sizeof entry.sizeText, "%dKB", kilobytes);
  }
  return &entry;
}

// A tree both broad and deep: at the top `broad` folders of three files each, and one chain of
// `deep` folders, each holding a file and the next folder; and what it must look like on disk.
FileDirectory* broadAndDeepTree(int broad, int deep, DiskTree* expected) {
  FileDirectory* root = allocDirectory(broad + 1);
  for (int i = 0; i < broad; ++i) {
    const std::string name = "folder " + std::to_string(i) + " ";  // the trailing space goes
    FileDirectory* folder = allocDirectory(3);
    makeEntry(root, i, name, -1)->children = folder;
    (*expected)["folder " + std::to_string(i)] = -1;
    for (int file = 0; file < 3; ++file) {
      makeEntry(folder, file, "same", file);  // named apart by the rule
      (*expected)["folder " + std::to_string(i) + "/same" +
                  (file ? " (" + std::to_string(file + 1) + ")" : "")] = file * 1024;
    }
  }
  FileDirectory* level = root;
  int32_t index = broad;
  std::string path;
  for (int depth = 0; depth < deep; ++depth) {
    FileDirectory* below = allocDirectory(2);
    makeEntry(level, index, "d", -1)->children = below;
    path += path.empty() ? "d" : "/d";
    (*expected)[path] = -1;
    makeEntry(below, 0, "f", 1);
    (*expected)[path + "/f"] = 1024;
    level = below;
    index = 1;
  }
  makeEntry(level, index, "last", 2);
  (*expected)[path + "/last"] = 2048;
  return root;
}

bool openFolderAt(const std::string& path, DiskFolder* folder) {
  std::filesystem::create_directories(path);
  folder->handle = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  return folder->handle >= 0;
}

class TreeWriterThreads : public testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override { resetAllocator(AllocatorRules()); }
};

// Deeper than the folders the writer holds open, broad enough to cut for two threads: the same
// tree on disk either way.
TEST_P(TreeWriterThreads, WriteBroadAndDeepTreesWhole) {
  DiskTree expected;
  FileDirectory* root = broadAndDeepTree(40, static_cast<int>(kFoldersHeldOpen) + 44, &expected);
  quindle_test::TempPath temp;
  DiskFolder top;
  ASSERT_TRUE(openFolderAt(temp.path, &top));
  TreeWriting how;
  how.threads = GetParam();
  how.shownTop = temp.path;
  WriteOutcome outcome;
  EXPECT_TRUE(writeTree(root, &top, how, &outcome)) << outcome.error;
  EXPECT_GE(top.handle, 0);
  closeDiskFolder(&top);
  EXPECT_EQ(readDiskTree(temp.path), expected);
  const WriteCounts counts = writtenSoFar();
  EXPECT_EQ(counts.files + counts.folders, expected.size());
  freeTree(root);
}

INSTANTIATE_TEST_SUITE_P(OneAndTwo, TreeWriterThreads, testing::Values(1u, 2u));

struct PlantedLink {
  const char* what;
  bool entryIsFolder;
  bool linkToFolder;
};

class TreeWriterLinks : public testing::TestWithParam<PlantedLink> {};

// A link planted where the writer is about to make an entry is never followed: the write fails
// on that name, and what the link leads to is left as it was.
TEST_P(TreeWriterLinks, AreNeverFollowed) {
  resetAllocator(AllocatorRules());
  quindle_test::TempPath temp;
  const std::string outside = temp.path + "/outside";
  const std::string tree = temp.path + "/tree";
  std::filesystem::create_directories(outside);
  quindle_test::writeFileBytes(outside + "/file", "untouched");
  DiskFolder top;
  ASSERT_TRUE(openFolderAt(tree, &top));
  ASSERT_EQ(::symlink((outside + (GetParam().linkToFolder ? "" : "/file")).c_str(),
                      (tree + "/victim").c_str()), 0);

  FileDirectory* root = allocDirectory(1);
  FileEntry* entry = makeEntry(root, 0, "victim", GetParam().entryIsFolder ? -1 : 5);
  if (GetParam().entryIsFolder) {
    entry->children = allocDirectory(1);
    makeEntry(entry->children, 0, "file", 7);
  }
  TreeWriting how;
  how.content = FileContent::zero;
  how.shownTop = "tree";
  WriteOutcome outcome;
  EXPECT_FALSE(writeTree(root, &top, how, &outcome));
  EXPECT_EQ(outcome.error, "cannot write tree/victim: File exists");
  closeDiskFolder(&top);
  std::ifstream file(outside + "/file");
  const std::string kept((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, "untouched");
  EXPECT_EQ(readDiskTree(outside), (DiskTree{{"file", 9}}));
  freeTree(root);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, TreeWriterLinks,
    testing::Values(PlantedLink{"FileOverLinkToFile", false, false},
                    PlantedLink{"FileOverLinkToFolder", false, true},
                    PlantedLink{"FolderOverLinkToFile", true, false},
                    PlantedLink{"FolderOverLinkToFolder", true, true}),
    [](const testing::TestParamInfo<PlantedLink>& param) { return std::string(param.param.what); });

}  // namespace
}  // namespace quindle_host
