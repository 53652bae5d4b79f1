// The AVX-512 kernel: sixteen lanes of the generator per vector, each draw's code looked up with
// one byte permute (VBMI), and each name collected with one byte compress (VBMI2) straight into
// the entry's 64-byte field; pdep finds where the name ends.
//
// pdep stays: every processor with AVX-512 VBMI2 runs it in three cycles (Intel since Ice Lake,
// AMD since Zen 4). Only AMD's family 17h, which has no AVX-512, microcodes it; the AVX2 kernel,
// which those processors run, does without.
#include <immintrin.h>

// GCC 12's own AVX-512 intrinsic headers leave a vector undefined on purpose and then warn about it.
// clang's headers do not, and clang does not know the first of these warnings.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

#include "generator/dictionary/dictionary_entries.h"
#include "generator/dictionary/dictionary_name_field.h"
#include "generator/draws/draw_math.h"
#include "generator/draws/entry_run.h"
#include "generator/kernels/instruction_sets.h"
#include "generator/kernels/kernel_table.h"
#include "generator/kernels/lane_start.h"
#include "generator/kernels/letter_name.h"
#include "generator/kernels/name_bits.h"
#include "generator/kernels/vector_constants.h"

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

// Byte indexes that gather the draws out of vectors of states, and bytes out of vectors of words.
struct Gathers {
  alignas(64) uint8_t highHalves[64];  // the upper 16-bit halves of two vectors of 16 states
  alignas(64) uint8_t lowBytes[64];    // the lower bytes of two vectors of 32 words
  alignas(64) uint8_t nextBytes[64];   // bytes 1 to 64 of two vectors of 64 bytes
};

constexpr Gathers makeGathers() {
  Gathers gathers = {};
  for (int i = 0; i < 64; ++i) {
    gathers.highHalves[i] = static_cast<uint8_t>(4 * (i / 2) + 2 + i % 2);
    gathers.lowBytes[i] = static_cast<uint8_t>(2 * i);
    gathers.nextBytes[i] = static_cast<uint8_t>(i + 1);
  }
  return gathers;
}

constexpr Gathers kGathers = makeGathers();

// Four vectors of 16 lanes, each advancing 64 draws at a time, so no multiply waits on another.
constexpr int kVectors = 4;
constexpr AffineStep kChunkStep = stepsOf(kLanes * kVectors);

// Makes draws 64 at a time with the generator's lanes in registers, into a block's draws, codes
// and letter bits. A chunk's characters need the code of the draw after it, so each chunk's codes
// become characters when the next chunk is made, or, for the last one, when the maker stops.
struct ChunkMaker {
  __m512i lanes0, lanes1, lanes2, lanes3;
  __m512i multiplier, increment, highHalves, lowBytes, nextBytes, drawMask, codeTable, glyphBits, spaces;
  uint32_t state;     // the state after the last draw made
  int pendingAt = -1;  // the chunk whose codes are still to become characters
  __m512i pendingCodes = _mm512_setzero_si512();

  // Lanes for the draws after `from`.
  QUINDLE_AVX512_INLINE explicit ChunkMaker(uint32_t from) : state(from) {
    const LaneSteps<kLanes * kVectors>& starts = kLaneSteps<kLanes * kVectors>;
    const __m512i seed = _mm512_set1_epi32(static_cast<int>(from));
    const auto startLane = [&](int v) QUINDLE_AVX512 {
      return _mm512_add_epi32(_mm512_mullo_epi32(seed, _mm512_load_si512(starts.multipliers + v * kLanes)),
                              _mm512_load_si512(starts.increments + v * kLanes));
    };
    lanes0 = startLane(0);
    lanes1 = startLane(1);
    lanes2 = startLane(2);
    lanes3 = startLane(3);
    multiplier = _mm512_set1_epi32(static_cast<int>(kChunkStep.multiplier));
    increment = _mm512_set1_epi32(static_cast<int>(kChunkStep.increment));
    highHalves = _mm512_load_si512(kGathers.highHalves);
    lowBytes = _mm512_load_si512(kGathers.lowBytes);
    nextBytes = _mm512_load_si512(kGathers.nextBytes);
    drawMask = _mm512_set1_epi16(0x7FFF);
    codeTable = _mm512_load_si512(kCodesByRemainder36.code);
    glyphBits = _mm512_set1_epi8(static_cast<char>(~kLetterCode));
    spaces = _mm512_set1_epi8(' ');
  }

