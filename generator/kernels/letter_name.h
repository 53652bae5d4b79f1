// What every kernel's random-letter entry name shares: its bound, its length draw, what each
// draw gives, and the plain way of writing it. Inline so that each kernel's own target applies.
#ifndef QUINDLE_GENERATOR_KERNELS_LETTER_NAME_H
#define QUINDLE_GENERATOR_KERNELS_LETTER_NAME_H

#include <cstring>

#include "filter/filter_api.h"
#include "generator/draws/draw_block.h"
#include "generator/draws/draw_math.h"
#include "generator/draws/name_characters.h"

namespace quindle {

// Entry names are bounded by their field, a power of two, so the length is the draw's low bits.
constexpr int kLetterNameField = FILE_ENTRY_NAME_SIZE;
static_assert((kLetterNameField & (kLetterNameField - 1)) == 0, "the length is a mask of the draw");

// What the fills work out first for each draw, its code: the alphabet character the draw picks
// (by its remainder modulo 36), with bit 7 set where the draw would make a letter. Since 6
// divides 36 the remainder also tells whether the draw is 1 modulo 6, a space; the alphabet is
// ASCII, so bit 7 is free. One byte then gives a draw's letter bit (its top bit, which vector
// compares and byte masks read directly) and, for the draw before it, the glyph.
constexpr uint8_t kLetterCode = 0x80;

constexpr uint8_t codeOfRemainder36(int remainder) {
  return static_cast<uint8_t>(static_cast<uint8_t>(kNameAlphabet[remainder]) |
                              (remainder % 6 != 1 ? kLetterCode : 0));
}

// The character a start at a draw with `code` gives, where the next draw has `nextCode`.
constexpr char characterOfCodes(uint8_t code, uint8_t nextCode) {
  return (code & kLetterCode) ? static_cast<char>(nextCode & ~kLetterCode) : ' ';
}

// The codes by remainder modulo 36, padded with zeros to one 64-byte vector for lookups by index.
struct CodesByRemainder36 {
  alignas(64) uint8_t code[64];
};

constexpr CodesByRemainder36 makeCodesByRemainder36() {
  CodesByRemainder36 codes = {};
  for (int i = 0; i < kNameAlphabetSize; ++i) codes.code[i] = codeOfRemainder36(i);
  return codes;
}

inline constexpr CodesByRemainder36 kCodesByRemainder36 = makeCodesByRemainder36();

// The code of the draw after the one `state` yielded: what the last character of a fill looks at,
// worked out without taking that draw.
inline uint8_t codeOfNextDraw(uint32_t state) {
  return kCodesByRemainder36.code[remainderOf(drawOfState(advanceState(state, 1)), kDivideBy36)];
}

inline int letterNameLength(const DrawBlock& block, int at) {
  return block.draws[at] & (kLetterNameField - 1);
}

// A window of 64 draws and its character starts; `at` is the draw of bit 0.
struct LetterWindow {
  int at;
  uint64_t letters;
  uint64_t starts;
};

// The two windows after the length draw at `at`. A name of up to 63 characters lies within their
// 128 draws: each holds at least 32 characters. The second window's starts are worked out as if
// it began on a character and corrected afterwards, so neither window waits for the other, and
// nothing branches on which window the name ends in, a coin toss.
inline void letterNameWindows(const DrawBlock& block, int at, LetterWindow* first, LetterWindow* second) {
  first->at = at + 1;
  second->at = at + 65;
  letterWindows(block, at + 1, &first->letters, &second->letters);
  first->starts = characterStarts(first->letters);
  // When the first window's last draw leads a letter, the second window's first draw is that
  // letter's, and the starts of the second window's first run of letters (up to and including the
  // draw after it) fall on the other draws: the run's mask flips them.
  const uint64_t secondBeginsInsideALetter = (first->starts & first->letters) >> 63;
  const uint64_t firstRun = ~second->letters ^ (~second->letters - 1);
  second->starts = characterStarts(second->letters) ^ (firstRun & (0 - secondBeginsInsideALetter));
}

// Writes the name by walking the set bits of its two windows' character starts, one character per
// bit, in one loop that tests one end per character: where the first window's run out (past its
// 32nd character, in half the names) the walk goes on in the second. A loop per window, each
// window's count worked out first, mispredicted more: the end of each window's loop, and the end
// of the loop over windows.
inline int writeLetterNameByStarts(const DrawBlock& block, int at, char* field) {
  const int length = letterNameLength(block, at);
  LetterWindow first;
  LetterWindow second;
  letterNameWindows(block, at, &first, &second);
  std::memset(field, 0, kLetterNameField);
  uint64_t starts = first.starts;
  const char* characters = block.characters + first.at;
  const auto moveOnWhenSpent = [&] {
    if (starts == 0) {
      starts = second.starts;
      characters = block.characters + second.at;
    }
  };
  for (char* out = field; out != field + length; ++out) {
    moveOnWhenSpent();
    *out = characters[static_cast<uint64_t>(__builtin_ctzll(starts))];
    starts &= starts - 1;
  }
  moveOnWhenSpent();
  field[0] = upperCasedLetter(field[0]);
  // The draw of the start after the last character.
  return static_cast<int>(characters - block.characters) + __builtin_ctzll(starts);
}

}  // namespace quindle

#endif
