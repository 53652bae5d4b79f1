// The AVX-512 kernel: sixteen lanes of the generator per vector, the alphabet looked up with one
// byte permute (VBMI), and each name collected with one byte compress (VBMI2) straight into the
// entry's 64-byte field; pdep finds where the name ends.
#include <immintrin.h>

// GCC 12's own AVX-512 intrinsic headers leave a vector undefined on purpose and then warn about it.
// clang's headers do not, and clang does not know the first of these warnings.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

#include "generator/dictionary/dictionary_name_field.h"
#include "generator/draws/draw_math.h"
#include "generator/draws/entry_run.h"
#include "generator/kernels/instruction_sets.h"
#include "generator/kernels/kernel_table.h"
#include "generator/kernels/lane_start.h"
#include "generator/kernels/letter_name.h"
#include "generator/kernels/name_bits.h"

// What this kernel's code is compiled for, and so what a processor must have to run it (avx512f
// implies avx2 to the compiler).
#define QUINDLE_AVX512_TARGET "avx2,avx512f,avx512bw,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt"
#define QUINDLE_AVX512 __attribute__((target(QUINDLE_AVX512_TARGET)))
// Helpers are folded into their callers: passing vectors between functions goes through memory.
#define QUINDLE_AVX512_INLINE QUINDLE_AVX512 inline __attribute__((always_inline))