  QUINDLE_AVX512_INLINE void advance() {
    lanes0 = _mm512_add_epi32(_mm512_mullo_epi32(lanes0, multiplier), increment);
    lanes1 = _mm512_add_epi32(_mm512_mullo_epi32(lanes1, multiplier), increment);
    lanes2 = _mm512_add_epi32(_mm512_mullo_epi32(lanes2, multiplier), increment);
    lanes3 = _mm512_add_epi32(_mm512_mullo_epi32(lanes3, multiplier), increment);
    state = state * kChunkStep.multiplier + kChunkStep.increment;
  }

  // The pending chunk's characters, from its codes and the codes of the draws after it.
  QUINDLE_AVX512_INLINE void settle(const DrawBlockFill& fill, __m512i nextCodes) {
    if (pendingAt < 0) return;
    const __m512i next = _mm512_and_si512(_mm512_permutex2var_epi8(pendingCodes, nextBytes, nextCodes), glyphBits);
    _mm512_store_si512(fill.characters + pendingAt,
                       _mm512_mask_blend_epi8(_mm512_movepi8_mask(pendingCodes), spaces, next));
  }

  // The 64 draws after `state`, at `at` of `fill.draws`, as two vectors of 32.
  QUINDLE_AVX512_INLINE void makeDraws(const DrawBlockFill& fill, int at, __m512i* low, __m512i* high) {
    // A draw is bits 16 to 30 of its state: the upper 16-bit half of each lane, less its top bit.
    *low = _mm512_and_si512(_mm512_permutex2var_epi8(lanes0, highHalves, lanes1), drawMask);
    *high = _mm512_and_si512(_mm512_permutex2var_epi8(lanes2, highHalves, lanes3), drawMask);
    advance();
    _mm512_storeu_si512(fill.draws + at, *low);
    _mm512_storeu_si512(fill.draws + at + 32, *high);
  }

  // The 64 draws after `state`, at `at` of `fill`.
  QUINDLE_AVX512_INLINE void make(const DrawBlockFill& fill, int at) {
    __m512i low;
    __m512i high;
    makeDraws(fill, at, &low, &high);
    const __m512i remainders36 = _mm512_permutex2var_epi8(remainders(low, kDivideBy36), lowBytes,
                                                          remainders(high, kDivideBy36));
    const __m512i codes = _mm512_permutexvar_epi8(remainders36, codeTable);
    fill.letterBits[at / 64] = _mm512_movepi8_mask(codes);
    settle(fill, codes);
    pendingAt = at;
    pendingCodes = codes;
  }

  // The last chunk's characters, with the code of the draw after it, which is not taken.
  QUINDLE_AVX512_INLINE void finish(const DrawBlockFill& fill) {
    if (pendingAt < 0) return;
    settle(fill, _mm512_set1_epi8(static_cast<char>(codeOfNextDraw(state))));
    pendingAt = -1;
  }
};

QUINDLE_AVX512_INLINE void makeChunk(ChunkMaker* maker, const DrawBlockFill& fill, int at) { maker->make(fill, at); }
QUINDLE_AVX512_INLINE void settleChunks(ChunkMaker* maker, const DrawBlockFill& fill) { maker->finish(fill); }
constexpr DrawMaking<ChunkMaker> kMaking = {makeChunk, settleChunks};

QUINDLE_AVX512 uint32_t fillDrawsAvx512(uint32_t state, int count, const DrawBlockFill& fill) {
  return fillDrawsWith(ChunkMaker(state), kMaking, count, fill);
}

// Dictionary names read nothing but the draws: their fill leaves the codes, characters and letter
// bits alone.
QUINDLE_AVX512 uint32_t fillDictionaryDrawsAvx512(uint32_t state, int count, const DrawBlockFill& fill) {
  ChunkMaker maker(state);
  for (int at = 0; at < count; at += 64) {
    __m512i low;
    __m512i high;
    maker.makeDraws(fill, at, &low, &high);
  }
  return maker.state;
}

