// Text helpers for the Win32 files of platform/: our strings are UTF-8, the
// wide-char APIs take UTF-16.
#ifndef SCENARIO_PLATFORM_WIN_TEXT_INTERNAL_H_
#define SCENARIO_PLATFORM_WIN_TEXT_INTERNAL_H_

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace scenario {

// False when `text` is not valid UTF-8 (or too long for the API).
inline bool Utf8ToWide(std::string_view text, std::wstring* wide) {
  wide->clear();
  if (text.empty()) return true;
  if (text.size() > 0x7fffffff) return false;
  const int size = static_cast<int>(text.size());
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (n <= 0) return false;
  wide->resize(static_cast<size_t>(n));
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide->data(), n) ==
         n;
}

inline std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty() || wide.size() > 0x7fffffff) return std::string();
  const int size = static_cast<int>(wide.size());
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string text(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), n, nullptr, nullptr);
  return text;
}

// The system's text for an error code, without the final full stop and
// line break.
inline std::string WindowsErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (n > 0 && buffer != nullptr) text = WideToUtf8(std::wstring_view(buffer, n));
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                           text.back() == '.'))
    text.pop_back();
  if (text.empty()) text = "errore di sistema " + std::to_string(code);
  return text;
}

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_WIN_TEXT_INTERNAL_H_
