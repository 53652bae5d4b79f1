// How the system encodes the text the module writes, read afresh for each listing: on Windows the
// ANSI code page, on other systems the character set of the user's locale as the environment
// names it. The process's own locale is never changed: hosts (quindle-host among them) keep "C".
#ifndef QUINDLE_PLATFORM_TEXT_ENCODING_H
#define QUINDLE_PLATFORM_TEXT_ENCODING_H

#include "filter/text_encoding.h"

namespace quindle {

TextEncoding systemTextEncoding();

}  // namespace quindle

#endif
