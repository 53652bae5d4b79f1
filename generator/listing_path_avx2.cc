// The AVX2 + BMI2 kernel: eight lanes of the generator per vector, the reductions by multiply in
// 16-bit lanes, the alphabet looked up with byte shuffles; names walk the character starts with
// BMI's bit instructions.
#include <immintrin.h>

#include "generator/draw_math.h"
#include "generator/entry_run.h"
#include "generator/lane_start.h"
#include "generator/letter_name.h"
#include "generator/listing_paths.h"

#define QUINDLE_AVX2 __attribute__((target("avx2,bmi,bmi2,popcnt")))

namespace quindle {
namespace {

constexpr int kLanes = 8;
constexpr AffineStep kLaneStep = stepsOf(kLanes);

// Two vectors of eight 32-bit draws as sixteen 16-bit draws, in order.
QUINDLE_AVX2 __m256i packDraws(__m256i first, __m256i second) {
  return _mm256_permute4x64_epi64(_mm256_packus_epi32(first, second), 0xD8);
}

QUINDLE_AVX2 __m256i remainders(__m256i draws, Reciprocal r) {
  const __m256i quotients = _mm256_srli_epi16(
      _mm256_mulhi_epu16(draws, _mm256_set1_epi16(static_cast<short>(r.multiplier))), r.shift - 16);
  return _mm256_sub_epi16(draws, _mm256_mullo_epi16(quotients, _mm256_set1_epi16(static_cast<short>(r.divisor))));
}

// Two vectors of sixteen 16-bit values below 256 as 32 bytes, in order.
QUINDLE_AVX2 __m256i packBytes(__m256i first, __m256i second) {
  return _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
}

// Two vectors of sixteen 16-bit masks (all ones or zero) as 32 byte masks, in order.
QUINDLE_AVX2 __m256i packMasks(__m256i first, __m256i second) {
  return _mm256_permute4x64_epi64(_mm256_packs_epi16(first, second), 0xD8);
}

// The character of each index from 0 to 35 in a 64-byte table, from its three 16-byte pieces.
QUINDLE_AVX2 __m256i lookUp36(const char* table, __m256i indexes) {
  const __m128i* pieces = reinterpret_cast<const __m128i*>(table);
  const __m256i piece0 = _mm256_broadcastsi128_si256(_mm_load_si128(pieces));
  const __m256i piece1 = _mm256_broadcastsi128_si256(_mm_load_si128(pieces + 1));
  const __m256i piece2 = _mm256_broadcastsi128_si256(_mm_load_si128(pieces + 2));
  __m256i characters = _mm256_shuffle_epi8(piece0, indexes);
  characters = _mm256_blendv_epi8(characters, _mm256_shuffle_epi8(piece1, indexes),
                                  _mm256_cmpgt_epi8(indexes, _mm256_set1_epi8(15)));
  return _mm256_blendv_epi8(characters, _mm256_shuffle_epi8(piece2, indexes),
                            _mm256_cmpgt_epi8(indexes, _mm256_set1_epi8(31)));
}

QUINDLE_AVX2 uint32_t fillDrawsAvx2(uint32_t state, int count, const DrawBlockFill& fill) {
  const uint32_t endState = advanceState(state, static_cast<uint32_t>(count));
  const LaneSteps<kLanes>& starts = kLaneSteps<kLanes>;
  __m256i lanes = _mm256_add_epi32(
      _mm256_mullo_epi32(_mm256_set1_epi32(static_cast<int>(state)),
                         _mm256_load_si256(reinterpret_cast<const __m256i*>(starts.multipliers))),
      _mm256_load_si256(reinterpret_cast<const __m256i*>(starts.increments)));
  const __m256i multiplier = _mm256_set1_epi32(static_cast<int>(kLaneStep.multiplier));
  const __m256i increment = _mm256_set1_epi32(static_cast<int>(kLaneStep.increment));
  const __m256i drawMask = _mm256_set1_epi32(0x7FFF);
  const __m256i spaceRemainder = _mm256_set1_epi16(1);
  for (int chunk = 0; chunk < count; chunk += 64) {
    uint64_t spaces = 0;
    for (int half = 0; half < 2; ++half) {
      __m256i words[2];
      for (__m256i& word : words) {
        __m256i pair[2];
        for (__m256i& drawn : pair) {
          drawn = _mm256_and_si256(_mm256_srli_epi32(lanes, 16), drawMask);
          lanes = _mm256_add_epi32(_mm256_mullo_epi32(lanes, multiplier), increment);
        }
        word = packDraws(pair[0], pair[1]);
      }
      const int at = chunk + half * 32;
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(fill.draws + at), words[0]);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(fill.draws + at + 16), words[1]);
      const __m256i spaceDraws = packMasks(_mm256_cmpeq_epi16(remainders(words[0], kDivideBy6), spaceRemainder),
                                           _mm256_cmpeq_epi16(remainders(words[1], kDivideBy6), spaceRemainder));
      spaces |= static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(spaceDraws))) << (half * 32);
      const __m256i indexes = packBytes(remainders(words[0], kDivideBy36), remainders(words[1], kDivideBy36));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(fill.glyphs + at), lookUp36(kByRemainder36.glyphs, indexes));
    }
    fill.letterBits[chunk / 64] = ~spaces;
  }
  return endState;
}

QUINDLE_AVX2 int writeLetterNameAvx2(const DrawBlock& block, int at, char* field) {
  return writeLetterNameByStarts(block, at, field);
}

QUINDLE_AVX2 FileEntry* fillEntriesAvx2(PendingDirectory& dir, bool mayHoldDirectories,
                                      DrawBlock& block) {
  return fillEntryRun(dir, mayHoldDirectories, block, fillDrawsAvx2,
                      writeLetterNameAvx2);
}

}  // namespace

extern const ListingKernel kAvx2Kernel = {ListingPath::kAvx2, "avx2", fillDrawsAvx2, writeLetterNameAvx2, fillEntriesAvx2,
                                         findNameLines, writeDictionaryName};

}  // namespace quindle
