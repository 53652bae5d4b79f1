// Each kernel on its own: its draws and the names it writes, against the generator and the
// simple model. Differences show here with the draw that went wrong, before a whole tree differs.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filter/filter_api.h"
#include "generator/draws/draw_block.h"
#include "generator/draws/draw_math.h"
#include "generator/draws/entry_run.h"
#include "generator/draws/name_characters.h"
#include "generator/draws/size_texts.h"
#include "generator/kernels/kernel_table.h"
#include "every_kernel.h"
#include "reference_model.h"

namespace quindle {
namespace {

using quindle_test::ModelRandom;

class Kernels : public ::testing::TestWithParam<const Kernel*> {
 protected:
  const Kernel& kernel() const { return *GetParam(); }
  DrawBlock block;
};

// A character starting at a space draw is a space; at any other draw it is the letter that the
// next draw picks, also for the block's last draw, whose next draw is not taken.
// A kernel that keeps the block's starts lays out the characters of a name begun at draw 0 that
// never ends.
TEST_P(Kernels, FillTheGeneratorsDrawsWithTheirCharacters) {
  for (uint32_t state : {0u, 1u, 0x80000000u, 0xFFFFFFFFu, 1765224000u}) {
    startDrawBlock(&block, kernel().fillDraws, state, kernel().keepsStarts);
    ModelRandom model{state};
    std::vector<int> draws(kBlockDraws + 1);
    for (int& draw : draws) draw = model.next();
    for (int i = 0; i < kBlockDraws; ++i) {
      const bool letter = draws[i] % 6 != 1;
      ASSERT_EQ(block.draws[i], draws[i]) << "draw " << i << " from " << state;
      ASSERT_EQ(block.characters[i], letter ? kNameAlphabet[draws[i + 1] % 36] : ' ') << "draw " << i;
      ASSERT_EQ(block.letterBits[i / 64] >> (i % 64) & 1u, letter ? 1u : 0u) << "draw " << i;
    }
    EXPECT_EQ(block.endState, advanceState(state, kBlockDraws));
    if (!kernel().keepsStarts) continue;
    int laidOut = 0;
    for (int i = 0; i < kBlockDraws; i += draws[i] % 6 != 1 ? 2 : 1) {
      const DrawStarts::Word& word = block.starts.words[i / 32];
      ASSERT_EQ(word.before + __builtin_popcount(word.bits & ((1u << (i % 32)) - 1)), laidOut) << "draw " << i;
      ASSERT_EQ(block.starts.characters[laidOut++], block.characters[i]) << "draw " << i;
    }
    EXPECT_EQ(block.starts.count, laidOut);
  }
}

TEST_P(Kernels, RefillsKeepTheSequenceAndGiveBackUnreadDraws) {
  const uint32_t seed = 424242;
  startDrawBlock(&block, kernel().fillDraws, seed);
  ModelRandom model{seed};
  int taken = 0;
  // Steps of every size up to an entry's bound cross refills at every offset within a chunk.
  for (int step = 1; taken < 5 * kBlockDraws; step = step % kEntryDrawBound + 7) {
    if (block.filled - block.next < kRefillBelow) refillDrawBlock(&block, kernel().fillDraws);
    ASSERT_GE(block.filled - block.next, kRefillBelow);
    for (int i = 0; i < step; ++i, ++taken) {
      ASSERT_EQ(block.draws[block.next++], model.next()) << "draw " << taken;
    }
  }
  EXPECT_EQ(finishDrawBlock(block), model.state);
}

// The name field of the entry the kernel writes from the block's first draw, as the one entry of
// a directory that may hold no subdirectory, between marked bytes; `next` receives the draw after
// the name. A name writer may run on into the size text, which the entry's own is written over,
// but no further: past the name the entry holds its own fields, its host's byte as it was, and
// the entry after it is left alone.
std::string writtenName(const Kernel& kernel, DrawBlock& block, int* next) {
  FileEntry entries[2];
  std::memset(entries, 0x7F, sizeof entries);
  PendingDirectory dir = {entries, 1, 0, 0};
  EXPECT_EQ(kernel.fillEntries(dir, false, block), nullptr);
  const int end = block.next - kEntryTailDraws;
  if (next) *next = end;
  const FileEntry& entry = entries[0];
  EXPECT_EQ(std::string(entry.sizeText, sizeof entry.sizeText),
            std::string(kSizeTexts.sizes[block.draws[end] % kSizeTextCount].text, sizeof entry.sizeText));
  EXPECT_EQ(entry.value, block.draws[end + 1]);
  EXPECT_EQ(entry.flags[0] | entry.flags[1] | entry.flags[2], 0);
  EXPECT_EQ(entry.hostByte, 0x7F);
  EXPECT_EQ(entry.children, nullptr);
  const unsigned char* after = reinterpret_cast<const unsigned char*>(&entries[1]);
  EXPECT_EQ(std::count(after, after + sizeof entries[1], 0x7F), static_cast<std::ptrdiff_t>(sizeof entries[1]))
      << "the name ran on past its entry";
  return std::string(entry.name, sizeof entry.name);
}

TEST_P(Kernels, LetterNamesMatchTheModelAndTakeItsDraws) {
  for (uint32_t seed = 0; seed < 30000; ++seed) {
    const uint32_t state = seed * 2654435761u;
    startDrawBlock(&block, kernel().fillDraws, state, kernel().keepsStarts);
    int next = 0;
    const std::string field = writtenName(kernel(), block, &next);
    ModelRandom model{state};
    const std::string expected = quindle_test::modelLetterName(model, 64);
    ASSERT_EQ(field, expected + std::string(64 - expected.size(), '\0')) << "seed " << seed;
    ASSERT_EQ(block.draws[next], model.next()) << "seed " << seed << ": the name took other draws";
  }
}

// Puts `draws` at the start of the block with what every kernel keeps of each draw, as the
// fills would have, and the starts where `keepStarts`.
void placeDraws(DrawBlock* block, const std::vector<uint16_t>& draws, bool keepStarts) {
  std::memset(block->letterBits, 0, sizeof block->letterBits);
  const int filled = static_cast<int>(draws.size()) - 1;
  for (int i = 0; i < filled; ++i) {
    const bool letter = draws[i] % 6 != 1;
    block->draws[i] = draws[i];
    block->characters[i] = letter ? kNameAlphabet[draws[i + 1] % 36] : ' ';
    block->letterBits[i / 64] |= static_cast<uint64_t>(letter) << (i % 64);
  }
  DrawStarts& starts = block->starts;
  starts = {};
  starts.kept = keepStarts;
  for (int i = 0; i < filled; i += block->letterBits[i / 64] >> (i % 64) & 1u ? 2 : 1) {
    starts.words[i / 32].bits |= 1u << (i % 32);
    starts.characters[starts.count++] = block->characters[i];
  }
  for (int word = 1; word < filled / 32; ++word) {
    starts.words[word].before = starts.words[word - 1].before + __builtin_popcount(starts.words[word - 1].bits);
  }
  block->next = 0;
  block->filled = filled;
}

// The rule itself, over a list of draws: the name and the draws it takes.
std::string nameOfDraws(const std::vector<uint16_t>& draws, size_t* taken) {
  const int length = draws[0] % 64;
  std::string name;
  size_t at = 1;
  for (int i = 0; i < length; ++i) {
    name += draws[at] % 6 == 1 ? ' ' : kNameAlphabet[draws[at + 1] % 36];
    at += draws[at] % 6 == 1 ? 1 : 2;
  }
  if (!name.empty()) name[0] = upperCasedLetter(name[0]);
  *taken = at;
  return name;
}

// Names made only of spaces fill the first window with 64 character starts; names only of
// letters need both windows; runs of letters of every length put the window boundary inside a
// letter at both parities. Random seeds reach these only by chance.
TEST_P(Kernels, NamesAtTheWindowBoundariesMatchTheRule) {
  const uint16_t space = 6 * 100 + 1, letter = 6 * 200 + 5;  // letter picks 'y' when second
  for (int runLength = 0; runLength <= 64; ++runLength) {
    std::vector<uint16_t> draws(kBlockDraws - kLookAhead);
    for (size_t i = 0; i < draws.size(); ++i) {
      const bool inRun = runLength == 64 || (runLength > 0 && static_cast<int>(i % (runLength + 1)) != runLength);
      draws[i] = inRun ? static_cast<uint16_t>(letter + 6 * (i % 7)) : space;
    }
    for (int length = 0; length < 64; ++length) {
      draws[0] = static_cast<uint16_t>(length + 64 * 7);
      placeDraws(&block, draws, kernel().keepsStarts);
      int next = 0;
      const std::string field = writtenName(kernel(), block, &next);
      size_t taken = 0;
      const std::string expected = nameOfDraws(draws, &taken);
      ASSERT_EQ(field, expected + std::string(64 - expected.size(), '\0'))
          << "runs of " << runLength << ", length " << length;
      ASSERT_EQ(next, static_cast<int>(taken)) << "runs of " << runLength << ", length " << length;
    }
  }
}

// Names begun anywhere in a block, also after refills have moved its draws, against the rule
// applied to the draws the block holds.
TEST_P(Kernels, LetterNamesFromAnyDrawMatchTheRule) {
  startDrawBlock(&block, kernel().fillDraws, 1765224000u, kernel().keepsStarts);
  for (int refill = 0; refill < 3; ++refill) {
    for (int at = 0; at + kMakeAhead <= block.filled; ++at) {
      const std::vector<uint16_t> draws(block.draws + at, block.draws + at + kEntryDrawBound);
      block.next = at;
      int next = 0;
      const std::string field = writtenName(kernel(), block, &next);
      size_t taken = 0;
      const std::string expected = nameOfDraws(draws, &taken);
      ASSERT_EQ(field, expected + std::string(64 - expected.size(), '\0')) << "refill " << refill << ", draw " << at;
      ASSERT_EQ(next, at + static_cast<int>(taken)) << "refill " << refill << ", draw " << at;
    }
    block.next = 1000 + 37 * refill;
    refillDrawBlock(&block, kernel().fillDraws);
  }
}

QUINDLE_FOR_EVERY_KERNEL(Kernels);

}  // namespace
}  // namespace quindle
