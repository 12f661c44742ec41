// The Win32 window and message box as a Windows user sees them, under Wine
// on a private X server: ui_probe (a Windows test program) shows them through
// the builder's own Ui and describes them from inside Win32; the screenshot
// shows what was drawn.
#include <stdlib.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_util.h"
#include "wine.h"
#include "xvfb.h"

namespace scenario {
namespace {

// Where screenshots go to be looked at; none are kept when it is not set.
std::string ScreenshotPath(const char* name) {
  const char* dir = getenv("SCENARIO_SCREENSHOT_DIR");
  return dir != nullptr ? std::string(dir) + "/" + name : std::string();
}

// The probe's report: the lines up to "pronto", each under its first word.
using Report = std::multimap<std::string, std::string>;

bool ReadReport(WineProcess* probe, Report* report, std::string* err) {
  std::string line;
  while (probe->ReadLine(120000, &line)) {
    if (line == "pronto") return true;
    const size_t blank = line.find(' ');
    report->emplace(line.substr(0, blank),
                    blank == std::string::npos ? "" : line.substr(blank + 1));
  }
  *err = "ui_probe ended or went silent before its report was complete";
  return false;
}

std::string One(const Report& report, const std::string& key) {
  auto it = report.find(key);
  return it == report.end() ? "(missing)" : it->second;
}

std::vector<int> Numbers(const std::string& text, size_t count) {
  std::istringstream in(text);
  std::vector<int> numbers(count, -1);
  for (int& n : numbers) in >> n;
  return numbers;
}

class Win32UiTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string err;
    ASSERT_TRUE(WinePrefix::Prepare(&err)) << err;
    ASSERT_TRUE(Xvfb::Installed()) << "Xvfb is not installed";
    ASSERT_TRUE(xvfb_.Start(&err)) << err;
  }
  void TearDown() override { WinePrefix::EndSession(); }

  Xvfb xvfb_;
  TempDir folder_;
};

TEST_F(Win32UiTest, Form1ShowsTheWholeWord) {
  WineProcess probe;
  std::string err;
  ASSERT_TRUE(probe.Start({SCENARIO_UI_PROBE}, folder_.path(), xvfb_.display(), &err)) << err;
  Report report;
  ASSERT_TRUE(ReadReport(&probe, &report, &err)) << err;

  // 4200 x 2688 twips; Label1 at 960, 960, 2652 x 792 twips; left-aligned,
  // no border.
  const std::vector<int> client = Numbers(One(report, "client"), 4);
  EXPECT_EQ(280, client[0]);
  EXPECT_EQ(179, client[1]);
  EXPECT_EQ(1u, report.count("label"));
  EXPECT_EQ("Static 64 64 177 53 Attendere", One(report, "label"));
  EXPECT_EQ("left none", One(report, "style"));

  // "MS Sans Serif" bold, upright, plain, ANSI character set; 24 pt (32
  // pixels) unless the face at hand is too wide for the label, and then the
  // largest size at which the whole word fits.
  const std::string font = One(report, "font");
  ASSERT_EQ(0u, font.rfind("MS Sans Serif ", 0)) << font;
  const std::vector<int> f = Numbers(font.substr(14), 6);
  EXPECT_EQ(700, f[1]);
  EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), std::vector<int>(f.begin() + 2, f.end()));
  const std::vector<int> width = Numbers(One(report, "width"), 2);
  EXPECT_LE(width[1], 177) << "the word is cut at the label's right edge";
  if (width[0] <= 177) {
    EXPECT_EQ(-32, f[0]) << "the nominal size fits and must be kept";
  } else {
    EXPECT_LT(-32, f[0]);
    EXPECT_GE(-8, f[0]);
  }

  XvfbImage shot;
  ASSERT_TRUE(xvfb_.Screenshot(&shot, ScreenshotPath("windows_form1.png"), &err)) << err;
  const int left = client[2] + 64;
  const int top = client[3] + 64;
  const int in_label = shot.CountDark(left, top, 177, 53);
  EXPECT_GT(in_label, 300);
  // Nothing else in the client area is dark; the text starts at the label's
  // left edge and ends before its right edge.
  EXPECT_EQ(in_label, shot.CountDark(client[2], client[3], 280, 179));
  EXPECT_GT(shot.CountDark(left, top, 8, 53), 0);
  EXPECT_EQ(0, shot.CountDark(left + 176, top, 1, 53));

  ASSERT_TRUE(probe.Write("fine\n"));
  EXPECT_EQ(5, probe.Wait(60000));
}

TEST_F(Win32UiTest, ErrorBoxHasOneOkButtonAndNoIcon) {
  WineProcess probe;
  std::string err;
  ASSERT_TRUE(probe.Start({SCENARIO_UI_PROBE, "errore"}, folder_.path(), xvfb_.display(), &err))
      << err;
  Report report;
  ASSERT_TRUE(ReadReport(&probe, &report, &err)) << err;

  std::multiset<std::string> controls;
  for (auto [it, end] = report.equal_range("control"); it != end; ++it) controls.insert(it->second);
  EXPECT_EQ(1u, controls.count("Button OK"));
  EXPECT_EQ(1u, controls.count("Static  Errore n. 1250"));
  // Wine's box keeps an empty icon control; an icon in it would be a fault.
  for (const std::string& c : controls) {
    EXPECT_TRUE(c == "Button OK" || c == "Static  Errore n. 1250" || c == "Static (nessuna icona)")
        << "unexpected control in the box: " << c;
  }

  // The box: no title of its own, so the system's default one.
  std::istringstream box(One(report, "box"));
  int rect[4] = {-1, -1, -1, -1};
  box >> rect[0] >> rect[1] >> rect[2] >> rect[3] >> std::ws;
  std::string title;
  std::getline(box, title);
  EXPECT_FALSE(title.empty());

  XvfbImage shot;
  ASSERT_TRUE(xvfb_.Screenshot(&shot, ScreenshotPath("windows_errore.png"), &err)) << err;
  // The text and the button's outline are drawn in the box.
  EXPECT_GT(shot.CountDark(rect[0], rect[1], rect[2], rect[3]), 50);
  EXPECT_LT(shot.CountDark(rect[0], rect[1], rect[2], rect[3]), rect[2] * rect[3] / 4);

  // Modal: the program waits for the box; Return presses its OK button and
  // the program ends as errore ends it.
  EXPECT_EQ(-1, probe.Wait(500));
  std::vector<std::string> ids;
  ASSERT_TRUE(xvfb_.WaitForWindows(title, 1, 10000, &ids, &err)) << err;
  ASSERT_TRUE(xvfb_.SendKey(ids[0], "Return", &err)) << err;
  EXPECT_EQ(2, probe.Wait(60000));
}

}  // namespace
}  // namespace scenario
