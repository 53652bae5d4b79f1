// The vector kernels' dictionary name writer: short names (dictionary_name_field.h) with 16-byte
// stores, any other name with the plain writer. SSE2 alone, so that each vector kernel inlines
// it into code compiled for its own instructions.
#ifndef QUINDLE_GENERATOR_KERNELS_SHORT_DICTIONARY_NAME_H
#define QUINDLE_GENERATOR_KERNELS_SHORT_DICTIONARY_NAME_H

#include <immintrin.h>

#include <cstdint>

#include "generator/dictionary/dictionary_name_field.h"
#include "generator/dictionary/word_table.h"
#include "generator/draws/draw_block.h"
#include "generator/kernels/vector_constants.h"

#define QUINDLE_SHORT_NAME __attribute__((target("sse2"), always_inline)) inline

namespace quindle {

// For a name of g lines (g up to kShortNameLines), row g: all ones for each line it takes, zeros
// for the others. Read from memory, each line's mask is an operand of the AND that applies it;
// worked out, it took three instructions more per line.
struct alignas(16) TakenLineMasks {
  uint8_t line[kShortNameLines][16];
};
constexpr TakenLineMasks takenLineMasksOf(int lines) {
  TakenLineMasks masks{};
  for (int i = 0; i < kShortNameLines; ++i) {
    for (int byte = 0; byte < 16; ++byte) masks.line[i][byte] = i < lines ? 0xFF : 0;
  }
  return masks;
}
constexpr TakenLineMasks kTakenLineMasks[kShortNameLines + 1] = {
    takenLineMasksOf(0), takenLineMasksOf(1), takenLineMasksOf(2), takenLineMasksOf(3), takenLineMasksOf(4)};

// A row of kVectorConstants, read where it is used.
QUINDLE_SHORT_NAME __m128i shortNameConstant(const uint8_t* row) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(row));
}

// A short name (dictionary_name_field.h): each line is its slot moved down past its length byte,
// with the zeros after its characters made spaces, stored where the name has got to, so that the
// next line's store leaves only its first space; a line the name does not take is stored as zeros
// and adds nothing. The four lengths are worked on side by side as the bytes of one word: where
// each line goes is a running sum, one multiply. Any other name takes the plain writer: the slots
// loaded here say which. The field must be zeros already: each kernel clears it with its widest
// stores, fewer than the four this code could make.
QUINDLE_SHORT_NAME int writeVectorDictionaryName(const DrawBlock& block, int at, const LineSource& lines,
                                                           const NameLines& first, char* field) {
  const LineSlot* const slots = lines.slots;
  __m128i slot[kShortNameLines];
#pragma GCC unroll 4
  for (int i = 0; i < kShortNameLines; ++i) {
    slot[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(slots + first.lines[i]));
  }
  // Byte i: line i's length.
  const __m128i lengthBytes = _mm_unpacklo_epi16(_mm_unpacklo_epi8(slot[0], slot[1]), _mm_unpacklo_epi8(slot[2], slot[3]));
  const uint32_t longLines =
      static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(lengthBytes, _mm_set1_epi8(static_cast<char>(kLongLine)))));
  if (first.goOnLines > kShortNameLines || (longLines & takenLineBits(first.goOnLines)) != 0) {
    return writeDictionaryName(block, at, lines, first, field);
  }
  // Each taken line's length and space, and their running sum: byte i is where line i + 1 goes.
  const uint32_t takenBytes = ~0u >> (32 - 8 * first.goOnLines);
  const uint32_t steps = (static_cast<uint32_t>(_mm_cvtsi128_si32(lengthBytes)) + 0x01010101u) & takenBytes;
  const uint32_t ends = steps * 0x01010101u;
  const int place[kShortNameLines + 1] = {0, static_cast<int>(ends & 0xFF), static_cast<int>(ends >> 8 & 0xFF),
                                          static_cast<int>(ends >> 16 & 0xFF), static_cast<int>(ends >> 24)};

  const __m128i spaces = shortNameConstant(kVectorConstants.spaces);
  const TakenLineMasks& taken = kTakenLineMasks[first.goOnLines];
#pragma GCC unroll 4
  for (int i = 0; i < kShortNameLines; ++i) {
    const __m128i text = _mm_srli_si128(slot[i], 1);
    __m128i spaced = _mm_or_si128(text, _mm_and_si128(_mm_cmpeq_epi8(text, _mm_setzero_si128()), spaces));
    if (i == 0) {
      // The first letter upper-cased in its register, as upperCasedLetter does: moved by 128 - 'a',
      // the letters a to z are the 26 lowest signed bytes.
      const __m128i lower = _mm_cmplt_epi8(_mm_add_epi8(spaced, shortNameConstant(kVectorConstants.lowerMoves)),
                                           shortNameConstant(kVectorConstants.lowerBounds));
      spaced = _mm_sub_epi8(spaced, _mm_and_si128(lower, shortNameConstant(kVectorConstants.firstCaseBit)));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(field + place[i]),
                     _mm_and_si128(spaced, _mm_load_si128(reinterpret_cast<const __m128i*>(taken.line[i]))));
  }
  // After a fourth line, the spaces past its first.
  _mm_storeu_si128(reinterpret_cast<__m128i*>(field + place[kShortNameLines]), _mm_setzero_si128());
  return at + first.goOnLines * kDrawsPerLine;
}

}  // namespace quindle

#undef QUINDLE_SHORT_NAME

#endif
