// The AVX2 + BMI2 kernel: eight lanes of the generator per vector, the reductions by multiply in
// 16-bit lanes, the alphabet looked up with byte shuffles; names gather their characters eight
// draws at a time with byte shuffles, and pdep finds where they end.
#include <immintrin.h>

#include <cstddef>

#include "generator/draws/draw_math.h"
#include "generator/draws/entry_run.h"
#include "generator/kernels/instruction_sets.h"
#include "generator/kernels/kernel_table.h"
#include "generator/kernels/lane_start.h"
#include "generator/kernels/letter_name.h"
#include "generator/kernels/name_bits.h"

// What this kernel's code is compiled for, and so what a processor must have to run it.
#define QUINDLE_AVX2_TARGET "avx2,bmi,bmi2,popcnt"
#define QUINDLE_AVX2 __attribute__((target(QUINDLE_AVX2_TARGET)))

namespace quindle {
namespace {

constexpr InstructionSets kNeeds = instructionSetsOf(QUINDLE_AVX2_TARGET);
static_assert((kNeeds & kUnknownInstructionSet) == 0, "detection asks for every set the target names");

constexpr int kLanes = 8;

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

// Four vectors of eight lanes, each advancing 32 draws at a time: a multiply takes ten cycles
// to give its result, so one vector stepping alone would leave the multiplier waiting.
constexpr int kVectors = 4;
static_assert(kVectors == 4, "the fill below names its four vectors");
constexpr AffineStep kChunkStep = stepsOf(kLanes * kVectors);

QUINDLE_AVX2 uint32_t fillDrawsAvx2(uint32_t state, int count, const DrawBlockFill& fill) {
  const uint32_t endState = advanceState(state, static_cast<uint32_t>(count));
  const LaneSteps<kLanes * kVectors>& starts = kLaneSteps<kLanes * kVectors>;
  const __m256i seed = _mm256_set1_epi32(static_cast<int>(state));
  const auto startLane = [&](int v) QUINDLE_AVX2 {
    return _mm256_add_epi32(
        _mm256_mullo_epi32(seed, _mm256_load_si256(reinterpret_cast<const __m256i*>(starts.multipliers + v * kLanes))),
        _mm256_load_si256(reinterpret_cast<const __m256i*>(starts.increments + v * kLanes)));
  };
  __m256i lanes0 = startLane(0), lanes1 = startLane(1), lanes2 = startLane(2), lanes3 = startLane(3);
  const __m256i multiplier = _mm256_set1_epi32(static_cast<int>(kChunkStep.multiplier));
  const __m256i increment = _mm256_set1_epi32(static_cast<int>(kChunkStep.increment));
  const auto advance = [&](__m256i lanes) QUINDLE_AVX2 {
    return _mm256_add_epi32(_mm256_mullo_epi32(lanes, multiplier), increment);
  };
  const __m256i drawMask = _mm256_set1_epi32(0x7FFF);
  const auto drawsOf = [&](__m256i lanes) QUINDLE_AVX2 {
    return _mm256_and_si256(_mm256_srli_epi32(lanes, 16), drawMask);
  };
  const __m256i spaceRemainder = _mm256_set1_epi16(1);
  for (int chunk = 0; chunk < count; chunk += 64) {
    uint64_t spaces = 0;
    for (int half = 0; half < 2; ++half) {
      const __m256i words0 = packDraws(drawsOf(lanes0), drawsOf(lanes1));
      const __m256i words1 = packDraws(drawsOf(lanes2), drawsOf(lanes3));
      lanes0 = advance(lanes0);
      lanes1 = advance(lanes1);
      lanes2 = advance(lanes2);
      lanes3 = advance(lanes3);
      const int at = chunk + half * 32;
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(fill.draws + at), words0);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(fill.draws + at + 16), words1);
      const __m256i spaceDraws = packMasks(_mm256_cmpeq_epi16(remainders(words0, kDivideBy6), spaceRemainder),
                                           _mm256_cmpeq_epi16(remainders(words1, kDivideBy6), spaceRemainder));
      spaces |= static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(spaceDraws))) << (half * 32);
      const __m256i indexes = packBytes(remainders(words0, kDivideBy36), remainders(words1, kDivideBy36));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(fill.glyphs + at), lookUp36(kByRemainder36.glyphs, indexes));
    }
    fill.letterBits[chunk / 64] = ~spaces;
  }
  return endState;
}

