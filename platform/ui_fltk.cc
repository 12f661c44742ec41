// The FLTK backend for X11: Form1 with its "Attendere" label, and a modal
// message box with one "OK" button and no icon.
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

#include "platform/ui.h"
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

class FltkUi : public Ui {
 public:
  void ShowWaitWindow() override {
    if (!form1_) {
      // No position given: the window system places it.
      form1_ = std::make_unique<Fl_Window>(kFormWidth, kFormHeight, kProgramTitle);
      // The window owns its children and deletes them.
      Fl_Box* label1 = new Fl_Box(kLabelLeft, kLabelTop, kLabelWidth, kLabelHeight, kLabelText);
      label1->box(FL_NO_BOX);
      label1->labelfont(FL_HELVETICA_BOLD);
      label1->labelsize(LabelSize());
      label1->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE);
      form1_->end();
    }
    // Shown modeless and painted once; nothing handles its events later, so
    // this is the only time it is drawn.
    form1_->show();
    form1_->wait_for_expose();
    Fl::flush();
    XSync(fl_display, False);
  }

  void ShowMessage(const std::string& text) override {
    int text_width = 0;
    int text_height = 0;
    fl_font(FL_HELVETICA, kMessageFontPixels);
    fl_measure(text.c_str(), text_width, text_height, 0);
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

  [[noreturn]] void Quit(int status) override {
    while (Fl_Window* window = Fl::first_window()) window->hide();
    Fl::flush();
    XSync(fl_display, False);
    Ui::Quit(status);
  }

 private:
  // The label's 24 pt in pixels, made smaller only if the word would not fit
  // in the label's width with the fonts this machine has. FLTK draws a
  // left-aligned label 3 pixels in from each side.
  static int LabelSize() {
    return FitLabelFont(kLabelFontPixels, kSmallestLabelFontPixels, kLabelWidth - 6, [](int size) {
      fl_font(FL_HELVETICA_BOLD, size);
      return fl_width(kLabelText);
    });
  }

  std::unique_ptr<Fl_Window> form1_;
};

}  // namespace

std::unique_ptr<Ui> NewFltkUi() {
  if (fl_display == nullptr) {
    // FLTK ends the process when it cannot open a display itself, so the
    // display is opened here first and handed over.
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return nullptr;
    fl_open_display(display);
  }
  return std::make_unique<FltkUi>();
}

}  // namespace scenario

#if defined(__SANITIZE_ADDRESS__)
// Leak checking at exit: the font lookups FLTK makes through fontconfig keep
// memory that neither FLTK nor we can hand back. Leaks of our own code are
// still reported.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
// Keeps stderr as the program wrote it.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif
