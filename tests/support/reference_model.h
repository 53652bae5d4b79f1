// The simple model: the listing and its names generated recursively, straight from the rules,
// with nothing clever. The module's results are compared with it byte for byte.
#ifndef QUINDLE_TESTS_REFERENCE_MODEL_H
#define QUINDLE_TESTS_REFERENCE_MODEL_H

#include <cstdint>
#include <string>
#include <vector>

namespace quindle_test {

struct ModelRandom {
  uint32_t state;
  int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
};

// How the system's text is encoded, for names the bound cuts: a cut never leaves part of a
// character at the end. Every byte is a character of its own, or UTF-8 (a byte C0 to DF leads a
// character of two bytes, E0 to EF of three, F0 to F7 of four, the rest being continuation bytes
// 80 to BF), or a double-byte code page, where each of `leadBytes` leads a character of two bytes.
// Only the bytes up to the first one cut away are looked at.
struct ModelEncoding {
  enum Kind { singleByte, utf8, doubleByte } kind = singleByte;
  std::string leadBytes;
};

struct ModelSettings {
  uint32_t maxFiles = 100;
  int32_t dirLevels = 2;
  // The dictionary's lines as loaded, and the instance's line count; names take random letters
  // without lines.
  const std::vector<std::string>* lines = nullptr;
  int32_t lineCount = 0;
};

// A random-letter name; bounded to 511 characters like the module's buffer.
std::string modelLetterName(ModelRandom& random, int32_t maxLen);

// The line the draws r1, r2, r3 take over `drawnLines` lines, wrapped onto the `heldLines` a table
// holds: (((r3 << 15) | r2) << 15) | r1 in 32 bits, with plain remainders.
uint32_t modelLineIndex(uint32_t r1, uint32_t r2, uint32_t r3, uint32_t drawnLines, uint32_t heldLines);

// A dictionary name over `lines` with indexes drawn over `lineCount` lines; an index past the
// lines wraps around. Bounded to 511 characters like the module's buffer, and cut whole.
std::string modelDictionaryName(ModelRandom& random, const std::vector<std::string>& lines,
                                int32_t lineCount, int32_t maxLen, const ModelEncoding& encoding = {});

// The first `cut` bytes of `text` (which is longer), less a character the cut would split.
std::string modelCutWhole(const std::string& text, size_t cut, const ModelEncoding& encoding);

// The pieces a dictionary file's bytes are read as, and the lines made from them.
std::vector<std::string> modelDictionaryPieces(const std::string& bytes);
std::vector<std::string> modelDictionaryLines(const std::string& bytes);

// The tree for `seed`, described in the format of describeTree, followed by the title made with
// `titleLen` (which must be at least 1).
struct ModelListing {
  std::string tree;
  std::string title;
  int64_t entries = 0;
  int deepestLevel = 0;
};
// Names the bound cuts are cut whole as `encoding` says.
ModelListing modelListing(uint32_t seed, const ModelSettings& settings, int32_t titleLen,
                          const ModelEncoding& encoding = {});

// The shape of a tree without its text, for trees too large to describe: the same draws as
// modelListing with random-letter names, walked without recursion. `signature` folds every
// directory's depth and entry count, in depth-first order.
struct TreeShape {
  int64_t entries = 0;
  int64_t directories = 0;
  int deepestLevel = 0;
  uint64_t signature = 0;
};
TreeShape modelShape(uint32_t seed, uint32_t maxFiles, int32_t dirLevels);

// Adds one directory to a shape; both the model and the tests' walk of a built tree use it.
void addDirectoryToShape(TreeShape* shape, int depth, int32_t count);

}  // namespace quindle_test

#endif
