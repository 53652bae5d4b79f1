// The portable kernel: plain C++ that any processor runs. Eight lanes of the generator each take
// eight draws in a row, so the multiplies do not wait on one another; a draw's code comes from one
// table lookup by the draw itself, and the letter bits and characters from eight codes at a time
// in one 64-bit word. Names walk the set bits of the character-start mask.
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

constexpr int kLanes = 8;
constexpr int kLaneDraws = 64 / kLanes;
constexpr AffineStep kChunkStep = stepsOf(64);

// A lane's first state in a chunk: the state that yields draw kLaneDraws * lane.
struct LaneStarts {
  AffineStep of[kLanes];
};

constexpr LaneStarts makeLaneStarts() {
  LaneStarts starts = {};
  for (int lane = 0; lane < kLanes; ++lane) starts.of[lane] = stepsOf(static_cast<uint32_t>(kLaneDraws * lane + 1));
  return starts;
}

constexpr LaneStarts kLaneStarts = makeLaneStarts();

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

inline uint64_t loadBytes(const uint8_t* bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return kBigEndian ? __builtin_bswap64(word) : word;
}

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
template <bool characters>
inline __attribute__((always_inline)) uint32_t fillDrawsWithCharacters(uint32_t state, int count,
                                                                       const DrawBlockFill& fill) {
  const uint32_t endState = advanceState(state, static_cast<uint32_t>(count));
  uint32_t lanes[kLanes];
  for (int lane = 0; lane < kLanes; ++lane) {
    lanes[lane] = state * kLaneStarts.of[lane].multiplier + kLaneStarts.of[lane].increment;
  }
  // The codes go where the characters will be, and are turned into them in place. Every pointer
  // is held in a local: a byte store could otherwise change the record it came from.
  uint8_t* const codes = reinterpret_cast<uint8_t*>(fill.characters);
  uint16_t* const draws = fill.draws;
  uint64_t* const letterWords = fill.letterBits;
  for (int chunk = 0; chunk < count; chunk += 64) {
    uint32_t laneStates[kLanes];
    for (int lane = 0; lane < kLanes; ++lane) laneStates[lane] = lanes[lane];
    // Step by step, each step in every lane: the lanes' multiplies overlap.
#pragma GCC unroll 8
    for (int i = 0; i < kLaneDraws; ++i) {
#pragma GCC unroll 8
      for (int lane = 0; lane < kLanes; ++lane) {
        const int at = chunk + kLaneDraws * lane + i;
        const uint32_t draw = drawOfState(laneStates[lane]);
        draws[at] = static_cast<uint16_t>(draw);
        if (characters) codes[at] = kCodesByDraw.code[draw];
        laneStates[lane] = laneStates[lane] * kRandomMultiplier + kRandomIncrement;
      }
    }
    for (int lane = 0; lane < kLanes; ++lane) lanes[lane] = lanes[lane] * kChunkStep.multiplier + kChunkStep.increment;
  }
  if (!characters) return endState;
  codes[count] = codeOfNextDraw(endState);
  for (int chunk = 0; chunk < count; chunk += 64) {
    uint64_t letterBits = 0;
    for (int word = 0; word < 8; ++word) {
      uint8_t* at = codes + chunk + 8 * word;
      const uint64_t these = loadBytes(at);
      letterBits |= topBitsOfBytes(these) << (8 * word);
      storeBytes(at, charactersOfCodes(these, loadBytes(at + 1)));
    }
    letterWords[chunk / 64] = letterBits;
  }
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
  if (isShortName(*lines.table, first)) return writeShortDictionaryName(block, at, lines, first, field);
  return writeDictionaryName(block, at, lines, first, field);
}

FileEntry* fillDictionaryEntriesPortable(PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block,
                                         DictionaryRun& run) {
  return fillDictionaryRun(dir, mayHoldDirectories, block, run, fillDictionaryDrawsPortable, findNameLines,
                           writeDictionaryNamePortable);
}

}  // namespace

const Kernel kPortableKernel = {"portable", 0, fillDrawsPortable, fillEntriesPortable, fillDictionaryEntriesPortable,
                                findNameLines};

}  // namespace quindle
