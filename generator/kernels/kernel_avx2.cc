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
#include <cstring>

#include "generator/dictionary/dictionary_entries.h"
#include "generator/dictionary/dictionary_name_field.h"
#include "generator/draws/draw_math.h"
#include "generator/draws/entry_run.h"
#include "generator/kernels/instruction_sets.h"
#include "generator/kernels/kernel_table.h"
#include "generator/kernels/lane_start.h"
#include "generator/kernels/letter_name.h"
#include "generator/kernels/short_dictionary_name.h"
#include "generator/kernels/vector_constants.h"

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
static_assert(kStepDraws == kAvx2StepDraws, "the lanes' step in kVectorConstants");

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

QUINDLE_AVX2_INLINE __m256i remaindersBy36(__m256i draws) {
  const __m256i quotients =
      _mm256_srli_epi16(_mm256_mulhi_epu16(draws, constantRow(kVectorConstants.reciprocals36)), kDivideBy36.shift - 16);
  return _mm256_sub_epi16(draws, _mm256_mullo_epi16(quotients, constantRow(kVectorConstants.divisors36)));
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

// For each byte of bits, a byte shuffle that gathers the bytes where its bits are set to the
// front, in order (0x80 clears the rest).
struct ByteGathers {
  alignas(64) uint64_t of[256];
  alignas(64) uint64_t upper[256];  // the same gathers from the upper eight bytes
};

constexpr ByteGathers makeByteGathers() {
  ByteGathers gathers = {};
  for (int bits = 0; bits < 256; ++bits) {
    int taken = 0;
    for (int i = 0; i < 8; ++i) {
      if (bits >> i & 1) gathers.of[bits] |= static_cast<uint64_t>(i) << (8 * taken++);
    }
    for (; taken < 8; ++taken) gathers.of[bits] |= uint64_t{0x80} << (8 * taken);
    gathers.upper[bits] = gathers.of[bits] + 0x0808080808080808ull;
  }
  return gathers;
}

constexpr ByteGathers kByteGathers = makeByteGathers();

// For each count of bytes gathered into the first eight of sixteen, a byte shuffle that keeps
// those and moves the second eight down to follow them.
struct GapClosings {
  alignas(16) uint8_t after[9][16];
};

constexpr GapClosings makeGapClosings() {
  GapClosings closings = {};
  for (int first = 0; first <= 8; ++first) {
    for (int i = 0; i < 16; ++i) {
      closings.after[first][i] = static_cast<uint8_t>(i < first ? i : i < first + 8 ? 8 + i - first : 0x80);
    }
  }
  return closings;
}

constexpr GapClosings kGapClosings = makeGapClosings();

// A gather of kByteGathers in each 64-bit lane, read as one broadcast load.
QUINDLE_AVX2_INLINE __m256i broadcastGather(const uint64_t& gather) {
  return _mm256_castpd_si256(_mm256_broadcast_sd(reinterpret_cast<const double*>(&gather)));
}

// 32 draws' characters at the block's reference starts (DrawStarts), after those laid out
// already; `letters` says which draws would take a letter.
QUINDLE_AVX2_INLINE void layOutStarts(DrawStarts& starts, int word, __m256i characters, uint32_t letters) {
  // Where the draw before led a letter, the first run of letters starts on its other draws.
  const uint64_t nonLetters = ~static_cast<uint64_t>(letters);
  const uint64_t firstRun = nonLetters ^ (nonLetters - 1);
  const uint32_t bits =
      static_cast<uint32_t>(characterStarts(letters) ^ (firstRun & (0 - static_cast<uint64_t>(starts.carry))));
  starts.carry = (bits & letters) >> 31;
  starts.words[word] = {bits, starts.count};
  // Each 16 draws' characters as one store: each eight gathered to the front of their half, then
  // the second eight moved down against the first.
  const __m256i gathered = _mm256_shuffle_epi8(
      characters, _mm256_blend_epi32(_mm256_blend_epi32(broadcastGather(kByteGathers.of[bits & 0xFFu]),
                                                        broadcastGather(kByteGathers.upper[bits >> 8 & 0xFFu]), 0x0C),
                                     _mm256_blend_epi32(broadcastGather(kByteGathers.of[bits >> 16 & 0xFFu]),
                                                        broadcastGather(kByteGathers.upper[bits >> 24]), 0xC0),
                                     0xF0));
  const int first = __builtin_popcount(bits & 0xFFu);
  const int third = __builtin_popcount(bits >> 16 & 0xFFu);
  const __m256i closed = _mm256_shuffle_epi8(
      gathered, _mm256_inserti128_si256(
                    _mm256_castsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(kGapClosings.after[first]))),
                    _mm_load_si128(reinterpret_cast<const __m128i*>(kGapClosings.after[third])), 1));
  char* const out = starts.characters + starts.count;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(closed));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + __builtin_popcount(bits & 0xFFFFu)), _mm256_extracti128_si256(closed, 1));
  starts.count += __builtin_popcount(bits);
}

