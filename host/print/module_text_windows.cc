#include <windows.h>

#include "host/print/module_text.h"

namespace quindle_host {

std::string moduleTextToUtf8(const char* text, size_t fieldSize) {
  size_t size = 0;
  while (size < fieldSize && text[size] != '\0') ++size;
  if (size == 0) return std::string();
  const int length = static_cast<int>(size);
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
  if (wideLength <= 0) return std::string();
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, length, &wide[0], wideLength);
  const int utf8Length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (utf8Length <= 0) return std::string();
  std::string utf8(static_cast<size_t>(utf8Length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], utf8Length, nullptr,
                      nullptr);
  return utf8;
}

}  // namespace quindle_host
