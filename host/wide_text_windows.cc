#include "host/wide_text_windows.h"

namespace quindle_host {

std::string lastErrorText() { return errorText(GetLastError()); }

std::string errorText(DWORD code) {
  char text[256] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(code) : message;
}

std::wstring widen(const std::string& text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int length =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) {
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  }
  return wide;
}

std::string narrow(const std::wstring& wide, UINT codePage) {
  if (wide.empty()) return std::string();
  const int length = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) {
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length,
                        nullptr, nullptr);
  }
  return text;
}

// The long-path form of a full path ("\\?\C:\..." or "\\?\UNC\server\share\..."), which no
// depth of folders makes too long.
std::wstring longPath(const std::string& fullPath) {
  const std::wstring full = widen(fullPath, CP_UTF8);
  if (full.compare(0, 4, L"\\\\?\\") == 0) return full;
  if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

bool fullPathOf(const std::string& path, std::wstring* full, std::string* error) {
  const std::wstring wide = widen(path, CP_ACP);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  full->assign(size, L'\0');
  const DWORD length = size ? GetFullPathNameW(wide.c_str(), size, &(*full)[0], nullptr) : 0;
  if (length == 0 || length >= size) {
    *error = lastErrorText();
    return false;
  }
  full->resize(length);
  return true;
}

}  // namespace quindle_host
