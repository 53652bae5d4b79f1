// The AVX-512 kernel: sixteen lanes of the generator per vector, the alphabet looked up with one
// byte permute (VBMI), and each name collected with one byte compress (VBMI2) straight into the
// entry's 64-byte field; pdep finds where the name ends.
#include <immintrin.h>

// GCC 12's own AVX-512 intrinsic headers leave a vector undefined on purpose and then warn about it.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "generator/bit_select.h"
#include "generator/draw_math.h"
#include "generator/lane_start.h"
#include "generator/letter_name.h"
#include "generator/listing_paths.h"

#define QUINDLE_AVX512 \
  __attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt")))

namespace quindle {
namespace {

constexpr int kLanes = 16;
constexpr AffineStep kLaneStep = stepsOf(kLanes);

struct ByteIndexes {
  alignas(64) uint8_t index[64];
};

constexpr ByteIndexes makeByteIndexes() {
  ByteIndexes indexes = {};
  for (int i = 0; i < 64; ++i) indexes.index[i] = static_cast<uint8_t>(i);
  return indexes;
}

constexpr ByteIndexes kByteIndexes = makeByteIndexes();

QUINDLE_AVX512 __m512i remainders(__m512i draws, Reciprocal r) {
  const __m512i quotients = _mm512_srli_epi16(
      _mm512_mulhi_epu16(draws, _mm512_set1_epi16(static_cast<short>(r.multiplier))), r.shift - 16);
  return _mm512_sub_epi16(draws, _mm512_mullo_epi16(quotients, _mm512_set1_epi16(static_cast<short>(r.divisor))));
}

QUINDLE_AVX512 uint32_t fillDrawsAvx512(uint32_t state, int count, uint16_t* draws,
                                       uint8_t* glyphs, uint64_t* letterBits) {
  const uint32_t endState = advanceState(state, static_cast<uint32_t>(count));
  alignas(64) uint32_t first[kLanes];
  startLanes(state, first, kLanes);
  __m512i lanes = _mm512_load_si512(first);
  const __m512i multiplier = _mm512_set1_epi32(static_cast<int>(kLaneStep.multiplier));
  const __m512i increment = _mm512_set1_epi32(static_cast<int>(kLaneStep.increment));
  const __m512i drawMask = _mm512_set1_epi32(0x7FFF);
  const __m512i spaceRemainder = _mm512_set1_epi16(1);
  const __m512i alphabet = _mm512_load_si512(kPaddedAlphabet.characters);
  for (int chunk = 0; chunk < count; chunk += 64) {
    __m512i words[2];
    for (__m512i& word : words) {
      __m256i halves[2];
      for (__m256i& half : halves) {
        half = _mm512_cvtepi32_epi16(_mm512_and_si512(_mm512_srli_epi32(lanes, 16), drawMask));
        lanes = _mm512_add_epi32(_mm512_mullo_epi32(lanes, multiplier), increment);
      }
      word = _mm512_inserti64x4(_mm512_castsi256_si512(halves[0]), halves[1], 1);
    }
    _mm512_storeu_si512(draws + chunk, words[0]);
    _mm512_storeu_si512(draws + chunk + 32, words[1]);
    const uint64_t low = _mm512_cmpneq_epi16_mask(remainders(words[0], kDivideBy6), spaceRemainder);
    const uint64_t high = _mm512_cmpneq_epi16_mask(remainders(words[1], kDivideBy6), spaceRemainder);
    letterBits[chunk / 64] = low | high << 32;
    const __m512i indexes = _mm512_inserti64x4(
        _mm512_castsi256_si512(_mm512_cvtepi16_epi8(remainders(words[0], kDivideBy36))),
        _mm512_cvtepi16_epi8(remainders(words[1], kDivideBy36)), 1);
    _mm512_storeu_si512(glyphs + chunk, _mm512_permutexvar_epi8(indexes, alphabet));
  }
  return endState;
}

constexpr uint64_t lowBits(int count) { return count >= 64 ? ~0ull : (1ull << count) - 1; }

// The characters of one 64-draw window that starts on a character, packed to the front.
struct WindowCharacters {
  __m512i packed;
  uint64_t letters;
  uint64_t starts;
};

QUINDLE_AVX512 WindowCharacters windowCharacters(const DrawBlock& block, int at) {
  WindowCharacters window;
  window.letters = letterWindow(block, at);
  window.starts = characterStarts(window.letters);
  // A letter's character is the glyph of the draw after its start; a space draw is a space.
  const __m512i glyphs = _mm512_loadu_si512(block.glyphs + at + 1);
  const __m512i characters = _mm512_mask_blend_epi8(window.letters, _mm512_set1_epi8(' '), glyphs);
  window.packed = _mm512_maskz_compress_epi8(window.starts, characters);
  return window;
}

// The draw after the n-th character of a window that begins at `at`.
QUINDLE_AVX512 int afterCharacter(const WindowCharacters& window, int at, int n) {
  const int start = nthSetBit(window.starts, n);
  return at + start + 1 + static_cast<int>(window.letters >> start & 1u);
}

QUINDLE_AVX512 int writeLetterNameAvx512(const DrawBlock& block, int at, char* field) {
  const int length = letterNameLength(block, at);
  int position = at + 1;
  const WindowCharacters first = windowCharacters(block, position);
  const int inFirst = __builtin_popcountll(first.starts);
  __m512i name;
  if (length <= inFirst) {
    name = _mm512_maskz_mov_epi8(lowBits(length), first.packed);
    if (length > 0) position = afterCharacter(first, position, length);
  } else {
    position = afterCharacter(first, position, inFirst);
    const WindowCharacters second = windowCharacters(block, position);
    const __m512i shift = _mm512_sub_epi8(_mm512_load_si512(kByteIndexes.index), _mm512_set1_epi8(static_cast<char>(inFirst)));
    name = _mm512_mask_permutexvar_epi8(first.packed, lowBits(length) & ~lowBits(inFirst), shift, second.packed);
    position = afterCharacter(second, position, length - inFirst);
  }
  const __mmask64 firstIsLower =
      _mm512_cmple_epu8_mask(_mm512_sub_epi8(name, _mm512_set1_epi8('a')), _mm512_set1_epi8('z' - 'a')) & 1u;
  name = _mm512_mask_sub_epi8(name, firstIsLower, name, _mm512_set1_epi8('a' - 'A'));
  _mm512_storeu_si512(field, name);
  return position;
}

}  // namespace

extern const ListingKernel kAvx512Kernel = {ListingPath::kAvx512, "avx512", fillDrawsAvx512,
                                           writeLetterNameAvx512};

}  // namespace quindle
