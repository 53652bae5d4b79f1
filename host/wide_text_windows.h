// Windows' text for the system's wide calls: the module's and the command line's text is in the
// ANSI code page, paths the host keeps are UTF-8, and every call is made with UTF-16 and the
// long-path prefix, which no depth of folders makes too long.
#ifndef QUINDLE_HOST_WIDE_TEXT_WINDOWS_H
#define QUINDLE_HOST_WIDE_TEXT_WINDOWS_H

#include <windows.h>

#include <string>

namespace quindle_host {

// The message of GetLastError(), or of `code`, without its closing period.
std::string lastErrorText();
std::string errorText(DWORD code);

std::wstring widen(const std::string& text, UINT codePage);
std::string narrow(const std::wstring& wide, UINT codePage);

// The long-path form of a full path in UTF-8 ("\\?\C:\..." or "\\?\UNC\server\share\...").
std::wstring longPath(const std::string& fullPath);

// The full path of `path` (ANSI, as typed), as the system completes it from the current folder.
bool fullPathOf(const std::string& path, std::wstring* full, std::string* error);

}  // namespace quindle_host

#endif
