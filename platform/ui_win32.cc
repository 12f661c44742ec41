// The Win32 backend: Form1 as a plain window with one STATIC label, and the
// system message box with one OK button and no icon.
#include <memory>
#include <string>

#include "platform/ui.h"
#include "platform/ui_internal.h"
#include "platform/win_text_internal.h"

namespace scenario {
namespace {

constexpr wchar_t kFormClass[] = L"crea_scenario_Form1";

class Win32Ui : public Ui {
 public:
  ~Win32Ui() override {
    if (form1_ != nullptr) DestroyWindow(form1_);
    if (font_ != nullptr) DeleteObject(font_);
  }

  void ShowWaitWindow() override {
    if (form1_ == nullptr && !CreateForm1()) {
      // Nothing to show; the run goes on without the window.
      Report("impossibile creare la finestra Form1: " + WindowsErrorText(GetLastError()));
      return;
    }
    // Shown modeless and painted once, children included; nothing reads the
    // message queue afterwards.
    ShowWindow(form1_, SW_SHOWNORMAL);
    RedrawWindow(form1_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
  }

  void ShowMessage(const std::string& text) override {
    std::wstring wide;
    if (!Utf8ToWide(text, &wide)) wide = L"?";
    // No owner, the system's default title, one OK button, no icon.
    MessageBoxW(nullptr, wide.c_str(), nullptr, MB_OK);
  }

  [[noreturn]] void Quit(int status) override {
    if (form1_ != nullptr) {
      DestroyWindow(form1_);
      form1_ = nullptr;
    }
    Ui::Quit(status);
  }

 private:
  bool CreateForm1() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kFormClass;
    if (!RegisterClassW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      return false;

    std::wstring title;
    Utf8ToWide(kProgramTitle, &title);
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame = {0, 0, kFormWidth, kFormHeight};
    AdjustWindowRect(&frame, style, FALSE);
    // CW_USEDEFAULT: the system's default position for new windows.
    form1_ = CreateWindowW(kFormClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                           instance, nullptr);
    if (form1_ == nullptr) return false;

    std::wstring text;
    Utf8ToWide(kLabelText, &text);
    HWND label1 =
        CreateWindowW(L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, kLabelLeft,
                      kLabelTop, kLabelWidth, kLabelHeight, form1_, nullptr, instance, nullptr);
    if (label1 == nullptr) {
      DestroyWindow(form1_);
      form1_ = nullptr;
      return false;
    }
    // 24 pt bold at the screen's resolution, smaller only where the face
    // that stands in for "MS Sans Serif" is too wide for the label.
    HDC dc = GetDC(label1);
    const int pixels_per_inch = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    const int nominal = MulDiv(24, pixels_per_inch, 72);
    int size = nominal;
    if (dc != nullptr) {
      size = FitLabelFont(nominal, kSmallestLabelFontPixels, kLabelWidth,
                          [dc](int pixels) { return static_cast<double>(TextWidth(dc, pixels)); });
      ReleaseDC(label1, dc);
    }
    font_ = LabelFont(size);
    if (font_ != nullptr) SendMessageW(label1, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return true;
  }

  // Label1's font with a character height of `pixels`.
  static HFONT LabelFont(int pixels) {
    return CreateFontW(-pixels, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
  }

  // The width of the label's text in Label1's font at `pixels`; 0 when it
  // cannot be measured (the nominal size is kept then).
  static int TextWidth(HDC dc, int pixels) {
    HFONT font = LabelFont(pixels);
    if (font == nullptr) return 0;
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent = {};
    std::wstring text;
    Utf8ToWide(kLabelText, &text);
    const BOOL measured =
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    DeleteObject(font);
    return measured ? extent.cx : 0;
  }

  HWND form1_ = nullptr;
  HFONT font_ = nullptr;
};

}  // namespace

std::unique_ptr<Ui> NewWin32Ui() { return std::make_unique<Win32Ui>(); }

}  // namespace scenario
