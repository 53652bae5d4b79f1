// The portable kernel: plain C++ that any processor runs. Four lanes of the generator take turns
// over the draws, so the multiplies do not wait on one another (eight lanes measured 3% slower:
// their states no longer fitted the registers and went through the stack); a draw's code comes
// from one table lookup by the draw itself, and the letter bits and characters from eight codes at
// a time in one 64-bit word. Names walk the set bits of the character-start mask.
#include <cstddef>
#include <cstring>

#include "generator/dictionary/dictionary_entries.h"
#include "generator/dictionary/dictionary_name_field.h"
#include "generator/draws/draw_math.h"
#include "generator/draws/entry_run.h"
#include "generator/kernels/kernel_table.h"
#include "generator/kernels/letter_name.h"

namespace quindle {
namespace {

constexpr int kLanes = 4;
// Lane i makes draws i, i + 4, i + 8, ...: each step moves every lane on by four draws, and after
// sixteen steps the lanes stand at the next chunk's first draws.
constexpr AffineStep kLaneStep = stepsOf(kLanes);
// The draws whose codes make one 64-bit word: two steps.
constexpr int kWordDraws = 2 * kLanes;
static_assert(kWordDraws == 8, "a word holds eight one-byte codes");

// The code of every draw (letter_name.h): a lookup by the draw costs less than its remainder.
struct CodesByDraw {
  uint8_t code[kRandomMax + 1];
};

constexpr CodesByDraw makeCodesByDraw() {
  CodesByDraw codes = {};
  for (int draw = 0; draw <= kRandomMax; ++draw) codes.code[draw] = codeOfRemainder36(draw % kNameAlphabetSize);
  return codes;
}

constexpr CodesByDraw kCodesByDraw = makeCodesByDraw();

// Eight bytes as one word, byte i in bits 8i to 8i + 7 whatever the processor's byte order.
constexpr bool kBigEndian = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__;

inline void storeBytes(uint8_t* bytes, uint64_t word) {
  if (kBigEndian) word = __builtin_bswap64(word);
  std::memcpy(bytes, &word, sizeof word);
}

// The top bit of each byte, gathered into the low eight bits: each byte's bit moves to its own
// place of the top byte, without carries, since the multiplier's bits are eight and one apart.
inline uint64_t topBitsOfBytes(uint64_t word) {
  return ((word & (kEachByte << 7)) * 0x0002040810204081ull) >> 56;
}

// characterOfCodes (letter_name.h) on eight bytes at once.
inline uint64_t charactersOfCodes(uint64_t codes, uint64_t nextCodes) {
  const uint64_t letters = ((codes >> 7) & kEachByte) * 0xFF;
  return (nextCodes & ~(kEachByte << 7) & letters) | ((kEachByte * ' ') & ~letters);
}

// With `characters` false only the draws are made: dictionary names read nothing else, and the
// codes, characters and letter bits took most of the fill's time.
//
// A step's eight draws are consecutive, so their codes are put together in one word in a register
// rather than stored byte by byte: the fill is bound by its stores, two per draw before. Each
// word becomes characters once the next word is made, its first code being the last character's
// glyph.
template <bool characters>
inline __attribute__((always_inline)) uint32_t fillDrawsWithCharacters(uint32_t state, int count,
                                                                       const DrawBlockFill& fill) {
  const uint32_t endState = advanceState(state, static_cast<uint32_t>(count));
  // Each lane holds its state doubled (modulo 2^32, which the recurrence keeps: 2(ax + c) =
  // a(2x) + 2c), so that a draw, bits 16 to 30 of the state, is the top 15 bits: one shift.
  uint32_t lanes[kLanes];
  for (int lane = 0; lane < kLanes; ++lane) lanes[lane] = 2 * advanceState(state, static_cast<uint32_t>(lane + 1));
  // Every pointer is held in a local: a byte store could otherwise change the record it came from.
  uint8_t* const out = reinterpret_cast<uint8_t*>(fill.characters);
  uint16_t* const draws = fill.draws;
  uint64_t* const letterWords = fill.letterBits;
  uint64_t waiting = 0;  // the codes of the last eight draws made, not yet characters
  uint64_t letterBits = 0;
  // The waiting word, which begins at draw `at`, as characters, with `next` the codes after it.
  const auto settle = [&](int at, uint64_t next) __attribute__((always_inline)) {
    letterBits |= topBitsOfBytes(waiting) << (at % 64);
    storeBytes(out + at, charactersOfCodes(waiting, (waiting >> 8) | (next << 56)));
    if (at % 64 == 56) {
      letterWords[at / 64] = letterBits;
      letterBits = 0;
    }
  };
  for (int chunk = 0; chunk < count; chunk += 64) {
    // Step by step, each step in every lane: the lanes' multiplies overlap.
#pragma GCC unroll 8
    for (int i = 0; i < 64; i += kWordDraws) {
      // Two halves of four codes, a step each: 32-bit words, which the 32-bit build shifts as
      // cheaply.
      uint32_t halves[2] = {0, 0};
#pragma GCC unroll 2
      for (int half = 0; half < 2; ++half) {
#pragma GCC unroll 4
        for (int lane = 0; lane < kLanes; ++lane) {
          const uint32_t draw = lanes[lane] >> 17;
          draws[chunk + i + half * kLanes + lane] = static_cast<uint16_t>(draw);
          if (characters) halves[half] |= static_cast<uint32_t>(kCodesByDraw.code[draw]) << (8 * lane);
          lanes[lane] = lanes[lane] * kLaneStep.multiplier + 2 * kLaneStep.increment;
        }
      }
      const uint64_t codes = halves[0] | static_cast<uint64_t>(halves[1]) << 32;
      if (characters) {
        if (chunk + i > 0) settle(chunk + i - kWordDraws, codes);
        waiting = codes;
      }
    }
  }
  if (characters) settle(count - kWordDraws, codeOfNextDraw(endState));
  return endState;
}

uint32_t fillDrawsPortable(uint32_t state, int count, const DrawBlockFill& fill) {
  return fillDrawsWithCharacters<true>(state, count, fill);
}

uint32_t fillDictionaryDrawsPortable(uint32_t state, int count, const DrawBlockFill& fill) {
  return fillDrawsWithCharacters<false>(state, count, fill);
}

FileEntry* fillEntriesPortable(PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block) {
  return fillEntryRun(dir, mayHoldDirectories, block, fillDrawsPortable, writeLetterNameByStarts);
}

inline __attribute__((always_inline)) int writeDictionaryNamePortable(const DrawBlock& block, int at,
                                                                      const LineSource& lines,
                                                                      const NameLines& first, char* field) {
  if (isShortName(lines, first)) return writeShortDictionaryName(block, at, lines, first, field);
  return writeDictionaryName(block, at, lines, first, field);
}

FileEntry* fillDictionaryEntriesPortable(PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block,
                                         DictionaryRun& run) {
  return fillDictionaryRun(dir, mayHoldDirectories, block, run, fillDictionaryDrawsPortable, run.lines, findNameLines,
                           writeDictionaryNamePortable);
}

}  // namespace

const Kernel kPortableKernel = {"portable", 0, fillDrawsPortable, fillEntriesPortable, fillDictionaryEntriesPortable,
                                findNameLines, false};

}  // namespace quindle