namespace quindle {
namespace {

constexpr InstructionSets kNeeds = instructionSetsOf(QUINDLE_AVX512_TARGET);
static_assert((kNeeds & kUnknownInstructionSet) == 0, "detection asks for every set the target names");

constexpr int kLanes = 16;

struct ByteIndexes {
  alignas(64) uint8_t index[64];
};

constexpr ByteIndexes makeByteIndexes() {
  ByteIndexes indexes = {};
  for (int i = 0; i < 64; ++i) indexes.index[i] = static_cast<uint8_t>(i);
  return indexes;
}

constexpr ByteIndexes kByteIndexes = makeByteIndexes();

QUINDLE_AVX512_INLINE __m512i remainders(__m512i draws, Reciprocal r) {
  const __m512i quotients = _mm512_srli_epi16(
      _mm512_mulhi_epu16(draws, _mm512_set1_epi16(static_cast<short>(r.multiplier))), r.shift - 16);
  return _mm512_sub_epi16(draws, _mm512_mullo_epi16(quotients, _mm512_set1_epi16(static_cast<short>(r.divisor))));
}

// Byte and word indexes that gather the draws out of vectors of states and remainders.
struct Gathers {
  alignas(64) uint16_t highHalves[32];  // the upper halves of two vectors of 16 states
  alignas(64) uint8_t lowBytes[64];     // the lower halves of two vectors of 32 words
};

constexpr Gathers makeGathers() {
  Gathers gathers = {};
  for (int i = 0; i < 32; ++i) gathers.highHalves[i] = static_cast<uint16_t>(2 * i + 1);
  for (int i = 0; i < 64; ++i) gathers.lowBytes[i] = static_cast<uint8_t>(2 * i);
  return gathers;
}

constexpr Gathers kGathers = makeGathers();

// Four vectors of 16 lanes, each advancing 64 draws at a time, so no multiply waits on another.
constexpr int kVectors = 4;
static_assert(kVectors == 4, "the fill below names its four vectors");
constexpr AffineStep kChunkStep = stepsOf(kLanes * kVectors);

QUINDLE_AVX512 uint32_t fillDrawsAvx512(uint32_t state, int count, const DrawBlockFill& fill) {
  const uint32_t endState = advanceState(state, static_cast<uint32_t>(count));
  const LaneSteps<kLanes * kVectors>& starts = kLaneSteps<kLanes * kVectors>;
  const __m512i seed = _mm512_set1_epi32(static_cast<int>(state));
  const auto startLane = [&](int v) QUINDLE_AVX512 {
    return _mm512_add_epi32(_mm512_mullo_epi32(seed, _mm512_load_si512(starts.multipliers + v * kLanes)),
                            _mm512_load_si512(starts.increments + v * kLanes));
  };
  // Named rather than in an array, so that they stay in registers.
  __m512i lanes0 = startLane(0), lanes1 = startLane(1), lanes2 = startLane(2), lanes3 = startLane(3);
  const __m512i multiplier = _mm512_set1_epi32(static_cast<int>(kChunkStep.multiplier));
  const __m512i increment = _mm512_set1_epi32(static_cast<int>(kChunkStep.increment));
  const auto advance = [&](__m512i lanes) QUINDLE_AVX512 {
    return _mm512_add_epi32(_mm512_mullo_epi32(lanes, multiplier), increment);
  };
  const __m512i highHalves = _mm512_load_si512(kGathers.highHalves);
  const __m512i drawMask = _mm512_set1_epi16(0x7FFF);
  const __m512i alphabet = _mm512_load_si512(kByRemainder36.glyphs);
  const __m512i letterTable = _mm512_load_si512(kByRemainder36.letterBytes);
  const __m512i lowBytes = _mm512_load_si512(kGathers.lowBytes);
  for (int chunk = 0; chunk < count; chunk += 64) {
    // A draw is bits 16 to 30 of its state: the upper 16-bit half of each lane, less its top bit.
    const __m512i low = _mm512_and_si512(_mm512_permutex2var_epi16(lanes0, highHalves, lanes1), drawMask);
    const __m512i high = _mm512_and_si512(_mm512_permutex2var_epi16(lanes2, highHalves, lanes3), drawMask);
    lanes0 = advance(lanes0);
    lanes1 = advance(lanes1);
    lanes2 = advance(lanes2);
    lanes3 = advance(lanes3);
    _mm512_storeu_si512(fill.draws + chunk, low);
    _mm512_storeu_si512(fill.draws + chunk + 32, high);
    const __m512i remainders36 = _mm512_permutex2var_epi8(remainders(low, kDivideBy36), lowBytes,
                                                          remainders(high, kDivideBy36));
    _mm512_storeu_si512(fill.glyphs + chunk, _mm512_permutexvar_epi8(remainders36, alphabet));
    const __m512i letters = _mm512_permutexvar_epi8(remainders36, letterTable);
    fill.letterBits[chunk / 64] = _mm512_test_epi8_mask(letters, letters);
  }
  return endState;
}

// The name with its first character upper-cased where it is a lower-case letter.
QUINDLE_AVX512_INLINE __m512i firstUpperCased(__m512i name) {
  const __mmask64 firstIsLower = _mm512_mask_cmple_epu8_mask(
      1, _mm512_sub_epi8(name, _mm512_set1_epi8('a')), _mm512_set1_epi8('z' - 'a'));
  return _mm512_mask_sub_epi8(name, firstIsLower, name, _mm512_set1_epi8('a' - 'A'));
}

// The characters of a window in draw order, one per draw that starts a character (the others
// are left as they come). A letter's character is the glyph of the draw after its start; a
// space draw is a space.
QUINDLE_AVX512_INLINE __m512i windowCharacters(const DrawBlock& block, const LetterWindow& window) {
  const __m512i glyphs = _mm512_loadu_si512(block.glyphs + window.at + 1);
  return _mm512_mask_blend_epi8(window.letters, _mm512_set1_epi8(' '), glyphs);
}

// Each window's characters compressed by its starts, the second's moved up behind the first's.
QUINDLE_AVX512_INLINE int writeLetterNameAvx512(const DrawBlock& block, int at, char* field) {
  const int length = letterNameLength(block, at);
  LetterWindow first;
  LetterWindow second;
  letterNameWindows(block, at, &first, &second);
  const int inFirst = __builtin_popcountll(first.starts);

  const __m512i shift = _mm512_sub_epi8(_mm512_load_si512(kByteIndexes.index),
                                        _mm512_set1_epi8(static_cast<char>(inFirst)));
  const __m512i firstCharacters = windowCharacters(block, first);
  const __m512i secondCharacters = windowCharacters(block, second);
  __m512i name = _mm512_maskz_mov_epi8(lowBits(length), _mm512_maskz_compress_epi8(first.starts, firstCharacters));
  name = _mm512_mask_permutexvar_epi8(name, lowBits(length) & ~lowBits(inFirst), shift,
                                      _mm512_maskz_compress_epi8(second.starts, secondCharacters));
  _mm512_storeu_si512(field, firstUpperCased(name));

  // The name ends where its next character would start.
  return nameEnd(length, first.at, first.starts, inFirst, second.at, second.starts);
}

QUINDLE_AVX512 FileEntry* fillEntriesAvx512(PendingDirectory& dir, bool mayHoldDirectories,
                                          DrawBlock& block) {
  return fillEntryRun(dir, mayHoldDirectories, block, fillDrawsAvx512,
                      writeLetterNameAvx512);
}

// The draws of a name's first lines are 16 in a row (three for each line's index, then its go-on
// draw), and the go-on draws of its first eight lines lie within 32: one load each, and the four
// indexes and their remainders worked out side by side.
QUINDLE_AVX512 void findNameLinesAvx512(const DrawBlock& block, int at, const LineSource& lines, NameLines* name) {
  static_assert(kNameLinesAhead == 4 && kDrawsPerLine == 4 && kLineIndexDraws == 3 && kMaskedGoOnDraws == 8,
                "a line's draws are one 64-bit word, four lines one 256-bit vector");
  const uint16_t* const draws = block.draws + at;
  // Bit 4i + 3 is set where line i's go-on draw is odd.
  const uint32_t goOnOdd = _mm512_test_epi16_mask(_mm512_loadu_si512(draws), _mm512_set1_epi64(int64_t{1} << 48));
  const uint32_t stops = ~goOnOdd & 0x88888888u;
  const int goOnLines = stops != 0 ? (__builtin_ctz(stops) >> 2) + 1 : goOnLineCount(block, at);

  // Each line's three draws moved to their places in its 32-bit index, the go-on draw shifted
  // out, and the four words of each 128-bit lane ORed together: every word of lane i holds line
  // i's drawn index.
  const __m512i words = _mm512_cvtepu16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(draws)));
  const __m512i placed = _mm512_sllv_epi32(words, _mm512_set4_epi32(32, 30, 15, 0));
  __m512i drawn = _mm512_or_si512(placed, _mm512_shuffle_epi32(placed, _MM_PERM_CDAB));
  drawn = _mm512_or_si512(drawn, _mm512_shuffle_epi32(drawn, _MM_PERM_BADC));
  // remainderOf (generator/dictionary/line_divider.h), on the even words.
  const LineDivider& divider = lines.drawnLines;
  const __m512i high = _mm512_srli_epi64(_mm512_mul_epu32(drawn, _mm512_set1_epi32(static_cast<int>(divider.magic))), 32);
  const __m512i quotient = _mm512_srl_epi32(_mm512_add_epi32(_mm512_srli_epi32(_mm512_sub_epi32(drawn, high), 1), high),
                                            _mm_cvtsi32_si128(static_cast<int>(divider.shift)));
  const __m512i index = _mm512_and_si512(
      _mm512_sub_epi32(drawn, _mm512_mullo_epi32(quotient, _mm512_set1_epi32(static_cast<int>(divider.divisor)))),
      _mm512_set1_epi32(static_cast<int>(divider.keep)));
  // An index past the lines held (a stale stored count) wraps with a divide: rare, so done plainly.
  constexpr __mmask16 kLineWords = 0x1111;
  if ((_mm512_cmpge_epu32_mask(index, _mm512_set1_epi32(lines.table->lineCount)) & kLineWords) != 0) {
    findNameLines(block, at, lines, name);
    return;
  }
  // Lines past the name's own are its first line again.
  const __mmask16 ownLines = static_cast<__mmask16>(
      _pdep_u32(static_cast<uint32_t>(lowBits(goOnLines < kNameLinesAhead ? goOnLines : kNameLinesAhead)), kLineWords));
  const __m512i chosen = _mm512_mask_mov_epi32(_mm512_permutexvar_epi32(_mm512_setzero_si512(), index), ownLines, index);
  const __m512i gathered = _mm512_permutexvar_epi32(_mm512_set_epi32(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 8, 4, 0), chosen);
  name->goOnLines = goOnLines;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(name->lines), _mm512_castsi512_si128(gathered));
}

