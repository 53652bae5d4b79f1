#include "host/disk/tree_writer.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "host/disk/disk_names.h"
#include "host/disk/tree_plan.h"
#include "host/file_system.h"
#include "host/print/tree_stats.h"
#include "host_kit/directory_allocator.h"

namespace quindle_host {

using namespace quindle_host_kit;
namespace {

// Content is made and written in pieces of this size, whatever the file's length.
constexpr size_t kPieceBytes = 256 * 1024;
// Pieces the top of the tree is cut into for two threads: enough that the last ones are small.
constexpr size_t kPiecesPerThread = 8;

// Each thread counts on a line of its own, so that counting never makes the threads wait.
struct alignas(64) ThreadCounts {
  std::atomic<uint64_t> files{0};
  std::atomic<uint64_t> folders{0};
  std::atomic<uint64_t> bytes{0};
};
ThreadCounts threadCounts[2];

void add(std::atomic<uint64_t>& count, uint64_t more) {
  count.store(count.load(std::memory_order_relaxed) + more, std::memory_order_relaxed);
}

// A folder on the path from where a thread started down to where it is.
struct Level {
  const FileDirectory* dir = nullptr;
  int32_t count = 0;
  int32_t next = 0;
  DiskFolder folder;
  FolderNames names;
  uint64_t seed = 0;
  std::string name;  // as on disk, for messages
};

// What the threads share: the first error and whether to stop.
struct Shared {
  const TreeWriting& how;
  std::mutex mutex;  // over outcome->error
  std::atomic<bool> failed{false};
  std::atomic<bool> stopped{false};
  WriteOutcome* outcome;
};

// One thread's writing.
struct Writer {
  Shared& shared;
  ThreadCounts& counts;
  bool reportsProgress;
  std::vector<Level> path;  // grows to the deepest level and stays, so its buffers stay warm
  std::vector<unsigned char> piece;
};

bool shouldStop(Writer& writer) {
  if (writer.shared.failed.load(std::memory_order_relaxed)) return true;
  if (writer.shared.how.stopRequested && writer.shared.how.stopRequested()) {
    writer.shared.stopped = true;
    return true;
  }
  return false;
}

// Where `name` is in the folder at `depth` of the writer's path, for messages.
std::string shownPath(const Writer& writer, size_t depth, const std::string& name) {
  std::string path = writer.path[0].name;
  for (size_t level = 1; level <= depth; ++level) path = joinPath(path, writer.path[level].name);
  return name.empty() ? path : joinPath(path, name);
}

bool fail(Writer& writer, const std::string& path, const std::string& reason) {
  std::lock_guard<std::mutex> lock(writer.shared.mutex);
  if (!writer.shared.failed.exchange(true)) {
    writer.shared.outcome->error = "cannot write " + path + ": " + reason;
  }
  return false;
}

bool writeContent(Writer& writer, const DiskFile& file, uint64_t bytes, uint64_t seed,
                  std::string* reason) {
  const FileContent content = writer.shared.how.content;
  if (content == FileContent::sparse) return setFileLength(file, bytes, reason);
  if (writer.piece.empty()) writer.piece.assign(kPieceBytes, 0);  // zero content stays zeros
  for (uint64_t offset = 0; offset < bytes; offset += kPieceBytes) {
    const size_t size = static_cast<size_t>(std::min<uint64_t>(kPieceBytes, bytes - offset));
    if (content == FileContent::random) fillRandom(seed, offset, writer.piece.data(), size);
    if (!writeFileBytes(file, writer.piece.data(), size, reason)) return false;
  }
  return true;
}

bool writeFile(Writer& writer, const DiskFolder& folder, const FileEntry& entry, const char* name,
               uint64_t seed, std::string* reason) {
  const uint64_t bytes = fileBytes(entry);
  DiskFile file;
  if (!makeFile(folder, name, &file, reason)) return false;
  const bool written = writeContent(writer, file, bytes, seed, reason);
  std::string closing;
  if (!closeFile(&file, &closing) && written) {
    *reason = closing;
    return false;
  }
  if (!written) return false;
  add(writer.counts.files, 1);
  add(writer.counts.bytes, bytes);
  return true;
}

void reportProgress(Writer& writer) {
  if (writer.reportsProgress && writer.shared.how.onProgress) writer.shared.how.onProgress();
}

// Starts level `depth` of the path: the open folder `folder` with the entries of `dir`.
void enterLevel(Writer& writer, size_t depth, const DiskFolder& folder, const FileDirectory* dir,
                uint64_t seed, const std::string& name) {
  if (writer.path.size() <= depth) writer.path.resize(depth + 1);
  Level& level = writer.path[depth];
  level.dir = dir;
  level.count = entryCountOf(dir);
  level.next = 0;
  level.folder = folder;
  level.seed = seed;
  level.name = name;
  nameFolder(dir->entries, level.count, &level.names);
}

// Closes the folders below the top of the path, after a failure, and hands the top back.
bool abandonPath(Writer& writer, size_t depth, DiskFolder* top) {
  for (size_t level = depth; level > 0; --level) closeDiskFolder(&writer.path[level].folder);
  *top = writer.path[0].folder;
  return false;
}

// Writes the entries of `dir` and everything below them into `*top`, depth first.
bool writeContents(Writer& writer, DiskFolder* top, const FileDirectory* dir, uint64_t seed,
                   const std::string& shownTop) {
  enterLevel(writer, 0, *top, dir, seed, shownTop);
  size_t depth = 0;
  std::string reason;
  for (;;) {
    Level& level = writer.path[depth];
    if (level.next == level.count) {
      if (depth == 0) break;
      Level& parent = writer.path[depth - 1];
      if (parent.folder.handle < 0 && !reopenParent(level.folder, &parent.folder, &reason)) {
        fail(writer, shownPath(writer, depth - 1, ""), reason);
        return abandonPath(writer, depth, top);
      }
      closeDiskFolder(&level.folder);
      --depth;
      continue;
    }
    if (shouldStop(writer)) return abandonPath(writer, depth, top);
    reportProgress(writer);
    const int32_t index = level.next++;
    const FileEntry& entry = level.dir->entries[index];
    const char* name = nameOf(level.names, index);
    const uint64_t seedOfEntry = entrySeed(level.seed, index);
    if (!isDirectoryEntry(entry)) {
      if (!writeFile(writer, level.folder, entry, name, seedOfEntry, &reason)) {
        fail(writer, shownPath(writer, depth, name), reason);
        return abandonPath(writer, depth, top);
      }
      continue;
    }
    DiskFolder child;
    if (!makeFolder(level.folder, name, &child, &reason)) {
      fail(writer, shownPath(writer, depth, name), reason);
      return abandonPath(writer, depth, top);
    }
    add(writer.counts.folders, 1);
    const FileDirectory* children = childrenOf(entry);
    if (!children || entryCountOf(children) == 0) {
      closeDiskFolder(&child);
      continue;
    }
    const std::string childName = name;  // `level` moves when the path grows
    enterLevel(writer, depth + 1, child, children, seedOfEntry, childName);
    ++depth;
    // A deep path keeps only its lowest folders open.
    if (depth >= kFoldersHeldOpen) {
      DiskFolder& high = writer.path[depth - kFoldersHeldOpen].folder;
      if (high.handle >= 0 && !setFolderAside(&high, &reason)) {
        fail(writer, shownPath(writer, depth - kFoldersHeldOpen, ""), reason);
        return abandonPath(writer, depth, top);
      }
    }
  }
  *top = writer.path[0].folder;
  return true;
}

// A piece of work for either thread: a subtree (the folder `name` to make in `parent`, with the
// entries of `dir` below it), or the files of a folder the top was cut at (`dir`'s file entries,
// to make in `parent`).
struct Piece {
  bool filesOnly;
  DiskFolder* parent;
  std::string name;
  std::string shownPath;
  const FileDirectory* dir;
  uint64_t seed;
  uint64_t entries;
  const FolderNames* names;  // for the files of a cut folder
};

// A folder the top of the tree was cut at: open, with its entries named, until both threads end.
struct CutFolder {
  DiskFolder folder;
  FolderNames names;
};

// Names the entries of the open folder `cut` and lists its files and its subtrees as pieces.
void cutFolder(CutFolder* cut, const FileDirectory* dir, uint64_t seed, const std::string& shown,
               std::vector<Piece>* pieces) {
  const int32_t count = entryCountOf(dir);
  nameFolder(dir->entries, count, &cut->names);
  uint64_t files = 0;
  for (int32_t index = 0; index < count; ++index) {
    const FileEntry& entry = dir->entries[index];
    if (!isDirectoryEntry(entry)) {
      ++files;
      continue;
    }
    const char* name = nameOf(cut->names, index);
    const FileDirectory* children = childrenOf(entry);
    pieces->push_back({false, &cut->folder, name, joinPath(shown, name), children,
                       entrySeed(seed, index), 1 + (children ? entriesBelow(children) : 0),
                       nullptr});
  }
  if (files > 0) pieces->push_back({true, &cut->folder, "", shown, dir, seed, files, &cut->names});
}

bool writePiece(Writer& writer, const Piece& piece) {
  std::string reason;
  if (piece.filesOnly) {
    for (int32_t index = 0; index < entryCountOf(piece.dir); ++index) {
      const FileEntry& entry = piece.dir->entries[index];
      if (isDirectoryEntry(entry)) continue;
      if (shouldStop(writer)) return false;
      reportProgress(writer);
      const char* name = nameOf(*piece.names, index);
      if (!writeFile(writer, *piece.parent, entry, name, entrySeed(piece.seed, index), &reason)) {
        return fail(writer, joinPath(piece.shownPath, name), reason);
      }
    }
    return true;
  }
  DiskFolder folder;
  if (!makeFolder(*piece.parent, piece.name.c_str(), &folder, &reason)) {
    return fail(writer, piece.shownPath, reason);
  }
  add(writer.counts.folders, 1);
  const bool written = !piece.dir || entryCountOf(piece.dir) == 0 ||
                       writeContents(writer, &folder, piece.dir, piece.seed, piece.shownPath);
  closeDiskFolder(&folder);
  return written;
}

void writePieces(Writer& writer, const std::vector<Piece>& pieces, std::atomic<size_t>* next) {
  for (size_t index; (index = next->fetch_add(1)) < pieces.size();) {
    if (!writePiece(writer, pieces[index])) return;
  }
}

bool writeWithTwoThreads(Writer& first, Writer& second, const FileDirectory* root, DiskFolder* top,
                         const TreeWriting& how) {
  // The top folder is cut into pieces, and then the largest subtree each time, until there are
  // enough for both threads.
  const size_t wanted = kPiecesPerThread * 2;
  std::vector<Piece> pieces;
  std::vector<std::unique_ptr<CutFolder>> cuts;
  cuts.push_back(std::make_unique<CutFolder>());
  cuts.back()->folder = *top;
  cutFolder(cuts.back().get(), root, treeSeed(how.second), how.shownTop, &pieces);
  bool made = true;
  while (pieces.size() < wanted) {
    auto largest = pieces.end();
    for (auto piece = pieces.begin(); piece != pieces.end(); ++piece) {
      if (!piece->filesOnly && piece->dir &&
          (largest == pieces.end() || piece->entries > largest->entries)) {
        largest = piece;
      }
    }
    if (largest == pieces.end() || largest->entries < wanted) break;
    const Piece chosen = *largest;
    pieces.erase(largest);
    cuts.push_back(std::make_unique<CutFolder>());
    std::string reason;
    if (!makeFolder(*chosen.parent, chosen.name.c_str(), &cuts.back()->folder, &reason)) {
      made = fail(first, chosen.shownPath, reason);
      break;
    }
    add(first.counts.folders, 1);
    cutFolder(cuts.back().get(), chosen.dir, chosen.seed, chosen.shownPath, &pieces);
  }
  if (made) {
    // The largest first, so that the last ones taken are small and both threads end together.
    std::sort(pieces.begin(), pieces.end(),
              [](const Piece& a, const Piece& b) { return a.entries > b.entries; });
    std::atomic<size_t> next{0};
    std::thread helper([&] { writePieces(second, pieces, &next); });
    writePieces(first, pieces, &next);
    helper.join();
  }
  for (size_t cut = 1; cut < cuts.size(); ++cut) closeDiskFolder(&cuts[cut]->folder);
  return made && !first.shared.failed && !first.shared.stopped;
}

}  // namespace

bool writeTree(const FileDirectory* root, DiskFolder* top, const TreeWriting& how,
               WriteOutcome* outcome) {
  for (ThreadCounts& counts : threadCounts) {
    counts.files = counts.folders = counts.bytes = 0;
  }
  if (!root || entryCountOf(root) == 0) return true;
  Shared shared{how, {}, {false}, {false}, outcome};
  Writer first{shared, threadCounts[0], true, {}, {}};
  Writer second{shared, threadCounts[1], false, {}, {}};
  const bool written = how.threads < 2
                           ? writeContents(first, top, root, treeSeed(how.second), how.shownTop)
                           : writeWithTwoThreads(first, second, root, top, how);
  outcome->stopped = shared.stopped;
  return written;
}

WriteCounts writtenSoFar() {
  WriteCounts total;
  for (const ThreadCounts& counts : threadCounts) {
    total.files += counts.files.load(std::memory_order_relaxed);
    total.folders += counts.folders.load(std::memory_order_relaxed);
    total.bytes += counts.bytes.load(std::memory_order_relaxed);
  }
  return total;
}

}  // namespace quindle_host