// Makes draws 64 at a time with the generator's lanes in registers, into a block's draws, codes
// and letter bits. A half's characters need the code of the draw after it, so each half's codes
// become characters when the next half is made, or, for the last one, when the maker stops.
// Only the lanes and the codes waiting are held from one entry to the next; the constants are
// made where they are used. Held as well, they left the name writer no vector registers of its
// own, and were spilled and read back around every name, which measured slower.
struct ChunkMaker {
  __m256i lanes0, lanes1, lanes2, lanes3;
  uint32_t state;     // the state after the last draw made
  int pendingAt = -1;  // the 32 draws whose codes are still to become characters
  __m256i pendingCodes = _mm256_setzero_si256();

  // Lanes for the draws after `from`.
  QUINDLE_AVX2_INLINE explicit ChunkMaker(uint32_t from) : state(from) {
    const __m256i seed = _mm256_set1_epi32(static_cast<int>(from));
    const auto startLane = [&](int v) QUINDLE_AVX2 {
      return _mm256_add_epi32(
          _mm256_mullo_epi32(seed, _mm256_load_si256(reinterpret_cast<const __m256i*>(kLaneStarts.multipliers[v]))),
          _mm256_load_si256(reinterpret_cast<const __m256i*>(kLaneStarts.increments[v])));
    };
    lanes0 = startLane(0);
    lanes1 = startLane(1);
    lanes2 = startLane(2);
    lanes3 = startLane(3);
  }

  QUINDLE_AVX2_INLINE __m256i advanced(__m256i lanes) const {
    return _mm256_add_epi32(_mm256_mullo_epi32(lanes, constantRow(kVectorConstants.laneMultipliers)),
                            constantRow(kVectorConstants.laneIncrements));
  }

  // Lanes advanced by two steps.
  QUINDLE_AVX2_INLINE __m256i advancedTwice(__m256i lanes) const {
    return _mm256_add_epi32(_mm256_mullo_epi32(lanes, constantRow(kVectorConstants.doubleStepMultipliers)),
                            constantRow(kVectorConstants.doubleStepIncrements));
  }

  // The upper halves of two vectors of states, as 16-bit draws in the lanes' order.
  QUINDLE_AVX2_INLINE __m256i drawsOf(__m256i low, __m256i high) const {
    return _mm256_and_si256(_mm256_packus_epi32(_mm256_srli_epi32(low, 16), _mm256_srli_epi32(high, 16)),
                            constantRow(kVectorConstants.drawBits));
  }

  // The pending half's characters, from its codes and the codes of the 32 draws after it.
  QUINDLE_AVX2_INLINE void settle(const DrawBlockFill& fill, __m256i nextCodes) {
    if (pendingAt < 0) return;
    const __m256i next = _mm256_alignr_epi8(_mm256_permute2x128_si256(pendingCodes, nextCodes, 0x21), pendingCodes, 1);
    const __m256i characters =
        _mm256_blendv_epi8(constantRow(kVectorConstants.spaces),
                           _mm256_and_si256(next, constantRow(kVectorConstants.glyphBits)), pendingCodes);
    _mm256_store_si256(reinterpret_cast<__m256i*>(fill.characters + pendingAt), characters);
    if (fill.starts) {
      layOutStarts(*fill.starts, fill.startWord + pendingAt / 32, characters,
                   static_cast<uint32_t>(_mm256_movemask_epi8(pendingCodes)));
    }
  }