// For each byte of bits, the eight bytes that are 0xFF where its bits are set.
struct ByteMasks {
  alignas(64) uint64_t of[256];
};

constexpr ByteMasks makeByteMasks() {
  ByteMasks masks = {};
  for (int bits = 0; bits < 256; ++bits) {
    for (int i = 0; i < 8; ++i) {
      if (bits >> i & 1) masks.of[bits] |= uint64_t{0xFF} << (8 * i);
    }
  }
  return masks;
}

constexpr ByteMasks kByteMasks = makeByteMasks();

// For each byte of bits, a byte shuffle that gathers the bytes where its bits are set to the
// front, in order (0x80 clears the rest).
struct ByteGathers {
  alignas(64) uint64_t of[256];
};

constexpr ByteGathers makeByteGathers() {
  ByteGathers gathers = {};
  for (int bits = 0; bits < 256; ++bits) {
    int taken = 0;
    for (int i = 0; i < 8; ++i) {
      if (bits >> i & 1) gathers.of[bits] |= static_cast<uint64_t>(i) << (8 * taken++);
    }
    for (; taken < 8; ++taken) gathers.of[bits] |= uint64_t{0x80} << (8 * taken);
  }
  return gathers;
}

constexpr ByteGathers kByteGathers = makeByteGathers();

// A name's characters run on past its end by up to seven bytes, into the size text, which the
// entry's own is written over afterwards.
static_assert(offsetof(FileEntry, sizeText) == kLetterNameField && FILE_ENTRY_SIZE_TEXT_SIZE >= 8,
              "a name's last eight bytes stay inside its entry's size text");

// Eight draws at a time: their characters (a letter's glyph is the next draw's, a space draw is a
// space) are gathered by the draws that start a character, and stored at the name's end.
QUINDLE_AVX2 int writeLetterNameAvx2(const DrawBlock& block, int at, char* field) {
  const int length = letterNameLength(block, at);
  LetterWindow first;
  LetterWindow second;
  letterNameWindows(block, at, &first, &second);

  const __m256i zeros = _mm256_setzero_si256();
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(field), zeros);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(field + 32), zeros);
  const __m128i spaces = _mm_set1_epi8(' ');
  int written = 0;
  for (int chunk = 0; written < length; ++chunk) {
    const int shift = 8 * (chunk & 7);
    const bool inSecond = chunk >= 8;
    const LetterWindow& window = inSecond ? second : first;
    const uint32_t letters = static_cast<uint32_t>(window.letters >> shift) & 0xFFu;
    const uint32_t starts = static_cast<uint32_t>(window.starts >> shift) & 0xFFu;
    const __m128i glyphs = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(block.glyphs + at + 2 + 8 * chunk));
    const __m128i isLetter = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kByteMasks.of + letters));
    const __m128i characters = _mm_blendv_epi8(spaces, glyphs, isLetter);
    const __m128i gathered = _mm_shuffle_epi8(characters, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kByteGathers.of + starts)));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(field + written), gathered);
    written += __builtin_popcount(starts);
  }
  // The characters gathered past the name's end lie within the eight bytes after it.
  _mm_storel_epi64(reinterpret_cast<__m128i*>(field + length), _mm_setzero_si128());
  field[0] = upperCasedLetter(field[0]);
  return nameEnd(length, first.at, first.starts, __builtin_popcountll(first.starts), second.at, second.starts);
}

QUINDLE_AVX2 FileEntry* fillEntriesAvx2(PendingDirectory& dir, bool mayHoldDirectories,
                                      DrawBlock& block) {
  return fillEntryRun(dir, mayHoldDirectories, block, fillDrawsAvx2,
                      writeLetterNameAvx2);
}

}  // namespace

extern const Kernel kAvx2Kernel = {"avx2", kNeeds, fillDrawsAvx2, fillEntriesAvx2, findNameLines, writeDictionaryName};

}  // namespace quindle
