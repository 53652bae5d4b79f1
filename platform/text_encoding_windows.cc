#include <windows.h>

#include "platform/text_encoding.h"

namespace quindle {

namespace {

constexpr UINT kUtf8CodePage = 65001;

}  // namespace

// The ANSI code page: UTF-8, a double-byte page (its lead bytes as the system lists them), or a
// single-byte page.
TextEncoding systemTextEncoding() {
  TextEncoding encoding;
  const UINT codePage = GetACP();
  if (codePage == kUtf8CodePage) {
    encoding.kind = TextEncodingKind::utf8;
    return encoding;
  }
  CPINFO info;
  if (!GetCPInfo(codePage, &info) || info.MaxCharSize != 2) return encoding;
  encoding.kind = TextEncodingKind::doubleByte;
  for (int byte = 0x80; byte < 0x100; ++byte) {
    if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(byte))) encoding.leadBytes[byte >> 5] |= 1u << (byte & 31);
  }
  return encoding;
}

}  // namespace quindle
