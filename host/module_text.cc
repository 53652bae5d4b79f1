#include "host/module_text.h"

namespace quindle_host {

size_t controlLength(const std::string& utf8, size_t i) {
  const unsigned char byte = static_cast<unsigned char>(utf8[i]);
  if (byte < 0x20 || byte == 0x7F) return 1;
  // U+0080 to U+009F, the C1 controls, encoded as C2 80 to C2 9F.
  const bool c1 = byte == 0xC2 && i + 1 < utf8.size() &&
                  static_cast<unsigned char>(utf8[i + 1]) < 0xA0;
  return c1 ? 2 : 0;
}

std::string withoutControls(const std::string& utf8) {
  std::string shown;
  shown.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const size_t control = controlLength(utf8, i);
    if (control == 0) {
      shown += utf8[i];
    } else {
      shown += '?';
      i += control - 1;
    }
  }
  return shown;
}

}  // namespace quindle_host
