// ui_probe: a Windows test program that the Linux suites run under Wine. It
// shows the builder's own Form1 and tells on stdout what Win32 made of it,
// one fact per line:
//   client W H X Y              Form1's client area and its place on the screen
//   label CLASS X Y W H TEXT    Label1, relative to the client area
//   style left|other border|none
//   font FACE HEIGHT WEIGHT ITALIC UNDERLINE STRIKEOUT CHARSET
//   width NOMINAL CHOSEN        the text's width at 24 pt and at the font used
//   drawn with FACE             the face the system substituted, if any
//   pronto
// then keeps the window, unpainted again, until a line arrives on stdin, and
// ends with status 5.
//
// With the argument "errore" it calls errore("1250") over Form1 instead: a
// second thread describes the box once it is up,
//   box X Y W H TITLE           the box's client area on the screen, its title
//   control CLASS TEXT          one line per visible control of the box; an
//                               icon control says whether it holds an icon
//   pronto
// and the program ends (status 2) when the user closes the box.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "driver/run_driver.h"
#include "model/track_model.h"
#include "platform/file_system.h"
#include "platform/ui.h"
#include "platform/win_text_internal.h"

namespace scenario {
namespace {

void Say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return WideToUtf8(name);
}

std::string TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return WideToUtf8(text);
}

int WidthOf(HDC dc, HFONT font, const std::wstring& text) {
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE extent = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, previous);
  return extent.cx;
}

// The face the system really draws with for `font`.
std::string FaceOf(HDC dc, HFONT font) {
  HGDIOBJ previous = SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, previous);
  return WideToUtf8(face);
}

HWND FindForm1() { return FindWindowW(L"crea_scenario_Form1", nullptr); }

void DescribeForm1() {
  HWND form1 = FindForm1();
  if (form1 == nullptr) {
    Say("nessuna Form1");
    return;
  }
  RECT client = {};
  GetClientRect(form1, &client);
  POINT origin = {0, 0};
  ClientToScreen(form1, &origin);
  Say("client " + std::to_string(client.right) + " " + std::to_string(client.bottom) + " " +
      std::to_string(origin.x) + " " + std::to_string(origin.y));
  for (HWND child = GetWindow(form1, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, form1, reinterpret_cast<POINT*>(&r), 2);
    Say("label " + ClassOf(child) + " " + std::to_string(r.left) + " " + std::to_string(r.top) +
        " " + std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) + " " +
        TextOf(child));
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    const LONG ex_style = GetWindowLongW(child, GWL_EXSTYLE);
    const bool bordered = (style & (WS_BORDER | SS_SUNKEN)) != 0 ||
                          (ex_style & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) != 0;
    Say(std::string("style ") + ((style & SS_TYPEMASK) == SS_LEFT ? "left" : "other") +
        (bordered ? " border" : " none"));

    HFONT font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
    LOGFONTW lf = {};
    if (font == nullptr || GetObjectW(font, sizeof lf, &lf) == 0) {
      Say("font nessuno");
      continue;
    }
    Say("font " + WideToUtf8(lf.lfFaceName) + " " + std::to_string(lf.lfHeight) + " " +
        std::to_string(lf.lfWeight) + " " + std::to_string(lf.lfItalic) + " " +
        std::to_string(lf.lfUnderline) + " " + std::to_string(lf.lfStrikeOut) + " " +
        std::to_string(lf.lfCharSet));
    LOGFONTW nominal_lf = lf;
    HDC dc = GetDC(child);
    nominal_lf.lfHeight = -MulDiv(24, GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT nominal = CreateFontIndirectW(&nominal_lf);
    const std::wstring text = L"Attendere";
    Say("width " + std::to_string(WidthOf(dc, nominal, text)) + " " +
        std::to_string(WidthOf(dc, font, text)));
    Say("drawn with " + FaceOf(dc, font));
    DeleteObject(nominal);
    ReleaseDC(child, dc);
  }
}

BOOL CALLBACK DescribeControl(HWND control, LPARAM) {
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  if ((style & WS_VISIBLE) == 0) return TRUE;
  std::string what = TextOf(control);
  if ((style & SS_TYPEMASK) == SS_ICON && ClassOf(control) == "Static") {
    // An icon control: does it hold an icon?
    what = SendMessageW(control, STM_GETICON, 0, 0) != 0 ? "(icona)" : "(nessuna icona)";
  }
  Say("control " + ClassOf(control) + " " + what);
  return TRUE;
}

// The box errore shows: the visible dialog window of this process.
DWORD WINAPI DescribeBox(void*) {
  for (int attempt = 0; attempt < 500; ++attempt) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid != GetCurrentProcessId() || !IsWindowVisible(w)) continue;
      Sleep(200);  // let it finish laying out its controls
      RECT r = {};
      GetClientRect(w, &r);
      POINT origin = {0, 0};
      ClientToScreen(w, &origin);
      Say("box " + std::to_string(origin.x) + " " + std::to_string(origin.y) + " " +
          std::to_string(r.right) + " " + std::to_string(r.bottom) + " " + TextOf(w));
      EnumChildWindows(w, DescribeControl, 0);
      Say("pronto");
      return 0;
    }
    Sleep(20);
  }
  Say("nessun box");
  return 0;
}

}  // namespace
}  // namespace scenario

int main(int argc, char** argv) {
  using namespace scenario;
  std::unique_ptr<Ui> ui = NewUi();
  ui->ShowWaitWindow();
  if (argc > 1 && std::string(argv[1]) == "errore") {
    HANDLE thread = CreateThread(nullptr, 0, DescribeBox, nullptr, 0, nullptr);
    if (thread != nullptr) CloseHandle(thread);
    TrackModel model(RealFileSystem(), ProgramFolder());
    model.errore("1250");
    // errore only records the box; the builder's driver shows it and the
    // program ends when it is closed.
    ui->Quit(ExitStatusOf(model.halt(), ui.get()));
  }
  DescribeForm1();
  Say("pronto");
  std::string line;
  std::getline(std::cin, line);
  ui->Quit(5);
}
