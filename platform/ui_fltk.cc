// The FLTK backend for X11, built into the window module (ui_fltk_module.h):
// Form1 with its "Attendere" label, and a modal message box with one "OK"
// button and no icon.
#include <X11/Xlib.h>
// FLTK's headers after Xlib's, as FL/x.H expects.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Widget.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/ui_fltk_module.h"
#include "platform/ui_internal.h"

namespace scenario {
namespace {

// The message box layout.
constexpr int kMessageFontPixels = 14;
constexpr int kMargin = 20;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 26;
constexpr int kMinMessageWidth = 200;

// A text drawn as it is: FLTK labels would read '@' as a symbol prefix.
class PlainText : public Fl_Widget {
 public:
  PlainText(int x, int y, int w, int h, const std::string& text)
      : Fl_Widget(x, y, w, h), text_(text) {}

  void draw() override {
    fl_font(FL_HELVETICA, kMessageFontPixels);
    fl_color(FL_FOREGROUND_COLOR);
    fl_draw(text_.c_str(), x(), y(), w(), h(), FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE, nullptr, 0);
  }

 private:
  std::string text_;
};

void HideWindow(Fl_Widget* widget, void*) { widget->window()->hide(); }

// Form1, made at its first showing; the module keeps it until the end.
Fl_Window* form1 = nullptr;

// The label's 24 pt in pixels, made smaller only if the word would not fit
// in the label's width with the fonts this machine has. FLTK draws a
// left-aligned label 3 pixels in from each side.
int LabelSize() {
  return FitLabelFont(kLabelFontPixels, kSmallestLabelFontPixels, kLabelWidth - 6, [](int size) {
    fl_font(FL_HELVETICA_BOLD, size);
    return fl_width(kLabelText);
  });
}

bool Open() {
  if (fl_display == nullptr) {
    // FLTK ends the process when it cannot open a display itself, so the
    // display is opened here first and handed over.
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    fl_open_display(display);
  }
  return true;
}

void ShowWaitWindow() {
  if (form1 == nullptr) {
    // No position given: the window system places it.
    form1 = new Fl_Window(kFormWidth, kFormHeight, kProgramTitle);
    // The window owns its children and deletes them.
    Fl_Box* label1 = new Fl_Box(kLabelLeft, kLabelTop, kLabelWidth, kLabelHeight, kLabelText);
    label1->box(FL_NO_BOX);
    label1->labelfont(FL_HELVETICA_BOLD);
    label1->labelsize(LabelSize());
    label1->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE);
    form1->end();
  }
  // Shown modeless and painted once; nothing handles its events later, so
  // this is the only time it is drawn.
  form1->show();
  form1->wait_for_expose();
  Fl::flush();
  XSync(fl_display, False);
}

void ShowMessage(const char* text) {
  int text_width = 0;
  int text_height = 0;
  fl_font(FL_HELVETICA, kMessageFontPixels);
  fl_measure(text, text_width, text_height, 0);
  const int width = std::max(kMinMessageWidth, text_width + 2 * kMargin);
  const int height = kMargin + text_height + kMargin + kButtonHeight + kMargin / 2;

  Fl_Window box(width, height, kProgramTitle);
  PlainText message(kMargin, kMargin, width - 2 * kMargin, text_height, text);
  Fl_Button ok((width - kButtonWidth) / 2, height - kMargin / 2 - kButtonHeight, kButtonWidth,
               kButtonHeight, "OK");
  ok.labelsize(kMessageFontPixels);
  ok.shortcut(FL_Enter);
  ok.callback(HideWindow);
  box.end();
  // Escape and the window's close button also just close the box.
  box.set_modal();
  box.position((Fl::w() - width) / 2, (Fl::h() - height) / 2);
  box.show();
  Fl::focus(&ok);
  while (box.shown()) Fl::wait();
  Fl::flush();
}

void Close() {
  while (Fl_Window* window = Fl::first_window()) window->hide();
  Fl::flush();
  if (fl_display != nullptr) XSync(fl_display, False);
}

constexpr FltkWindow kWindow = {kFltkModuleVersion, Open, ShowWaitWindow, ShowMessage, Close};

}  // namespace
}  // namespace scenario

// The module's one entry; everything else in it is hidden.
extern "C" __attribute__((visibility("default"))) const scenario::FltkWindow*
scenario_fltk_window() {
  return &scenario::kWindow;
}
