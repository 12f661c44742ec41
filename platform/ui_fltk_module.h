// The window module: the FLTK backend built as a shared object of its own,
// installed next to the executable and loaded only when there is a display,
// so that a run without one never loads FLTK and the libraries behind it.
// The module and its loader meet through one C function that hands over a
// table of plain functions; no C++ object crosses between them.
#ifndef SCENARIO_PLATFORM_UI_FLTK_MODULE_H_
#define SCENARIO_PLATFORM_UI_FLTK_MODULE_H_

namespace scenario {

// The module's file name, next to the executable.
inline constexpr char kFltkModuleName[] = "crea_scenario_fltk.so";
// Its one exported function, of type FltkWindowEntry.
inline constexpr char kFltkModuleEntry[] = "scenario_fltk_window";
// Raised whenever the table below changes, so that a module of another
// build is refused.
inline constexpr int kFltkModuleVersion = 1;

struct FltkWindow {
  int version;  // kFltkModuleVersion
  // Opens the X display of $DISPLAY; false when none can be opened.
  bool (*open)();
  // Ui::ShowWaitWindow and Ui::ShowMessage (the text in UTF-8).
  void (*show_wait_window)();
  void (*show_message)(const char* text);
  // Hides every window and flushes the display, before the program ends.
  void (*close)();
};

using FltkWindowEntry = const FltkWindow* (*)();

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_UI_FLTK_MODULE_H_