  // The 32 draws after `state`, at `at` of `fill`; returns their letter bits.
  QUINDLE_AVX2_INLINE uint32_t makeHalf(const DrawBlockFill& fill, int at) {
    const __m256i words0 = drawsOf(lanes0, lanes1);
    const __m256i words1 = drawsOf(lanes2, lanes3);
    lanes0 = advanced(lanes0);
    lanes1 = advanced(lanes1);
    lanes2 = advanced(lanes2);
    lanes3 = advanced(lanes3);
    state = state * kLaneStep.multiplier + kLaneStep.increment;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(fill.draws + at), words0);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(fill.draws + at + 16), words1);
    // The bytes pack by halves too: a swap of the middle quarters puts them in order.
    const __m256i index = _mm256_permute4x64_epi64(
        _mm256_packus_epi16(remaindersBy36(words0), remaindersBy36(words1)), 0xD8);
    const __m256i sixteen = constantRow(kVectorConstants.sixteens);
    const __m256i fromSecond = _mm256_sub_epi8(index, sixteen);
    const __m256i codes = _mm256_xor_si256(
        _mm256_xor_si256(_mm256_shuffle_epi8(broadcastTable(kCodeShuffles.first), index),
                         _mm256_shuffle_epi8(broadcastTable(kCodeShuffles.second), fromSecond)),
        _mm256_shuffle_epi8(broadcastTable(kCodeShuffles.third), _mm256_sub_epi8(fromSecond, sixteen)));
    settle(fill, codes);
    pendingAt = at;
    pendingCodes = codes;
    return static_cast<uint32_t>(_mm256_movemask_epi8(codes));
  }

  // The 64 draws after `state`, at `at` of `fill`.
  QUINDLE_AVX2_INLINE void make(const DrawBlockFill& fill, int at) {
    const uint64_t low = makeHalf(fill, at);
    fill.letterBits[at / 64] = low | static_cast<uint64_t>(makeHalf(fill, at + 32)) << 32;
  }

  // The last half's characters, with the code of the draw after it, which is not taken.
  QUINDLE_AVX2_INLINE void finish(const DrawBlockFill& fill) {
    if (pendingAt < 0) return;
    settle(fill, _mm256_set1_epi8(static_cast<char>(codeOfNextDraw(state))));
    pendingAt = -1;
  }
};

QUINDLE_AVX2_INLINE void makeChunk(ChunkMaker* maker, const DrawBlockFill& fill, int at) { maker->make(fill, at); }
QUINDLE_AVX2_INLINE void settleChunks(ChunkMaker* maker, const DrawBlockFill& fill) { maker->finish(fill); }
constexpr DrawMaking<ChunkMaker> kMaking = {makeChunk, settleChunks};

QUINDLE_AVX2 uint32_t fillDrawsAvx2(uint32_t state, int count, const DrawBlockFill& fill) {
  return fillDrawsWith(ChunkMaker(state), kMaking, count, fill);
}

// A name copied from the block's reference starts (DrawStarts): the characters on its own starts
// up to its first draw that would not take a letter, then those laid out from the draw after
// that, all as two 32-byte stores, with nothing to branch on but a run of 31 letters where the name
// has starts of its own (one name in about 600), which the plain writer takes.
QUINDLE_AVX2 int writeLetterNameByCopy(const DrawBlock& block, int at, char* field) {
  const DrawStarts& starts = block.starts;
  const int length = letterNameLength(block, at);
  const int from = at + 1;
  // The letter bits of at least the 57 draws from `from`, more than the name looks at: one load
  // from the byte holding the first and one shift, where a 64-bit window takes two of each.
  uint64_t nearLetters;
  std::memcpy(&nearLetters, reinterpret_cast<const char*>(block.letterBits) + (from >> 3), sizeof nearLetters);
  const uint64_t nonLetters = ~(nearLetters >> (from & 7));
  const DrawStarts::Word word = starts.words[from >> 5];
  // Whether the name has starts of its own is a coin toss: the compiler would branch on it, so it
  // is a mask, 0 or all ones.
  const int ownStarts = static_cast<int>(word.bits >> (from & 31) & 1u) - 1;
  // Up to 16 characters of its own come from one 32-byte load.
  if ((nonLetters & 0x7FFFFFFFu) == 0 && ownStarts != 0) return writeLetterNameByStarts(block, at, field);
  const int run = __builtin_ctzll(nonLetters | uint64_t{1} << 63);  // used only where a draw within 31 is no letter
  const int own = ((run >> 1) + 1) & ownStarts;
  // The laid-out characters are counted up to `from` rather than up to where the name joins
  // them: that count waits on no other load, so where the next entry begins waits on fewer.
  // Between the two lie the reference starts on the run's other draws; `skipped` is how many more
  // those are than the name's own characters.
  const int laidOut = word.before + __builtin_popcount(word.bits & ((1u << (from & 31)) - 1));
  const int skipped = ((run & 1) - 1) & ownStarts;

  // The even draws of the 32 from `from`, in order.
  const __m256i near = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block.characters + from));
  const __m256i evens = _mm256_shuffle_epi8(
      near, _mm256_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, -1, -1, -1, -1, -1, -1, -1, -1, 0, 2, 4, 6, 8, 10, 12, 14, -1,
                             -1, -1, -1, -1, -1, -1, -1));
  const __m256i ownCharacters = _mm256_zextsi128_si256(
      _mm_unpacklo_epi64(_mm256_castsi256_si128(evens), _mm256_extracti128_si256(evens, 1)));
  const char* const copied = starts.characters + laidOut + skipped;
  const __m256i places = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                          22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
  const __m256i lengths = _mm256_set1_epi8(static_cast<char>(length));
  const __m256i low =
      _mm256_and_si256(_mm256_blendv_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(copied)), ownCharacters,
                                          _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(own)), places)),
                       _mm256_cmpgt_epi8(lengths, places));
  const __m256i high = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(copied + 32)),
                                        _mm256_cmpgt_epi8(lengths, _mm256_add_epi8(places, _mm256_set1_epi8(32))));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(field), firstLetterUpperCased(low));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(field + 32), high);
  // A character takes one draw, or two for a letter.
  const __m256i spaces = constantRow(kVectorConstants.spaces);
  const int spaced = __builtin_popcount(static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, spaces)))) +
                     __builtin_popcount(static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, spaces))));
  return from + 2 * length - spaced;
}

