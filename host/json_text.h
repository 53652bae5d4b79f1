// A UTF-8 string as a quoted JSON string. Quotes and backslashes are escaped, and so is every
// control character (C0, DEL and C1), so names with odd bytes can neither break the document nor
// reach a terminal raw. The input must be valid UTF-8 (see module_text.h).
#ifndef QUINDLE_HOST_JSON_TEXT_H
#define QUINDLE_HOST_JSON_TEXT_H

#include <string>

namespace quindle_host {

std::string jsonString(const std::string& utf8);

}  // namespace quindle_host

#endif