// Four lines of up to kSlotChars characters, each with its space, stay short of the bound, so a
// name of at most that many short lines is never cut: each line and its space is placed with
// one byte permute, and nothing branches on how many lines the name takes, a coin toss. Longer
// names, and names with a long line, take the plain writer.
constexpr int kPermutedLines = kNameLinesAhead;
static_assert(kPermutedLines * (kSlotChars + 1) < kLetterNameField, "permuted names are never cut");

QUINDLE_AVX512 int writeDictionaryNameAvx512(const DrawBlock& block, int at, const LineSource& lines,
                                             const NameLines& first, char* field) {
  const int goOnLines = first.goOnLines;
  const LineSlot* const slots = lines.table->slots;
  __m128i slot[kPermutedLines];
  uint32_t length[kPermutedLines];
  // Bit i set where the name takes line i. Masks rather than comparisons: the compiler turns a
  // choice on a comparison into a branch, which would fail on every other name.
  const uint32_t taken = static_cast<uint32_t>(lowBits(goOnLines < kPermutedLines ? goOnLines : kPermutedLines));
  uint32_t longLines = 0;
#pragma GCC unroll 4
  for (int i = 0; i < kPermutedLines; ++i) {
    slot[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(slots + first.lines[i]));
    length[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(slot[i])) & 0xFFu;
    longLines |= static_cast<uint32_t>(length[i] == kLongLine) << i;
  }
  if (goOnLines > kPermutedLines || (longLines & taken) != 0) {
    return writeDictionaryName(block, at, lines, first, field);
  }

  const __m512i byteIndexes = _mm512_load_si512(kByteIndexes.index);
  __m512i name = _mm512_setzero_si512();
  uint64_t spaces = 0;
  uint32_t position = 0;
#pragma GCC unroll 4
  for (int i = 0; i < kPermutedLines; ++i) {
    const uint32_t takes = taken >> i & 1u;
    const uint32_t characters = length[i] & (0u - takes);
    // A slot's characters begin at its byte 1, and the permute reads the slot repeated.
    const __m512i fromSlot = _mm512_sub_epi8(byteIndexes, _mm512_set1_epi8(static_cast<char>(position - 1)));
    name = _mm512_mask_permutexvar_epi8(name, lowBits(static_cast<int>(characters)) << position, fromSlot,
                                        _mm512_broadcast_i32x4(slot[i]));
    spaces |= static_cast<uint64_t>(takes) << (position + characters);
    position += characters + takes;
  }
  name = _mm512_mask_mov_epi8(name, spaces, _mm512_set1_epi8(' '));
  _mm512_storeu_si512(field, firstUpperCased(name));
  return at + goOnLines * kDrawsPerLine;
}

}  // namespace

extern const Kernel kAvx512Kernel = {"avx512", kNeeds, fillDrawsAvx512, fillEntriesAvx512, findNameLinesAvx512,
                                     writeDictionaryNameAvx512};

}  // namespace quindle
