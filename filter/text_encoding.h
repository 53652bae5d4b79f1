// How the system's 8-bit text encodes characters, as far as cutting it goes: a name or title cut at
// its bound must not end in half a character. Single-byte code pages keep every byte as before;
// UTF-8 and double-byte code pages cut before a character the bound would split. Which one the
// system uses is the platform's to say (platform/text_encoding.h).
//
// Only a split that the cut itself makes counts: bytes that were malformed to begin with are kept
// as they are.
#ifndef QUINDLE_FILTER_TEXT_ENCODING_H
#define QUINDLE_FILTER_TEXT_ENCODING_H

#include <cstddef>
#include <cstdint>

namespace quindle {

enum class TextEncodingKind : uint8_t {
  singleByte,  // every byte a character
  utf8,        // a lead byte, then as many continuation bytes (10xxxxxx) as it says
  doubleByte,  // a lead byte (leadBytes), then any byte
};

struct TextEncoding {
  TextEncodingKind kind = TextEncodingKind::singleByte;
  uint32_t leadBytes[8] = {};  // doubleByte: bit b % 32 of word b / 32 set where byte b leads

  bool leads(unsigned char byte) const { return (leadBytes[byte >> 5] >> (byte & 31)) & 1u; }
};

// The bytes of a UTF-8 character whose lead byte is `byte`: 2 to 4 for a lead byte, 0 for a
// continuation byte, 1 for anything else.
constexpr int utf8SequenceLength(unsigned char byte) {
  if (byte < 0x80) return 1;
  if (byte < 0xC0) return 0;
  if (byte < 0xE0) return 2;
  if (byte < 0xF0) return 3;
  return byte < 0xF8 ? 4 : 1;
}

// Where to cut `text` that goes on past `cut` (text[cut] is its first byte to go): `cut`, or, where
// the character that text[cut] belongs to began before it, where that character begins.
inline size_t wholeCharacterCut(const char* text, size_t cut, const TextEncoding& encoding) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  if (encoding.kind == TextEncodingKind::utf8) {
    // Back over the continuation bytes from the first byte to go, to the lead byte they continue.
    if (utf8SequenceLength(bytes[cut]) != 0) return cut;
    size_t lead = cut;
    while (lead > 0 && cut - lead < 3 && utf8SequenceLength(bytes[lead - 1]) == 0) --lead;
    if (lead == 0) return cut;
    --lead;
    const int length = utf8SequenceLength(bytes[lead]);
    return length >= 2 && lead + static_cast<size_t>(length) > cut ? lead : cut;
  }
  if (encoding.kind == TextEncodingKind::doubleByte) {
    // A trail byte can look like anything: only a walk from the start tells pairs apart.
    size_t at = 0;
    while (at < cut) {
      if (!encoding.leads(bytes[at])) {
        ++at;
      } else if (at + 1 == cut) {
        return at;
      } else {
        at += 2;
      }
    }
  }
  return cut;
}

}  // namespace quindle

#endif
