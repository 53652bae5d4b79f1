#include "generator/draws/draw_block.h"

#include <cstring>

#include "generator/draws/draw_math.h"

namespace quindle {
namespace {

// Fills from `filled` to the end of the block; `filled` is always a whole number of 64-draw
// chunks, so each chunk's letter bits are one word.
void fillRest(DrawBlock* block, FillDraws fillDraws) {
  const int from = block->filled;
  const DrawBlockFill fill = {block->draws + from, block->characters + from, block->letterBits + from / 64};
  block->endState = fillDraws(block->endState, kBlockDraws - from, fill);
  block->filled = kBlockDraws;
}

}  // namespace

void startDrawBlock(DrawBlock* block, FillDraws fillDraws, uint32_t state) {
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
