// The portable kernel: plain C++ that any processor runs. Eight lanes of the generator advance
// independently, which keeps the multiplies from waiting on one another; names use the
// character-start mask and walk its set bits.
#include "generator/draws/draw_math.h"
#include "generator/draws/entry_run.h"
#include "generator/kernels/kernel_table.h"
#include "generator/kernels/lane_start.h"
#include "generator/kernels/letter_name.h"

namespace quindle {
namespace {

constexpr int kLanes = 8;
constexpr AffineStep kLaneStep = stepsOf(kLanes);

uint32_t fillDrawsPortable(uint32_t state, int count, const DrawBlockFill& fill) {
  const uint32_t endState = advanceState(state, static_cast<uint32_t>(count));
  uint32_t lanes[kLanes];
  startLanes<kLanes>(state, lanes);
  for (int chunk = 0; chunk < count; chunk += 64) {
    for (int i = 0; i < 64; i += kLanes) {
#pragma GCC unroll 8
      for (int lane = 0; lane < kLanes; ++lane) {
        fill.draws[chunk + i + lane] = static_cast<uint16_t>(drawOfState(lanes[lane]));
        lanes[lane] = lanes[lane] * kLaneStep.multiplier + kLaneStep.increment;
      }
    }
    uint64_t bits = 0;
    for (int i = 0; i < 64; ++i) {
      const uint32_t remainder = remainderOf(fill.draws[chunk + i], kDivideBy36);
      fill.glyphs[chunk + i] = static_cast<uint8_t>(kByRemainder36.glyphs[remainder]);
      bits |= static_cast<uint64_t>(kByRemainder36.letterBytes[remainder] & 1u) << i;
    }
    fill.letterBits[chunk / 64] = bits;
  }
  return endState;
}

FileEntry* fillEntriesPortable(PendingDirectory& dir, bool mayHoldDirectories,
                             DrawBlock& block) {
  return fillEntryRun(dir, mayHoldDirectories, block, fillDrawsPortable, writeLetterNameByStarts);
}

}  // namespace

const Kernel kPortableKernel = {"portable", 0, fillDrawsPortable, fillEntriesPortable, findNameLines,
                                writeDictionaryName};

}  // namespace quindle
