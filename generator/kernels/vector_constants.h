// The constants of the vector kernels' loops, read from memory as operands of the instructions
// that use them. Where GCC sees a vector constant's value, it builds the constant in a register
// from an immediate wherever the loop has no register left to hold it: two or three instructions
// each time, on the vector ports those loops keep busy, where a memory operand costs none. It
// also turns a multiply by a known constant into shifts and adds. So the values are defined
// apart, in vector_constants.cc, and the kernels see only where they are.
//
// The record is not const, though nothing writes it: a const one's rows would be loaded once
// before each loop and held in registers, which the loops do not have to spare, so they were
// spilled to the stack and read back from there. As it is, any store through a character pointer
// might change it, so each use reads it where it is used. Plain arrays, so that the file that
// defines them is built for every processor.
#ifndef QUINDLE_GENERATOR_KERNELS_VECTOR_CONSTANTS_H
#define QUINDLE_GENERATOR_KERNELS_VECTOR_CONSTANTS_H

#include <cstdint>

namespace quindle {

// The draws the AVX2 kernel's lanes make in one step: eight lanes in each of four vectors.
constexpr int kAvx2StepDraws = 32;

struct VectorConstants {
  // The AVX2 kernel (kernel_avx2.cc): its lanes' step over kAvx2StepDraws draws and over twice
  // that, a draw's bits in a 16-bit lane, the reciprocal and divisor of kDivideBy36, 16 in each
  // byte, a code's glyph bits (all but kLetterCode), and spaces.
  alignas(32) uint32_t laneMultipliers[8];
  alignas(32) uint32_t laneIncrements[8];
  alignas(32) uint32_t doubleStepMultipliers[8];
  alignas(32) uint32_t doubleStepIncrements[8];
  alignas(32) uint16_t drawBits[16];
  alignas(32) uint16_t reciprocals36[16];
  alignas(32) uint16_t divisors36[16];
  alignas(32) uint8_t sixteens[32];
  alignas(32) uint8_t glyphBits[32];
  alignas(32) uint8_t spaces[32];
  // The AVX2 kernel's line finder: where each of a line's three index draws goes in its drawn
  // index, as masks of 64-bit lanes (the lowest draw, the middle one moved down one bit, and the
  // highest one's two low bits moved down two).
  alignas(32) uint64_t lowDrawBits[4];
  alignas(32) uint64_t middleDrawBits[4];
  alignas(32) uint64_t highDrawBits[4];
  // A name's first letter upper-cased in its register (short_dictionary_name.h, and the AVX2
  // kernel's names): each byte moved by 128 - 'a', the bound below which a moved byte was a to z,
  // and the difference of 'a' and 'A' in the first byte alone.
  alignas(32) uint8_t lowerMoves[32];
  alignas(32) uint8_t lowerBounds[32];
  alignas(32) uint8_t firstCaseBit[32];
  // The AVX-512 kernel's short dictionary names (kernel_avx512.cc), in rows of 64 bytes: each
  // byte's 16-byte lane, its place in the lane less one (the lane's first wraps to 255), spaces,
  // and the first letter's upper-casing as above.
  alignas(64) uint8_t laneNumbers[64];
  alignas(64) uint8_t lanePlaces[64];
  alignas(64) uint8_t wideSpaces[64];
  alignas(64) uint8_t wideLowerMoves[64];
  alignas(64) uint8_t wideLowerBounds[64];
  alignas(64) uint8_t wideFirstCaseBit[64];
};

extern VectorConstants kVectorConstants;

}  // namespace quindle

#endif
