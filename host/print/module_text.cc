#include "host/print/module_text.h"

#include "filter/text_field.h"

namespace quindle_host {

std::string withoutControls(const std::string& utf8) {
  std::string shown;
  shown.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const size_t control = quindle::controlLength(utf8.data(), utf8.size(), i);
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
