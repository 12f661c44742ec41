// Backend constructors shared by the files of platform/; NewUi() picks one.
#ifndef SCENARIO_PLATFORM_UI_INTERNAL_H_
#define SCENARIO_PLATFORM_UI_INTERNAL_H_

#include <functional>
#include <memory>
#include <string>

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

// Label1's text and its nominal font: 24 pt bold, 32 pixels at 96 dpi.
inline constexpr char kLabelText[] = "Attendere";
inline constexpr int kLabelFontPixels = 32;
// Below this the word would no longer be readable; the shrinking stops here.
inline constexpr int kSmallestLabelFontPixels = 8;

// The label font size in pixels: `nominal` when the text fits in `room`
// pixels at that size, else the largest smaller size, down to `smallest`,
// at which it fits (`smallest` when none does). `width_at(size)` is the
// text's width at `size` with the fonts of the machine at hand, which may
// be wider than the nominal face.
int FitLabelFont(int nominal, int smallest, int room,
                 const std::function<double(int)>& width_at);

#if defined(_WIN32)
// The Win32 backend; never fails.
std::unique_ptr<Ui> NewWin32Ui();
#else
// NewUi() with the window module looked for in `module_folder` instead of
// the program folder: the FLTK window when a display is set, the module
// loads and the display opens; the console otherwise.
std::unique_ptr<Ui> NewUiWithModuleIn(const std::string& module_folder);
#if defined(SCENARIO_HAVE_FLTK)
// The FLTK backend of the window module in `module_folder`, or nullptr when
// no display is set, the module cannot be loaded or the display not opened.
std::unique_ptr<Ui> NewFltkUi(const std::string& module_folder);
#endif
#endif

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_UI_INTERNAL_H_
