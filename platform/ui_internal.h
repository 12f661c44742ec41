// Backend constructors shared by the files of platform/; NewUi() picks one.
#ifndef SCENARIO_PLATFORM_UI_INTERNAL_H_
#define SCENARIO_PLATFORM_UI_INTERNAL_H_

#include <memory>

#include "platform/ui.h"

namespace scenario {

// The window title and the message box title: the program's own name.
inline constexpr char kProgramTitle[] = "crea_scenario";

// Form1, in pixels at 96 dpi: the client area and the label rectangle
// (4200 x 2688 and 960, 960, 2652, 792 twips at 15 twips per pixel).
inline constexpr int kFormWidth = 280;
inline constexpr int kFormHeight = 179;
inline constexpr int kLabelLeft = 64;
inline constexpr int kLabelTop = 64;
inline constexpr int kLabelWidth = 177;
inline constexpr int kLabelHeight = 53;

#if defined(_WIN32)
// The Win32 backend; never fails.
std::unique_ptr<Ui> NewWin32Ui();
#elif defined(SCENARIO_HAVE_FLTK)
// The FLTK backend, or nullptr when no X display can be opened.
std::unique_ptr<Ui> NewFltkUi();
#endif

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_UI_INTERNAL_H_
