#include "generator/dictionary/dictionary_name_field.h"

#include <cstddef>
#include <cstring>

#include "filter/filter_api.h"
#include "generator/draws/name_characters.h"

namespace quindle {

namespace {

constexpr int kBound = kNameBound;
// A short line's copy: its characters and the zeros after them.
constexpr int kShortCopy = kSlotChars + 1;
// A short line copied at the bound, or its space, reaches into the size text after the name,
// and never further.
static_assert(offsetof(FileEntry, sizeText) == kBound && kShortCopy <= FILE_ENTRY_SIZE_TEXT_SIZE,
              "a name's copies stay inside its entry's size text");

// What a line the name does not take copies: nothing but zeros.
constexpr char kNoText[kShortCopy] = {};

// Appends `line` and its space to the name in `field`, whose bytes from `length` on are zero,
// up to the bound, and returns the new length. A line that is not taken writes only zeros. (The
// compiler branches on `takes`; working it into masks instead measured slower.)
inline int appendLine(char* field, int length, const WordTable& table, uint32_t line, bool takes) {
  const LineSlot& slot = table.slots[line];
  if (!isLongLine(slot)) {
    std::memcpy(field + length, takes ? slot.bytes + 1 : kNoText, kShortCopy);
    const int characters = takes ? static_cast<unsigned char>(slot.bytes[0]) : 0;
    const int appended = length + characters < kBound ? length + characters : kBound;
    field[appended] = takes ? ' ' : '\0';
    return appended + (takes && appended < kBound ? 1 : 0);
  }
  if (!takes) return length;
  const uint32_t characters = lineLength(slot);
  const uint32_t room = static_cast<uint32_t>(kBound - length);
  const uint32_t copied = characters < room ? characters : room;
  std::memcpy(field + length, lineText(table, slot), copied);
  const int appended = length + static_cast<int>(copied);
  if (appended < kBound) field[appended] = ' ';
  return appended + (appended < kBound ? 1 : 0);
}

}  // namespace

int writeDictionaryName(const DrawBlock& block, int at, const LineSource& lines,
                        const NameLines& first, char* field) {
  const WordTable& table = *lines.table;
  // Written straight into the field, never read back (but for its first letter): a text put
  // together elsewhere and copied in would wait for every store that put it together.
  std::memset(field, 0, kBound);
  int length = 0;
  int taken = 0;
  for (int i = 0; i < kNameLinesAhead; ++i) {
    const bool takes = i < first.goOnLines && length < kBound;
    length = appendLine(field, length, table, first.lines[i], takes);
    taken += takes ? 1 : 0;
  }
  if (first.goOnLines > kNameLinesAhead) {
    for (; taken < first.goOnLines && length < kBound; ++taken) {
      length = appendLine(field, length, table,
                          drawnLineIndex(block.draws + at + taken * kDrawsPerLine, lines), true);
    }
  }
  // A full name stops without its last go-on draw, and its 64th character gives way to the
  // terminator, with any part of a character before it.
  at += taken * kDrawsPerLine - (length >= kBound ? 1 : 0);
  if (length >= kBound) {
    const size_t cut = wholeCharacterCut(field, kBound - 1, lines.encoding);
    std::memset(field + cut, 0, kBound - cut);
  }
  field[0] = upperCasedLetter(field[0]);
  return at;
}

}  // namespace quindle
