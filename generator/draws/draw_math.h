// The arithmetic behind drawing many random numbers at once, shared by every kernel.
//
// - Jump-ahead: n steps of the generator's recurrence are one affine map of the state, so lanes
//   that each hold every L-th state advance independently, and the state after any number of
//   draws is found without taking them.
// - Exact reciprocals: a draw is at most 32767, so draw % 6, % 20, % 36 and % 300 come from a
//   multiply and a shift; the tests check each one over every possible draw.
// - Character starts: in a random-letter name a space takes one draw and any other character two
//   (the second picks the letter), so which draws begin a character follows from the bit mask of
//   draws that are not spaces, the way escaped characters follow from a mask of escape characters.
#ifndef QUINDLE_GENERATOR_DRAWS_DRAW_MATH_H
#define QUINDLE_GENERATOR_DRAWS_DRAW_MATH_H

#include <cstdint>

#include "generator/draws/random_source.h"

namespace quindle {

struct AffineStep {
  uint32_t multiplier;
  uint32_t increment;
};

// The map that takes a state `count` draws ahead.
constexpr AffineStep stepsOf(uint32_t count) {
  AffineStep total = {1u, 0u};
  AffineStep power = {kRandomMultiplier, kRandomIncrement};
  while (count != 0) {
    if (count & 1u) total = {total.multiplier * power.multiplier, total.increment * power.multiplier + power.increment};
    power = {power.multiplier * power.multiplier, power.increment * power.multiplier + power.increment};
    count >>= 1;
  }
  return total;
}

constexpr uint32_t advanceState(uint32_t state, uint32_t count) {
  const AffineStep step = stepsOf(count);
  return state * step.multiplier + step.increment;
}

constexpr uint32_t drawOfState(uint32_t state) { return (state >> 16) & 0x7FFFu; }

// q = (draw * multiplier) >> shift equals draw / divisor for every draw from 0 to 32767. Every
// product stays below 2^32, and a 16-bit multiply-high followed by (shift - 16) gives the same.
struct Reciprocal {
  uint32_t divisor;
  uint32_t multiplier;
  int shift;
};

constexpr Reciprocal kDivideBy6 = {6, 43691, 18};
constexpr Reciprocal kDivideBy20 = {20, 52429, 20};
constexpr Reciprocal kDivideBy36 = {36, 58255, 21};
constexpr Reciprocal kDivideBy300 = {300, 55925, 24};

constexpr uint32_t quotientOf(uint32_t draw, Reciprocal r) { return (draw * r.multiplier) >> r.shift; }
constexpr uint32_t remainderOf(uint32_t draw, Reciprocal r) {
  return draw - quotientOf(draw, r) * r.divisor;
}

// `ifTrue` or `ifFalse` by masking, for choices that random draws make unpredictable: the
// compiler would turn a plain conditional into a branch that guesses wrong half the time.
constexpr uint64_t chooseBits(bool condition, uint64_t ifTrue, uint64_t ifFalse) {
  const uint64_t mask = 0 - static_cast<uint64_t>(condition);
  return (ifTrue & mask) | (ifFalse & ~mask);
}

constexpr int chooseInt(bool condition, int ifTrue, int ifFalse) {
  const int mask = -static_cast<int>(condition);
  return (ifTrue & mask) | (ifFalse & ~mask);
}

constexpr uint64_t kEvenBits = 0x5555555555555555ull;
constexpr uint64_t kOddBits = 0xAAAAAAAAAAAAAAAAull;

// Bit i of `letterDraws` says draw i would take a letter if it started a character. Given that
// draw 0 starts one, returns the mask of draws that start characters. Every run of letter draws
// begins on a character start (the draw before it is a space or a letter's second draw); from
// there every other draw of the run leads a letter and the draw after each lead is taken by it.
// Subtracting the mask from itself shifted and joined with the odd bits borrows through each run
// and marks its leads and the draw after its last letter without a loop, in five steps.
constexpr uint64_t characterStarts(uint64_t letterDraws) {
  const uint64_t leadsAndEnds = (((letterDraws << 1) | kOddBits) - letterDraws) ^ kOddBits;
  const uint64_t secondDraws = leadsAndEnds ^ letterDraws;
  return ~secondDraws;
}

constexpr uint64_t kEachByte = 0x0101010101010101ull;

// For each byte value, where its set bits are, lowest first (zero past its count): the draw of a
// byte's k-th character start.
struct BitsOfByte {
  uint8_t at[256][8];
};

constexpr BitsOfByte makeBitsOfByte() {
  BitsOfByte bits = {};
  for (int byte = 0; byte < 256; ++byte) {
    int found = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (byte >> bit & 1) bits.at[byte][found++] = static_cast<uint8_t>(bit);
    }
  }
  return bits;
}

inline constexpr BitsOfByte kBitsOfByte = makeBitsOfByte();

}  // namespace quindle

#endif
