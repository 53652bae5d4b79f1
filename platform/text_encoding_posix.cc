#include "platform/text_encoding.h"

#include <langinfo.h>
#include <locale.h>
#include <strings.h>

namespace quindle {

// The locale the environment names (LC_ALL, LC_CTYPE, LANG), looked at through a locale object of
// its own; a name the system does not have, and any character set but UTF-8, cut by bytes.
TextEncoding systemTextEncoding() {
  TextEncoding encoding;
  const locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (!user) return encoding;
  const char* codeset = nl_langinfo_l(CODESET, user);
  if (codeset && (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0)) {
    encoding.kind = TextEncodingKind::utf8;
  }
  freelocale(user);
  return encoding;
}

}  // namespace quindle
