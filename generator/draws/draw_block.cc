#include "generator/draws/draw_block.h"

#include <cstring>

#include "generator/draws/draw_math.h"

namespace quindle {
namespace {

// Fills from `filled` to the end of the block; `filled` is always a whole number of 64-draw
// chunks, so each chunk's letter bits are one word.
void fillRest(DrawBlock* block, FillDraws fillDraws) {
  const int from = block->filled;
  const DrawBlockFill fill = drawBlockFillAt(*block, from);
  block->endState = fillDraws(block->endState, kBlockDraws - from, fill);
  block->filled = kBlockDraws;
}

}  // namespace

void startDrawBlock(DrawBlock* block, FillDraws fillDraws, uint32_t state, bool keepStarts) {
  block->starts.kept = keepStarts;
  // Names load past the characters laid out and mask what they do not take: bytes never written
  // must still be defined.
  if (keepStarts) std::memset(block->starts.characters, 0, sizeof block->starts.characters);
  block->starts.count = 0;
  block->starts.carry = 0;
  block->next = 0;
  block->filled = 0;
  block->baseState = state;
  block->endState = state;
  block->refills = 0;
  fillRest(block, fillDraws);
}

void slideDrawBlock(DrawBlock* block) {
  const int keepFrom = block->next & ~63;
  const int kept = block->filled - keepFrom;
  std::memmove(block->draws, block->draws + keepFrom, static_cast<size_t>(kept) * sizeof block->draws[0]);
  std::memmove(block->characters, block->characters + keepFrom, static_cast<size_t>(kept));
  std::memmove(block->letterBits, block->letterBits + keepFrom / 64,
               static_cast<size_t>(kept / 64) * sizeof block->letterBits[0]);
  DrawStarts& starts = block->starts;
  if (starts.kept) {
    const int word = keepFrom / 32;
    const int32_t dropped = starts.words[word].before;
    for (int w = 0; w < kept / 32; ++w) {
      starts.words[w] = starts.words[word + w];
      starts.words[w].before -= dropped;
    }
    std::memmove(starts.characters, starts.characters + dropped, static_cast<size_t>(starts.count - dropped));
    starts.count -= dropped;
  }
  block->baseState = advanceState(block->baseState, static_cast<uint32_t>(keepFrom));
  block->next -= keepFrom;
  block->filled = kept;
  ++block->refills;
}

void refillDrawBlock(DrawBlock* block, FillDraws fillDraws) {
  slideDrawBlock(block);
  fillRest(block, fillDraws);
}

uint32_t finishDrawBlock(const DrawBlock& block) {
  return advanceState(block.baseState, static_cast<uint32_t>(block.next));
}

}  // namespace quindle
