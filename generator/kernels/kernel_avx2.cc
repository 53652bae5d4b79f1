// The AVX2 kernel: eight lanes of the generator per vector, the reductions by multiply in 16-bit
// lanes, each draw's code looked up with byte shuffles; names gather their characters eight draws
// at a time with byte shuffles.
//
// Nothing here uses BMI2's pdep or pext. Most processors that run this kernel and no AVX-512 are
// Intel's desktop and laptop parts and AMD's before Zen 4, and AMD's family 17h (Zen, Zen+,
// Zen 2) runs pdep and pext as microcode, tens to hundreds of cycles each, where Intel takes
// three. Where a name ends falls out of gathering its characters instead.
#include <immintrin.h>

#include <cstddef>

#include "generator/dictionary/dictionary_entries.h"
#include "generator/dictionary/dictionary_name_field.h"
#include "generator/draws/draw_math.h"
#include "generator/draws/entry_run.h"
#include "generator/kernels/instruction_sets.h"
#include "generator/kernels/kernel_table.h"
#include "generator/kernels/lane_start.h"
#include "generator/kernels/letter_name.h"

// What this kernel's code is compiled for, and so what a processor must have to run it.
#define QUINDLE_AVX2_TARGET "avx2,bmi,popcnt"
#define QUINDLE_AVX2 __attribute__((target(QUINDLE_AVX2_TARGET)))
// Helpers are folded into their callers, which hold their constants in registers.
#define QUINDLE_AVX2_INLINE QUINDLE_AVX2 inline __attribute__((always_inline))

namespace quindle {
namespace {

constexpr InstructionSets kNeeds = instructionSetsOf(QUINDLE_AVX2_TARGET);
static_assert((kNeeds & kUnknownInstructionSet) == 0, "detection asks for every set the target names");

constexpr int kLanes = 8;
// Four vectors of eight lanes make 32 draws. Packing two vectors of 32-bit states into 16-bit
// draws interleaves them by halves of four, so the lanes are laid out for that: vector v, lane e
// holds draw kDrawOfLane[v][e], and the packs give the 32 draws in order.
constexpr int kVectors = 4;
constexpr int kStepDraws = kLanes * kVectors;

constexpr int drawOfLane(int vector, int lane) {
  return 16 * (vector / 2) + 4 * (vector % 2) + (lane < 4 ? lane : lane + 4);
}

struct LaneStarts {
  alignas(32) uint32_t multipliers[kVectors][kLanes];
  alignas(32) uint32_t increments[kVectors][kLanes];
};

constexpr LaneStarts makeLaneStarts() {
  LaneStarts starts = {};
  for (int v = 0; v < kVectors; ++v) {
    for (int e = 0; e < kLanes; ++e) {
      const AffineStep step = stepsOf(static_cast<uint32_t>(drawOfLane(v, e) + 1));
      starts.multipliers[v][e] = step.multiplier;
      starts.increments[v][e] = step.increment;
    }
  }
  return starts;
}

constexpr LaneStarts kLaneStarts = makeLaneStarts();
constexpr AffineStep kLaneStep = stepsOf(kStepDraws);

QUINDLE_AVX2_INLINE __m256i remainders(__m256i draws, Reciprocal r) {
  const __m256i quotients = _mm256_srli_epi16(
      _mm256_mulhi_epu16(draws, _mm256_set1_epi16(static_cast<short>(r.multiplier))), r.shift - 16);
  return _mm256_sub_epi16(draws, _mm256_mullo_epi16(quotients, _mm256_set1_epi16(static_cast<short>(r.divisor))));
}

// The codes of remainders 0 to 35 from three 16-entry byte shuffles, which give zero where an
// index byte has its top bit set. Indexes 16 to 35 also pick from the first table (by their low
// four bits), and 32 to 35 from the second, so those tables hold each entry XORed with what the
// earlier ones give for it.
struct CodeShuffles {
  alignas(16) uint8_t first[16];
  alignas(16) uint8_t second[16];
  alignas(16) uint8_t third[16];
};

constexpr CodeShuffles makeCodeShuffles() {
  CodeShuffles tables = {};
  for (int i = 0; i < 16; ++i) {
    const uint8_t low = kCodesByRemainder36.code[i];
    const uint8_t middle = kCodesByRemainder36.code[16 + i];
    const uint8_t high = kCodesByRemainder36.code[32 + i];
    tables.first[i] = low;
    tables.second[i] = static_cast<uint8_t>(middle ^ low);
    tables.third[i] = static_cast<uint8_t>(high ^ middle);
  }
  return tables;
}

constexpr CodeShuffles kCodeShuffles = makeCodeShuffles();

QUINDLE_AVX2_INLINE __m256i broadcastTable(const uint8_t* table) {
  return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(table)));
}