QUINDLE_AVX2 FileEntry* fillEntriesAvx2(PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block) {
  ChunkMaker maker(block.endState);
  if (!block.starts.kept) {
    return fillEntryRun(dir, mayHoldDirectories, block, fillDrawsAvx2, writeLetterNameByStarts, &maker, kMaking);
  }
  return fillEntryRun(dir, mayHoldDirectories, block, fillDrawsAvx2, writeLetterNameByCopy, &maker, kMaking);
}

// A line divider (generator/dictionary/line_divider.h) as vector rows, made once for a run of
// entries: made where they are used, the rows were broadcast anew for every entry.
struct DividerRows {
  __m256i magic;
  __m256i divisor;
  __m256i keep;
  __m128i shift;
};

QUINDLE_AVX2_INLINE DividerRows dividerRowsOf(const LineDivider& divider) {
  return {_mm256_set1_epi32(static_cast<int>(divider.magic)), _mm256_set1_epi32(static_cast<int>(divider.divisor)),
          _mm256_set1_epi32(static_cast<int>(divider.keep)), _mm_cvtsi32_si128(static_cast<int>(divider.shift))};
}

// The lines as the finder reads them.
struct DividedLineSource {
  LineSource lines;
  DividerRows divider;
};

// The draws of a name's first lines are 16 in a row (three for each line's index, then its go-on
// draw), and the go-on draws of its first eight lines lie within 32: two loads each. Each line's
// draws are one 64-bit word, in which its drawn index is put together in place and divided, the
// four lines side by side in one vector: one 32 x 32-bit multiply to a word each, where 32-bit
// lanes would take twice the vectors and multiplies of twice the cost.
QUINDLE_AVX2_INLINE void findNameLinesDivided(const DrawBlock& block, int at, const DividedLineSource& source,
                                              NameLines* name) {
  const LineSource& lines = source.lines;
  const DividerRows& divider = source.divider;
  static_assert(kNameLinesAhead == 4 && kDrawsPerLine == 4 && kLineIndexDraws == 3 && kMaskedGoOnDraws == 8,
                "a line's draws are one 64-bit word, four lines one 256-bit vector");
  const uint16_t* const draws = block.draws + at;
  const __m256i first16 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(draws));
  const __m256i next16 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(draws + 16));
  // Each draw's lowest bit moved to the top of its upper byte, so that bit 2k + 1 of the byte
  // masks is draw k's: line i's go-on draw, draw 4i + 3, has bit 8i + 7.
  const uint64_t odd = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_slli_epi16(first16, 15))) |
                       static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_slli_epi16(next16, 15)))) << 32;
  const uint64_t stops = ~odd & 0x8080808080808080ull;
  const int goOnLines = stops != 0 ? static_cast<int>(__builtin_ctzll(stops) >> 3) + 1 : goOnLineCount(block, at);

  // A line's word is r1 | r2 << 16 | r3 << 32 | goOn << 48, with draws of 15 bits; its drawn
  // index, r1 | r2 << 15 | (r3 & 3) << 30, is the word's lower half with the upper two moved down.
  const __m256i drawn = _mm256_or_si256(
      _mm256_and_si256(first16, constantRow(kVectorConstants.lowDrawBits)),
      _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi64(first16, 1), constantRow(kVectorConstants.middleDrawBits)),
                      _mm256_and_si256(_mm256_srli_epi64(first16, 2), constantRow(kVectorConstants.highDrawBits))));
  // remainderOf (generator/dictionary/line_divider.h) in each word's lower half; the upper halves
  // stay zero, as no product exceeds the index it is taken from.
  const __m256i high = _mm256_srli_epi64(_mm256_mul_epu32(drawn, divider.magic), 32);
  const __m256i quotient =
      _mm256_srl_epi32(_mm256_add_epi32(_mm256_srli_epi32(_mm256_sub_epi32(drawn, high), 1), high), divider.shift);
  const __m256i index = _mm256_and_si256(_mm256_sub_epi32(drawn, _mm256_mul_epu32(quotient, divider.divisor)), divider.keep);
  const __m128i found = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(index, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
  // An index past the lines held (a stale stored count) wraps with a divide: rare, so done plainly.
  if (lines.wraps && _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_max_epu32(found, _mm_set1_epi32(lines.table->lineCount)), found)) != 0) {
    findNameLines(block, at, lines, name);
    return;
  }
  // Lines past the name's own are its first line again.
  const __m128i own = _mm_cmpgt_epi32(_mm_set1_epi32(goOnLines), _mm_setr_epi32(0, 1, 2, 3));
  name->goOnLines = goOnLines;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(name->lines), _mm_blendv_epi8(_mm_shuffle_epi32(found, 0), found, own));
}

