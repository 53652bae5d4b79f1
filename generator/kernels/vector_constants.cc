#include "generator/kernels/vector_constants.h"

#include "generator/draws/draw_math.h"
#include "generator/kernels/letter_name.h"

namespace quindle {
namespace {

constexpr VectorConstants makeVectorConstants() {
  VectorConstants constants = {};
  const AffineStep step = stepsOf(kAvx2StepDraws);
  const AffineStep doubleStep = stepsOf(2 * kAvx2StepDraws);
  for (int i = 0; i < 8; ++i) {
    constants.laneMultipliers[i] = step.multiplier;
    constants.laneIncrements[i] = step.increment;
    constants.doubleStepMultipliers[i] = doubleStep.multiplier;
    constants.doubleStepIncrements[i] = doubleStep.increment;
  }
  for (int i = 0; i < 16; ++i) {
    constants.drawBits[i] = 0x7FFF;
    constants.reciprocals36[i] = static_cast<uint16_t>(kDivideBy36.multiplier);
    constants.divisors36[i] = static_cast<uint16_t>(kDivideBy36.divisor);
  }
  for (int i = 0; i < 32; ++i) {
    constants.sixteens[i] = 16;
    constants.glyphBits[i] = static_cast<uint8_t>(~kLetterCode);
    constants.spaces[i] = ' ';
  }
  for (int i = 0; i < 4; ++i) {
    constants.lowDrawBits[i] = 0xFFFF;
    constants.middleDrawBits[i] = 0x3FFF8000;
    constants.highDrawBits[i] = 0xC0000000;
  }
  for (int i = 0; i < 32; ++i) {
    constants.lowerMoves[i] = static_cast<uint8_t>(128 - 'a');
    constants.lowerBounds[i] = static_cast<uint8_t>(-128 + 26);
  }
  constants.firstCaseBit[0] = 'a' - 'A';
  for (int i = 0; i < 64; ++i) {
    constants.laneNumbers[i] = static_cast<uint8_t>(i / 16);
    constants.lanePlaces[i] = static_cast<uint8_t>(i % 16 - 1);
    constants.wideSpaces[i] = ' ';
    constants.wideLowerMoves[i] = static_cast<uint8_t>(128 - 'a');
    constants.wideLowerBounds[i] = static_cast<uint8_t>(-128 + 26);
  }
  constants.wideFirstCaseBit[0] = 'a' - 'A';
  return constants;
}

}  // namespace

VectorConstants kVectorConstants = makeVectorConstants();

}  // namespace quindle