QUINDLE_AVX2 uint32_t fillDrawsAvx2(uint32_t state, int count, const DrawBlockFill& fill) {
  const uint32_t endState = advanceState(state, static_cast<uint32_t>(count));
  const __m256i seed = _mm256_set1_epi32(static_cast<int>(state));
  const auto startLane = [&](int v) QUINDLE_AVX2 {
    return _mm256_add_epi32(
        _mm256_mullo_epi32(seed, _mm256_load_si256(reinterpret_cast<const __m256i*>(kLaneStarts.multipliers[v]))),
        _mm256_load_si256(reinterpret_cast<const __m256i*>(kLaneStarts.increments[v])));
  };
  __m256i lanes0 = startLane(0), lanes1 = startLane(1), lanes2 = startLane(2), lanes3 = startLane(3);
  const __m256i multiplier = _mm256_set1_epi32(static_cast<int>(kLaneStep.multiplier));
  const __m256i increment = _mm256_set1_epi32(static_cast<int>(kLaneStep.increment));
  const auto advance = [&](__m256i lanes) QUINDLE_AVX2 {
    return _mm256_add_epi32(_mm256_mullo_epi32(lanes, multiplier), increment);
  };
  const __m256i drawMask = _mm256_set1_epi16(0x7FFF);
  // The upper halves of two vectors of states, as 16-bit draws in the lanes' order.
  const auto drawsOf = [&](__m256i low, __m256i high) QUINDLE_AVX2 {
    return _mm256_and_si256(_mm256_packus_epi32(_mm256_srli_epi32(low, 16), _mm256_srli_epi32(high, 16)), drawMask);
  };
  const __m256i first = broadcastTable(kCodeShuffles.first);
  const __m256i second = broadcastTable(kCodeShuffles.second);
  const __m256i third = broadcastTable(kCodeShuffles.third);
  const __m256i sixteen = _mm256_set1_epi8(16);
  uint8_t* const codes = reinterpret_cast<uint8_t*>(fill.characters);
  for (int at = 0; at < count; at += kStepDraws) {
    const __m256i words0 = drawsOf(lanes0, lanes1);
    const __m256i words1 = drawsOf(lanes2, lanes3);
    lanes0 = advance(lanes0);
    lanes1 = advance(lanes1);
    lanes2 = advance(lanes2);
    lanes3 = advance(lanes3);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(fill.draws + at), words0);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(fill.draws + at + 16), words1);
    // The bytes pack by halves too: a swap of the middle quarters puts them in order.
    const __m256i index = _mm256_permute4x64_epi64(
        _mm256_packus_epi16(remainders(words0, kDivideBy36), remainders(words1, kDivideBy36)), 0xD8);
    const __m256i fromSecond = _mm256_sub_epi8(index, sixteen);
    const __m256i code = _mm256_xor_si256(
        _mm256_xor_si256(_mm256_shuffle_epi8(first, index), _mm256_shuffle_epi8(second, fromSecond)),
        _mm256_shuffle_epi8(third, _mm256_sub_epi8(fromSecond, sixteen)));
    _mm256_store_si256(reinterpret_cast<__m256i*>(codes + at), code);
  }
  codes[count] = kCodesByRemainder36.code[remainderOf(drawOfState(advanceState(endState, 1)), kDivideBy36)];
  // The codes become characters in place, each vector before the one after it is read.
  const __m256i spaces = _mm256_set1_epi8(' ');
  const __m256i glyphBits = _mm256_set1_epi8(static_cast<char>(~kLetterCode));
  for (int at = 0; at < count; at += 64) {
    uint64_t letterBits = 0;
    for (int half = 0; half < 2; ++half) {
      uint8_t* const these = codes + at + 32 * half;
      const __m256i code = _mm256_load_si256(reinterpret_cast<const __m256i*>(these));
      const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(these + 1));
      letterBits |= static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(code))) << (32 * half);
      _mm256_store_si256(reinterpret_cast<__m256i*>(these),
                         _mm256_blendv_epi8(spaces, _mm256_and_si256(next, glyphBits), code));
    }
    fill.letterBits[at / 64] = letterBits;
  }
  return endState;
}

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

