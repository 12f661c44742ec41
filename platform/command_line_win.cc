// The command line on Windows: the wide command line converted to UTF-8, and
// the console switched to UTF-8 output for the run.
#include "platform/command_line.h"

#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/win_text_internal.h"
// After <windows.h>, which it needs.
#include <shellapi.h>

namespace scenario {
namespace {

UINT original_output_code_page = 0;

void RestoreConsole() { SetConsoleOutputCP(original_output_code_page); }

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr || count != argc) {
    // Cannot happen with the C runtime's own parsing; keep what it gave.
    if (wide != nullptr) LocalFree(wide);
    return std::vector<std::string>(argv, argv + argc);
  }
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

void UseUtf8Console() {
  // Only a real console has a code page; pipes and files get the bytes.
  original_output_code_page = GetConsoleOutputCP();
  if (original_output_code_page == 0 || original_output_code_page == CP_UTF8) return;
  if (SetConsoleOutputCP(CP_UTF8)) atexit(RestoreConsole);
}

}  // namespace scenario
