// NewUi(): the window backend of the platform when it can be used, the
// console otherwise.
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/ui.h"
#include "platform/ui_internal.h"

namespace scenario {

#if defined(_WIN32)

std::unique_ptr<Ui> NewUi() { return NewWin32Ui(); }

#else

std::unique_ptr<Ui> NewUi() { return NewUiWithModuleIn(ProgramFolder()); }

std::unique_ptr<Ui> NewUiWithModuleIn(const std::string& module_folder) {
#if defined(SCENARIO_HAVE_FLTK)
  if (std::unique_ptr<Ui> ui = NewFltkUi(module_folder)) return ui;
#else
  (void)module_folder;
#endif
  return NewConsoleUi();
}

#endif

}  // namespace scenario