// Eight draws at a time: the characters of the draws that start one are gathered and stored at
// the name's end so far. The gathering goes on to the eight draws that hold the (length + 1)-th
// character start, which is where the name ends.
QUINDLE_AVX2 int writeLetterNameAvx2(const DrawBlock& block, int at, char* field) {
  const int length = letterNameLength(block, at);
  LetterWindow first;
  LetterWindow second;
  letterNameWindows(block, at, &first, &second);

  const __m256i zeros = _mm256_setzero_si256();
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(field), zeros);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(field + 32), zeros);
  const char* characters = block.characters + first.at;
  int written = 0;
  int before = 0;
  uint32_t starts = 0;
  for (int chunk = 0; written <= length; ++chunk, characters += 8) {
    const uint64_t window = chunk < 8 ? first.starts : second.starts;
    starts = static_cast<uint32_t>(window >> (8 * (chunk & 7))) & 0xFFu;
    const __m128i gathered =
        _mm_shuffle_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(characters)),
                         _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kByteGathers.of + starts)));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(field + written), gathered);
    before = written;
    written += __builtin_popcount(starts);
  }
  // The characters gathered past the name's end lie within the eight bytes after it.
  _mm_storel_epi64(reinterpret_cast<__m128i*>(field + length), _mm_setzero_si128());
  field[0] = upperCasedLetter(field[0]);
  return static_cast<int>(characters - block.characters) - 8 + kBitsOfByte.at[starts][length - before];
}

QUINDLE_AVX2 FileEntry* fillEntriesAvx2(PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block) {
  return fillEntryRun(dir, mayHoldDirectories, block, fillDrawsAvx2, writeLetterNameAvx2);
}

struct ByteIndexes {
  alignas(16) uint8_t index[16];
};

constexpr ByteIndexes makeByteIndexes() {
  ByteIndexes indexes = {};
  for (int i = 0; i < 16; ++i) indexes.index[i] = static_cast<uint8_t>(i);
  return indexes;
}

constexpr ByteIndexes kByteIndexes = makeByteIndexes();

// A short name (dictionary_name_field.h): each line is its slot moved down past its length byte,
// with its space put in after its characters, and stored where the name has got to; a line the
// name does not take is stored as zeros and adds nothing.
QUINDLE_AVX2_INLINE int writeShortDictionaryNameAvx2(int at, const LineSource& lines, const NameLines& first,
                                                     char* field) {
  const __m256i zeros = _mm256_setzero_si256();
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(field), zeros);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(field + 32), zeros);
  const __m128i indexes = _mm_load_si128(reinterpret_cast<const __m128i*>(kByteIndexes.index));
  const __m128i spaces = _mm_set1_epi8(' ');
  // Lane i all ones where the name takes line i.
  const __m128i taken = _mm_cmpgt_epi32(_mm_set1_epi32(first.goOnLines), _mm_setr_epi32(0, 1, 2, 3));
  const LineSlot* const slots = lines.table->slots;
  int length = 0;
#pragma GCC unroll 4
  for (int i = 0; i < kShortNameLines; ++i) {
    const __m128i slot = _mm_loadu_si128(reinterpret_cast<const __m128i*>(slots + first.lines[i]));
    const __m128i takes = _mm_shuffle_epi32(taken, _MM_SHUFFLE(i, i, i, i));
    const __m128i space = _mm_and_si128(_mm_cmpeq_epi8(indexes, _mm_broadcastb_epi8(slot)), spaces);
    const __m128i piece = _mm_and_si128(_mm_or_si128(_mm_srli_si128(slot, 1), space), takes);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(field + length), piece);
    const int step = (_mm_cvtsi128_si32(slot) & 0xFF) + 1;
    length += step & -static_cast<int>(i < first.goOnLines);
  }
  field[0] = upperCasedLetter(field[0]);
  return at + first.goOnLines * kDrawsPerLine;
}

QUINDLE_AVX2_INLINE int writeDictionaryNameAvx2(const DrawBlock& block, int at, const LineSource& lines,
                                                const NameLines& first, char* field) {
  if (isShortName(*lines.table, first)) return writeShortDictionaryNameAvx2(at, lines, first, field);
  return writeDictionaryName(block, at, lines, first, field);
}

QUINDLE_AVX2 void findNameLinesAvx2(const DrawBlock& block, int at, const LineSource& lines, NameLines* name) {
  findNameLines(block, at, lines, name);
}

QUINDLE_AVX2 FileEntry* fillDictionaryEntriesAvx2(PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block,
                                                  DictionaryRun& run) {
  return fillDictionaryRun(dir, mayHoldDirectories, block, run, fillDrawsAvx2, findNameLinesAvx2,
                           writeDictionaryNameAvx2);
}

}  // namespace

extern const Kernel kAvx2Kernel = {"avx2", kNeeds, fillDrawsAvx2, fillEntriesAvx2, fillDictionaryEntriesAvx2,
                                   findNameLinesAvx2};

}  // namespace quindle
