// NewUi(): the window backend of the platform when it can be used, the
// console otherwise.
#include <memory>

#include "platform/ui.h"
#include "platform/ui_internal.h"

namespace scenario {

std::unique_ptr<Ui> NewUi() {
#if defined(_WIN32)
  return NewWin32Ui();
#else
#if defined(SCENARIO_HAVE_FLTK)
  if (std::unique_ptr<Ui> ui = NewFltkUi()) return ui;
#endif
  return NewConsoleUi();
#endif
}

}  // namespace scenario