// The name with its first character upper-cased where it is a lower-case letter.
// `indexes` holds each byte's index: comparing it makes the first byte's mask in a mask register,
// where a constant one would be built in memory on 32-bit x86.
QUINDLE_AVX512_INLINE __m512i firstUpperCased(__m512i name, __m512i indexes) {
  const __mmask64 firstIsLower =
      _mm512_mask_cmple_epu8_mask(_mm512_cmpeq_epi8_mask(indexes, _mm512_setzero_si512()),
                                  _mm512_sub_epi8(name, _mm512_set1_epi8('a')), _mm512_set1_epi8('z' - 'a'));
  return _mm512_mask_sub_epi8(name, firstIsLower, name, _mm512_set1_epi8('a' - 'A'));
}

// The characters of a window in draw order: those of the draws that start a character are the
// name's.
QUINDLE_AVX512_INLINE __m512i windowCharacters(const DrawBlock& block, const LetterWindow& window) {
  return _mm512_loadu_si512(block.characters + window.at);
}

// Each window's characters compressed by its starts, the second's moved up behind the first's.
QUINDLE_AVX512_INLINE int writeLetterNameAvx512(const DrawBlock& block, int at, char* field) {
  const int length = letterNameLength(block, at);
  LetterWindow first;
  LetterWindow second;
  letterNameWindows(block, at, &first, &second);
  const int inFirst = __builtin_popcountll(first.starts);

  // The name's bytes and the first window's, as masks of their low bits: made by comparing byte
  // indexes with a count, each count went through memory to be broadcast.
  const __m512i indexes = _mm512_load_si512(kByteIndexes.index);
  const __mmask64 inName = maskOf(lowBits(length));
  const __mmask64 fromFirst = maskOf(lowBits(inFirst));
  const __m512i shift = _mm512_sub_epi8(indexes, _mm512_set1_epi8(static_cast<char>(inFirst)));
  const __m512i firstCharacters = windowCharacters(block, first);
  const __m512i secondCharacters = windowCharacters(block, second);
  __m512i name = _mm512_maskz_mov_epi8(inName, _mm512_maskz_compress_epi8(maskOf(first.starts), firstCharacters));
  name = _mm512_mask_permutexvar_epi8(name, _kandn_mask64(fromFirst, inName), shift,
                                      _mm512_maskz_compress_epi8(maskOf(second.starts), secondCharacters));
  _mm512_storeu_si512(field, firstUpperCased(name, indexes));

  // The name ends where its next character would start.
  return nameEnd(length, first.at, first.starts, inFirst, second.at, second.starts);
}

QUINDLE_AVX512 FileEntry* fillEntriesAvx512(PendingDirectory& dir, bool mayHoldDirectories,
                                          DrawBlock& block) {
  ChunkMaker maker(block.endState);
  return fillEntryRun(dir, mayHoldDirectories, block, fillDrawsAvx512, writeLetterNameAvx512, &maker, kMaking);
}

// A line divider (generator/dictionary/line_divider.h) and the count of lines held as vector rows,
// made once for a run of entries rather than broadcast anew for every entry.
struct DividerRows {
  __m512i magic;
  __m512i divisor;
  __m512i keep;
  __m512i held;
  __m128i shift;
};

// The lines as the finder reads them.
struct DividedLineSource {
  LineSource lines;
  DividerRows divider;
};

QUINDLE_AVX512_INLINE DividedLineSource dividedLineSourceOf(const LineSource& lines) {
  const LineDivider& divider = lines.drawnLines;
  return {lines,
          {_mm512_set1_epi32(static_cast<int>(divider.magic)), _mm512_set1_epi32(static_cast<int>(divider.divisor)),
           _mm512_set1_epi32(static_cast<int>(divider.keep)), _mm512_set1_epi32(lines.table->lineCount),
           _mm_cvtsi32_si128(static_cast<int>(divider.shift))}};
}

