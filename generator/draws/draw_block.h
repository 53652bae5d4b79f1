// Draws taken ahead of use, in a block, with what every name needs of each draw worked out once.
//
// The builder reads draws from the block by position instead of calling the generator per draw;
// a kernel (generator/kernels/kernel_table.h) fills the block many lanes at a time. For draw i the
// block holds the draw, one bit saying whether it would make a letter rather than a space, and the
// character a random-letter name gets where a character starts at draw i: a space, or the
// alphabet character that draw i + 1 picks. Names then only gather characters, without looking
// at the draw after each one. Before each entry the builder makes sure that at least
// kEntryDrawBound draws lie ahead, plus kLookAhead for name windows that read past the draws a
// name consumes; a refill keeps the unread tail and draws more behind it.
//
// The generator's state is not touched while the block is in use: finishDrawBlock works out the
// state after the last draw consumed, so draws that were filled but not read are given back.
#ifndef QUINDLE_GENERATOR_DRAWS_DRAW_BLOCK_H
#define QUINDLE_GENERATOR_DRAWS_DRAW_BLOCK_H

#include <cstdint>

namespace quindle {

constexpr int kBlockDraws = 4096;
// An entry takes at most 260 draws: a name of up to 64 dictionary lines at 4 draws each (a
// random-letter name takes at most 127), then size, value, directory and a child's count.
constexpr int kEntryDrawBound = 260;
// Name writers read past the draws they take: a random-letter name reads two windows of 64
// draws (and one more word of letter bits) that begin at most 127 draws in. (The dictionary
// names' scout, which reads further ahead, checks the block's end for itself.)
constexpr int kLookAhead = 256;
constexpr int kRefillBelow = kEntryDrawBound + kLookAhead;

// The characters of one sequence of character starts, laid end to end: the starts a name would
// have if one began at the block's first draw. Every name's own starts join these at the first
// draw that would not take a letter (before it, the two may take a run of letter draws in
// opposite pairs; after it, each has a start on the next draw), so a name is a few characters of
// its own and then a piece of these, copied rather than gathered start by start. A kernel whose
// names read them keeps them as it fills; where a block does not keep them, `kept` is false and
// nothing else here is meaningful.
struct DrawStarts {
  alignas(64) char characters[kBlockDraws + 128];  // room for a 64-byte load past the last
  // Per 32 draws, one record, read by names in one load.
  struct Word {
    uint32_t bits;   // bit i: the word's draw i starts a character
    int32_t before;  // characters before the word's first draw
  } words[kBlockDraws / 32];
  int32_t count;   // characters laid out
  uint32_t carry;  // 1 when the last draw laid out leads a letter, which takes the draw after it
  bool kept;
};

struct DrawBlock {
  alignas(64) uint16_t draws[kBlockDraws];
  alignas(64) char characters[kBlockDraws + 64];          // room for a 64-byte load at any draw
  alignas(64) uint64_t letterBits[kBlockDraws / 64 + 1];  // bit i: draw i would take a letter
  DrawStarts starts;
  int next;      // the next draw to read
  int filled;    // draws held
  uint32_t baseState;  // the state before draws[0]
  uint32_t endState;   // the state after draws[filled - 1]
  uint32_t refills;    // how many times the draws have moved, so that positions taken earlier are stale
};

// Where a fill writes, from the first draw it takes.
struct DrawBlockFill {
  uint16_t* draws;
  char* characters;  // with room for 64 more, which a fill may use as it likes
  uint64_t* letterBits;  // one word per 64 draws
  DrawStarts* starts;  // null where the block keeps none
  int startWord;       // the word of starts.words of the fill's first draw
};

// The fill of `block` from draw `from`, a multiple of 64.
inline DrawBlockFill drawBlockFillAt(DrawBlock& block, int from) {
  return {block.draws + from, block.characters + from, block.letterBits + from / 64,
          block.starts.kept ? &block.starts : nullptr, from / 32};
}

// Takes `count` draws (a multiple of 64) from `state` into `fill`; returns the state after the
// last. The character of the last draw looks at the draw after it, which the fill works out
// without taking it. Each kernel has its own.
using FillDraws = uint32_t (*)(uint32_t state, int count, const DrawBlockFill& fill);

// Fills a whole block from `state`, the generator's current state; `keepStarts` where the
// kernel's fill keeps the block's DrawStarts and its names read them.
void startDrawBlock(DrawBlock* block, FillDraws fillDraws, uint32_t state, bool keepStarts = false);

// Keeps the draws from `next` on and fills the rest of the block.
void refillDrawBlock(DrawBlock* block, FillDraws fillDraws);

// Moves the draws from `next` on (from the start of its chunk) to the start of the block.
void slideDrawBlock(DrawBlock* block);

// A kernel's draw maker: the generator's lanes held in registers, making 64 draws at a time
// (a member `state`, the state after the last draw made, follows them). Its two operations are
// handed over as pointers, so that the shared code below makes no call it could not inline, and a
// kernel's own functions are inlined where it uses them, in code compiled for its instructions:
//   make(maker, fill, at)  the 64 draws after maker->state, at `at` of `fill`; a chunk's
//                          characters need the code of the draw after it, so they wait for the
//                          next chunk's codes;
//   settle(maker, fill)    the characters still waiting, with the code of the draw after the
//                          last one made, which is not taken; nothing when none wait.
template <typename Maker>
struct DrawMaking {
  void (*make)(Maker* maker, const DrawBlockFill& fill, int at);
  void (*settle)(Maker* maker, const DrawBlockFill& fill);
};

// A kernel's FillDraws with its maker.
template <typename Maker>
inline __attribute__((always_inline)) uint32_t fillDrawsWith(Maker maker, DrawMaking<Maker> making, int count,
                                                            const DrawBlockFill& fill) {
  for (int at = 0; at < count; at += 64) making.make(&maker, fill, at);
  making.settle(&maker, fill);
  return maker.state;
}

// Draws made between entries keep this many ahead: a refill's worth and a few names more.
constexpr int kMakeAhead = kRefillBelow + 256;

// Makes a chunk of draws when fewer than kMakeAhead lie ahead of `at`, and more only while fewer
// than kRefillBelow do, first moving the unread ones to the block's start where there is no room
// behind them; returns where `at` is then. An entry takes about a chunk, so one chunk each time
// keeps up, and whether a second is needed (a loop that ran once, twice or not at all) is a
// branch no processor foresees: most entries would pay for a wrong guess. The block then always
// holds what an entry needs, so the entry runs never refill it under the maker's lanes.
template <typename Maker>
inline __attribute__((always_inline)) int makeDrawsAhead(Maker* maker, DrawMaking<Maker> making, DrawBlock& block,
                                                         int at) {
  if (block.filled - at >= kMakeAhead) return at;
  const DrawBlockFill whole = drawBlockFillAt(block, 0);
  do {
    if (block.filled + 64 > kBlockDraws) {
      making.settle(maker, whole);
      block.next = at;
      slideDrawBlock(&block);
      at = block.next;
    }
    making.make(maker, whole, block.filled);
    block.filled += 64;
    block.endState = maker->state;
  } while (block.filled - at < kRefillBelow);
  return at;
}

// The generator's state once the draws up to `next` have been taken.
uint32_t finishDrawBlock(const DrawBlock& block);

// The 128 bits of letterBits starting at draw `at`, as two windows sharing their middle word.
inline void letterWindows(const DrawBlock& block, int at, uint64_t* first, uint64_t* second) {
  const uint64_t* words = block.letterBits + (at >> 6);
  const int shift = at & 63;
  const uint64_t middle = words[1];
  // Shifting each upper word in two steps keeps the shift below 64 when `shift` is 0.
  *first = (words[0] >> shift) | ((middle << 1) << (63 - shift));
  *second = (middle >> shift) | ((words[2] << 1) << (63 - shift));
}

}  // namespace quindle

#endif
