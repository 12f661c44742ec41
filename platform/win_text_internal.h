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

// The text of a system error code in Italian, whatever the language of the
// machine; codes without words of their own give their number.
inline std::string WindowsErrorText(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return "file inesistente";
    case ERROR_PATH_NOT_FOUND:
      return "percorso inesistente";
    case ERROR_ACCESS_DENIED:
      return "accesso negato";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "file in uso da un altro programma";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "disco pieno";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return "esiste già";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return "nome non valido";
    case ERROR_FILENAME_EXCED_RANGE:
      return "nome troppo lungo";
    case ERROR_WRITE_PROTECT:
      return "disco protetto da scrittura";
    case ERROR_DIRECTORY:
      return "non è una cartella";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return "memoria insufficiente";
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
      return "errore di lettura o scrittura del disco";
    case ERROR_NOT_READY:
      return "unità non pronta";
    case ERROR_DIR_NOT_EMPTY:
      return "la cartella non è vuota";
    default:
      return "errore di sistema n. " + std::to_string(code);
  }
}

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_WIN_TEXT_INTERNAL_H_
