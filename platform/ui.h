// The builder's only user interface: the "Attendere" window shown while it
// works and the modal message box of an error. Backends: FLTK (Linux with a
// display), Win32, and a console fallback that writes to stderr.
#ifndef SCENARIO_PLATFORM_UI_H_
#define SCENARIO_PLATFORM_UI_H_

#include <memory>
#include <string>

namespace scenario {

class Ui {
 public:
  virtual ~Ui() = default;

  // Shows the progress window Form1 with its label "Attendere", modeless,
  // and has it painted once before returning. Nothing repaints it later.
  virtual void ShowWaitWindow() = 0;

  // Shows `text` (UTF-8) in a modal box with one "OK" button and no icon and
  // waits until the user closes it.
  virtual void ShowMessage(const std::string& text) = 0;

  // Writes a diagnostic line for the person who started the program
  // (stderr on every backend).
  virtual void Report(const std::string& text);

  // Ends the program at once with `status`.
  [[noreturn]] virtual void Quit(int status);
};

// The console backend: "Attendere" and message texts go to stderr.
std::unique_ptr<Ui> NewConsoleUi();

// The best backend for this process: a real window when the platform has one
// (Win32; on Linux FLTK, from the window module crea_scenario_fltk.so next to
// the executable, loaded only when a display is set and used when it can be
// opened), the console otherwise.
std::unique_ptr<Ui> NewUi();

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_UI_H_