QUINDLE_AVX2_INLINE void findNameLinesAvx2(const DrawBlock& block, int at, const LineSource& lines, NameLines* name) {
  findNameLinesDivided(block, at, DividedLineSource{lines, dividerRowsOf(lines.drawnLines)}, name);
}

// Dictionary names read nothing but the draws: their fill leaves the codes, characters and letter
// bits alone. With nothing else to do, making the draws waits on each step's multiply, so two
// makers, 32 draws apart, take turns over each 64, each stepping over both's draws: twice the
// multiplies in flight.
QUINDLE_AVX2 uint32_t fillDictionaryDrawsAvx2(uint32_t state, int count, const DrawBlockFill& fill) {
  static_assert(2 * kStepDraws == 64, "a fill is a multiple of 64 draws, two steps");
  ChunkMaker makers[2] = {ChunkMaker(state), ChunkMaker(advanceState(state, kStepDraws))};
  for (int at = 0; at < count; at += 2 * kStepDraws) {
#pragma GCC unroll 2
    for (ChunkMaker& maker : makers) {
      const __m256i words0 = maker.drawsOf(maker.lanes0, maker.lanes1);
      const __m256i words1 = maker.drawsOf(maker.lanes2, maker.lanes3);
      maker.lanes0 = maker.advancedTwice(maker.lanes0);
      maker.lanes1 = maker.advancedTwice(maker.lanes1);
      maker.lanes2 = maker.advancedTwice(maker.lanes2);
      maker.lanes3 = maker.advancedTwice(maker.lanes3);
      const int drawsAt = at + static_cast<int>(&maker - makers) * kStepDraws;
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(fill.draws + drawsAt), words0);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(fill.draws + drawsAt + 16), words1);
    }
  }
  return advanceState(state, static_cast<uint32_t>(count));
}

QUINDLE_AVX2 FileEntry* fillDictionaryEntriesAvx2(PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block,
                                                  DictionaryRun& run) {
  return fillDictionaryRun(dir, mayHoldDirectories, block, run, fillDictionaryDrawsAvx2,
                           DividedLineSource{run.lines, dividerRowsOf(run.lines.drawnLines)}, findNameLinesDivided,
                           writeDictionaryNameAvx2);
}

}  // namespace

extern const Kernel kAvx2Kernel = {"avx2", kNeeds, fillDrawsAvx2, fillEntriesAvx2, fillDictionaryEntriesAvx2,
                                   findNameLinesAvx2, true};

}  // namespace quindle
