// The AVX2 kernel's dictionary name writer: short names (dictionary_name_field.h) with 16-byte
// stores, any other name with the plain writer. (The AVX-512 kernel puts a short name together in
// one register instead, with a byte compress AVX2 does not have.)
#ifndef QUINDLE_GENERATOR_KERNELS_SHORT_DICTIONARY_NAME_H
#define QUINDLE_GENERATOR_KERNELS_SHORT_DICTIONARY_NAME_H

#include <immintrin.h>

#include <cstdint>

#include "generator/dictionary/dictionary_name_field.h"
#include "generator/dictionary/word_table.h"
#include "generator/draws/draw_block.h"
#include "generator/kernels/vector_constants.h"

#define QUINDLE_SHORT_NAME __attribute__((target("avx2"), always_inline)) inline

namespace quindle {

// A row of kVectorConstants, read where it is used; the rest of the AVX2 kernel reads them so too.
QUINDLE_SHORT_NAME __m256i constantRow(const void* row) { return _mm256_load_si256(static_cast<const __m256i*>(row)); }

// `text` with its first byte upper-cased where it is a to z, in its register, as upperCasedLetter
// does: moved by 128 - 'a', the letters a to z are the 26 lowest signed bytes. The AVX2 kernel's
// random-letter names take their first letter's case the same way.
QUINDLE_SHORT_NAME __m256i firstLetterUpperCased(__m256i text) {
  const __m256i lower = _mm256_cmpgt_epi8(constantRow(kVectorConstants.lowerBounds),
                                          _mm256_add_epi8(text, constantRow(kVectorConstants.lowerMoves)));
  return _mm256_sub_epi8(text, _mm256_and_si256(lower, constantRow(kVectorConstants.firstCaseBit)));
}

// Two lines side by side, each its slot moved down past its length byte, with the zeros after its
// characters made spaces.
QUINDLE_SHORT_NAME __m256i spacedLines(__m128i first, __m128i second) {
  const __m256i text = _mm256_srli_si256(_mm256_inserti128_si256(_mm256_castsi128_si256(first), second, 1), 1);
  return _mm256_or_si256(
      text, _mm256_and_si256(_mm256_cmpeq_epi8(text, _mm256_setzero_si256()), constantRow(kVectorConstants.spaces)));
}

// A short name (dictionary_name_field.h): the field cleared, then each line stored where the name
// has got to, so that the next line's store leaves only its first space. A line the name does not
// take is stored where the name ends, as is the zero store after the last line, which covers it.
// The four lengths are worked on side by side as the bytes of one word: where each line goes is a
// running sum, one multiply. Lines are made spaced two at a time, in the halves of one vector.
// Any other name takes the plain writer: the slots loaded here say which.
QUINDLE_SHORT_NAME int writeDictionaryNameAvx2(const DrawBlock& block, int at, const LineSource& lines,
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

  const __m256i firstTwo = firstLetterUpperCased(spacedLines(slot[0], slot[1]));
  const __m256i lastTwo = spacedLines(slot[2], slot[3]);

  _mm256_storeu_si256(reinterpret_cast<__m256i*>(field), _mm256_setzero_si256());
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(field + 32), _mm256_setzero_si256());
  _mm_storeu_si128(reinterpret_cast<__m128i*>(field), _mm256_castsi256_si128(firstTwo));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(field + place[1]), _mm256_extracti128_si256(firstTwo, 1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(field + place[2]), _mm256_castsi256_si128(lastTwo));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(field + place[3]), _mm256_extracti128_si256(lastTwo, 1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(field + place[kShortNameLines]), _mm_setzero_si128());
  return at + first.goOnLines * kDrawsPerLine;
}

}  // namespace quindle

#undef QUINDLE_SHORT_NAME

#endif
