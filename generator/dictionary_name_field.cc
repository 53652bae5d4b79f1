#include "generator/dictionary_name_field.h"

#include <cstring>

#include "generator/letter_name.h"

namespace quindle {

namespace {

constexpr int kBound = kLetterNameField;
static_assert(kBound <= static_cast<int>(kLineReadSlack), "a long line's copy stays inside the table's slack");
static_assert(sizeof(LineSlot) <= static_cast<size_t>(kBound), "a slot's copy stays inside the name's room");

// From kBound - n on, the first n bytes keep a name's text and the rest clear it.
struct KeepMask {
  char bytes[2 * kBound];
};
constexpr KeepMask makeKeepMask() {
  KeepMask mask = {};
  for (int i = 0; i < kBound; ++i) mask.bytes[i] = static_cast<char>(0xFF);
  return mask;
}
constexpr KeepMask kKeepMask = makeKeepMask();

// The name's text so far. Lines are copied whole into room past the bound and cut afterwards,
// so that nothing waits on where a line ends; bytes past `length` mean nothing.
struct NameText {
  char bytes[2 * kBound];
  int length;
};

// Appends `line` and its space, up to the bound, and returns the new length; `text.length`
// itself is left for the caller to take or not.
inline int appendLine(NameText& text, const WordTable& table, uint32_t line) {
  const LineSlot& slot = table.slots[line];
  char* end = text.bytes + text.length;
  size_t length;
  if (!isLongLine(slot)) {
    std::memcpy(end, slot.bytes, sizeof slot.bytes);
    length = static_cast<unsigned char>(slot.bytes[15]);
  } else {
    length = lineLength(slot);
    std::memcpy(end, lineText(table, slot), kBound);
  }
  const size_t room = static_cast<size_t>(kBound - text.length);
  const int appended = length < room ? text.length + static_cast<int>(length) : kBound;
  text.bytes[appended] = ' ';
  return appended + (appended < kBound ? 1 : 0);
}

}  // namespace

int writeDictionaryName(const DrawBlock& block, int at, const LineSource& lines,
                        const NameLines& first, char* field) {
  const WordTable& table = *lines.table;
  NameText text;
  // The first line's copy covers the first bytes; the rest of the field is zeroed so that every
  // byte the cut passes over is defined.
  constexpr size_t kFirstCopy = sizeof(LineSlot);
  std::memset(text.bytes + kFirstCopy, 0, kBound - kFirstCopy);
  text.length = 0;
  int taken = 0;
  // The first lines are appended whether or not the name takes them; the text of one not taken
  // lands past the name's end.
  for (int i = 0; i < kNameLinesAhead; ++i) {
    const bool takes = i < first.goOnLines && text.length < kBound;
    const int length = appendLine(text, table, first.lines[i]);
    text.length = takes ? length : text.length;
    taken += takes ? 1 : 0;
  }
  if (first.goOnLines > kNameLinesAhead) {
    for (; taken < first.goOnLines && text.length < kBound; ++taken) {
      text.length = appendLine(text, table, drawnLineIndex(block.draws + at + taken * kDrawsPerLine, lines));
    }
  }
  // A full name stops without its last go-on draw.
  at += taken * kDrawsPerLine - (text.length >= kBound ? 1 : 0);
  const int length = text.length < kBound ? text.length : kBound - 1;
  const char* keep = kKeepMask.bytes + kBound - length;
  for (int i = 0; i < kBound; ++i) field[i] = static_cast<char>(text.bytes[i] & keep[i]);
  field[0] = upperCasedLetter(field[0]);
  return at;
}

int writeDictionaryName(const DrawBlock& block, int at, const LineSource& lines, char* field) {
  NameLines first;
  findNameLines(block, at, lines, &first);
  return writeDictionaryName(block, at, lines, first, field);
}

}  // namespace quindle