// The draws of a name's first lines are 16 in a row (three for each line's index, then its go-on
// draw), and the go-on draws of its first eight lines lie within 32: one load each, and the four
// indexes and their remainders worked out side by side.
QUINDLE_AVX512_INLINE void findNameLinesDivided(const DrawBlock& block, int at, const DividedLineSource& source,
                                                NameLines* name) {
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
  const DividerRows& divider = source.divider;
  const __m512i high = _mm512_srli_epi64(_mm512_mul_epu32(drawn, divider.magic), 32);
  const __m512i quotient =
      _mm512_srl_epi32(_mm512_add_epi32(_mm512_srli_epi32(_mm512_sub_epi32(drawn, high), 1), high), divider.shift);
  const __m512i index = _mm512_and_si512(_mm512_sub_epi32(drawn, _mm512_mullo_epi32(quotient, divider.divisor)), divider.keep);
  // An index past the lines held (a stale stored count) wraps with a divide: rare, so done plainly.
  constexpr __mmask16 kLineWords = 0x1111;
  if (source.lines.wraps && (_mm512_cmpge_epu32_mask(index, divider.held) & kLineWords) != 0) {
    findNameLines(block, at, source.lines, name);
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

QUINDLE_AVX512_INLINE void findNameLinesAvx512(const DrawBlock& block, int at, const LineSource& lines, NameLines* name) {
  findNameLinesDivided(block, at, dividedLineSourceOf(lines), name);
}

// A row of kVectorConstants, read where it is used.
QUINDLE_AVX512_INLINE __m512i constantRow(const uint8_t* row) { return _mm512_load_si512(row); }

// A short name (dictionary_name_field.h) put together in one register and stored once: its four
// slots side by side, a 16-byte lane each, whose characters and the zero after them (made a space)
// are compressed down in order; a line the name does not take gives nothing. Any other name takes
// the plain writer: the slots say which, as a long line's length byte has its top bit set.
QUINDLE_AVX512_INLINE int writeDictionaryNameAvx512(const DrawBlock& block, int at, const LineSource& lines,
                                                    const NameLines& first, char* field) {
  const LineSlot* const slots = lines.slots;
  const auto slotAt = [&](int i) QUINDLE_AVX512 {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(slots + first.lines[i]));
  };
  const __m512i slot = _mm512_inserti64x4(
      _mm512_castsi256_si512(_mm256_inserti128_si256(_mm256_castsi128_si256(slotAt(0)), slotAt(1), 1)),
      _mm256_inserti128_si256(_mm256_castsi128_si256(slotAt(2)), slotAt(3), 1), 1);
  // Each lane's length in all its bytes; a long line's has its top bit set.
  static_assert(kLongLine >= 0x80 && kSlotChars < 0x80, "a long line's length byte alone has its top bit set");
  const __m512i lengths = _mm512_shuffle_epi8(slot, _mm512_setzero_si512());
  // The lanes the name takes, compared in vectors: masks worked out in general registers go
  // through memory on 32-bit x86.
  const __mmask64 taken = _mm512_cmplt_epu8_mask(constantRow(kVectorConstants.laneNumbers),
                                                 _mm512_set1_epi8(static_cast<char>(first.goOnLines)));
  if (first.goOnLines > kShortNameLines || !_ktestz_mask64_u8(_mm512_movepi8_mask(lengths), taken)) {
    return writeDictionaryName(block, at, lines, first, field);
  }
  // Byte b of each lane is kept where 1 <= b <= length + 1: b - 1 is at most the lane's length.
  const __mmask64 kept = _mm512_mask_cmple_epu8_mask(taken, constantRow(kVectorConstants.lanePlaces), lengths);
  const __m512i spaced =
      _mm512_mask_blend_epi8(_mm512_testn_epi8_mask(slot, slot), slot, constantRow(kVectorConstants.wideSpaces));
  const __m512i name = _mm512_maskz_compress_epi8(kept, spaced);
  // The first letter upper-cased, as upperCasedLetter does: moved by 128 - 'a', the letters a to z
  // are the 26 lowest signed bytes.
  const __mmask64 lower = _mm512_cmplt_epi8_mask(_mm512_add_epi8(name, constantRow(kVectorConstants.wideLowerMoves)),
                                                 constantRow(kVectorConstants.wideLowerBounds));
  _mm512_storeu_si512(field, _mm512_mask_sub_epi8(name, lower, name, constantRow(kVectorConstants.wideFirstCaseBit)));
  return at + first.goOnLines * kDrawsPerLine;
}

QUINDLE_AVX512 FileEntry* fillDictionaryEntriesAvx512(PendingDirectory& dir, bool mayHoldDirectories,
                                                      DrawBlock& block, DictionaryRun& run) {
  return fillDictionaryRun(dir, mayHoldDirectories, block, run, fillDictionaryDrawsAvx512,
                           dividedLineSourceOf(run.lines), findNameLinesDivided,
                           writeDictionaryNameAvx512);
}

}  // namespace

extern const Kernel kAvx512Kernel = {"avx512", kNeeds, fillDrawsAvx512, fillEntriesAvx512,
                                     fillDictionaryEntriesAvx512, findNameLinesAvx512, false};

}  // namespace quindle
