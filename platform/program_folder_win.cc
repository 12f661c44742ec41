// The program folder on Windows, from the module file name of the process.
#include <string>

#include "platform/file_system.h"
#include "platform/win_text_internal.h"

namespace scenario {

std::string ProgramFolder() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    // Without a module name there is nothing better than the current folder.
    if (n == 0) return ".";
    if (n < name.size()) {
      name.resize(n);
      break;
    }
    if (name.size() >= 32768) return ".";  // longer than any Windows path
    name.resize(name.size() * 2);
  }
  size_t separator = name.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return ".";
  // "C:\crea_scenario.exe" gives "C:", so that folder + "\" + name stays right.
  return WideToUtf8(std::wstring_view(name).substr(0, separator));
}

char PathSeparator() { return '\\'; }

}  // namespace scenario
