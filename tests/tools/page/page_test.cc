// rapporto: one self-contained page with the drawing, the details of every
// thing and its source line, the timetable, the tables and every problem;
// written whole or not at all.
#include "tools/page/page.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "model/file_names.h"
#include "model/problems.h"
#include "tests/tools/check/check_fixtures.h"
#include "tests/tools/tool_test_util.h"
#include "tools/drawing/canvas.h"

namespace scenario {
namespace {

using nlohmann::json;

// Every text that follows `open` up to the next `close`, in order.
std::vector<std::string> Between(const std::string& text, const std::string& open, char close) {
  std::vector<std::string> found;
  for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
    const size_t start = at + open.size();
    const size_t end = text.find(close, start);
    if (end == std::string::npos) break;
    found.push_back(text.substr(start, end - start));
  }
  return found;
}

// The fixture (or edited sources) compiled by the core on an in-memory
// disk, the sources left beside the compiled files, as after compila.
class PageTest : public ::testing::Test {
 protected:
  void Compile(const Lines& line, const Lines& train, int32_t j = 1) {
    for (const auto& [name, bytes] : CompileWithCore(line, train, j)) {
      disk.files[std::string(kTestFolder) + "/" + name] = bytes;
    }
    disk.files[std::string(kTestFolder) + "/" + LineSource()] = JoinCrLf(line);
    disk.files[std::string(kTestFolder) + "/" + TrainSource()] = JoinCrLf(train);
  }
  std::string Page() {
    PageInput input;
    std::string err;
    EXPECT_TRUE(
        GatherPage(&disk, kTestFolder, ScenarioName{kFixtureLinea, kFixtureTreno}, &input, &err))
        << err;
    return ReportPage(input);
  }
  // The JSON data of the page's script.
  static json Data(const std::string& page) {
    const std::string open = "<script type=\"application/json\" id=\"dati\">";
    const size_t a = page.find(open);
    const size_t b = page.find("</script>", a);
    if (a == std::string::npos || b == std::string::npos) return json();
    return json::parse(page.substr(a + open.size(), b - a - open.size()), nullptr, false);
  }

  FakeFileSystem disk;
};

TEST_F(PageTest, NeedsNothingButItself) {
  Compile(FixtureLine(), FixtureTrain());
  const std::string page = Page();
  ASSERT_EQ(0u, page.rfind("<!DOCTYPE html>\n<html lang=\"it\">", 0));
  for (const char* outside : {"<link", "<img", "<iframe", "<object", "<embed", "@import",
                              " src=", "https:", "//cdn", "<base"}) {
    EXPECT_EQ(std::string::npos, page.find(outside)) << outside;
  }
  // The only http is the SVG namespace (of the drawing and of the script);
  // every link stays in the page; every url() is a clip of the drawing.
  for (size_t at = page.find("http:"); at != std::string::npos; at = page.find("http:", at + 1)) {
    EXPECT_EQ(0u, page.compare(at, 26, "http://www.w3.org/2000/svg")) << page.substr(at, 60);
  }
  for (const std::string& target : Between(page, "href=\"", '"')) {
    EXPECT_EQ(0u, target.rfind('#', 0)) << "href=\"" << target;
  }
  for (const std::string& target : Between(page, "url(", ')')) {
    EXPECT_EQ(0u, target.rfind("#taglio-", 0)) << "url(" << target;
  }
  EXPECT_NE(std::string::npos, page.find("@page { size: A4 landscape;"));
}

TEST_F(PageTest, EveryThingOfTheDrawingHasItsDetails) {
  Compile(FixtureLine(), FixtureTrain());
  const std::string page = Page();
  const json data = Data(page);
  ASSERT_TRUE(data.is_object()) << "no data";
  const json& cose = data["cose"];
  std::set<std::string> keys;
  const std::string svg = page.substr(page.find("<svg"), page.find("</svg>") - page.find("<svg"));
  for (const std::string& key : Between(svg, "data-key=\"", '"')) {
    keys.insert(key);
    EXPECT_TRUE(cose.contains(key)) << key;
  }
  // The station, the signal and the board of the fixture, each in the
  // drawing and with its record's line.
  struct Expected {
    const char* key;
    const char* titolo;
    const char* km;
    const char* line;
  };
  const Expected expected[] = {
      {"voce-1", "PRIMA", "km 0,200", "stazione,     200"},
      {"cella-36", "Segnale di avviso", "km 1,750", "segnale,    1750"},
      {"cella-18", "Cartello COD", "km 0,850", "cartello_indicatore,  850"},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.key);
    EXPECT_EQ(1u, keys.count(e.key));
    const json& c = cose[e.key];
    EXPECT_EQ(e.titolo, c["titolo"]);
    EXPECT_EQ(e.km, c["km"]);
    const Lines& source = std::string(e.key) == "cella-18" ? FixtureLine() : FixtureTrain();
    const std::string name = std::string(e.key) == "cella-18" ? LineSource() : TrainSource();
    EXPECT_EQ(std::string(kTestFolder) + "/" + name + ":" + std::to_string(LineOf(source, e.line)),
              c["sorgente"]["luogo"]);
    EXPECT_EQ(source[LineOf(source, e.line) - 1], c["sorgente"]["riga"]);
  }
  // Decoded values, as the model unpacks them.
  const json& signal = cose["cella-36"]["valori"];
  EXPECT_EQ(json::array({"s1, s2, s3", "4, 0, 0"}), signal[3]);
  EXPECT_EQ(json::array({"cella", "36 (metri 1800-1850)"}), signal[1]);
  EXPECT_EQ(json::array({"cella di stazione", "9 (metri 450-500)"}), cose["voce-1"]["valori"][3]);
  // The timetable, with the time of the first station.
  EXPECT_NE(std::string::npos, page.find("<td>PRIMA</td><td class=\"num\">0,200</td><td>1:55:00 "
                                         "partenza</td><td>sì</td>"));
}

TEST_F(PageTest, ListsEveryProblemWithItsLine) {
  Lines line = FixtureLine(), train = FixtureTrain();
  Add(&line, {"cartello_indicatore,  850,   (F)"});
  Set(&train, "stazione",
      "stazione,  225,  2,  600,  0, 0, 0,  1,1,0,  2,4,1,  1,  1,55, 0, PRIMA");
  Add(&train,
      {"stazione,  2400,  2,  600,  0, 0, 0,  1,1,0,  2,4,1,  1,  1,55, 0, SECONDA", Signal(2600)});
  Compile(line, train);
  const std::string page = Page();
  for (const auto& [code, marker, metre] :
       {std::tuple{6, "(F)", 850}, std::tuple{8, "PRIMA", 225}, std::tuple{16, "2600", 2600}}) {
    SCOPED_TRACE(code);
    const Lines& source = code == 6 ? line : train;
    const size_t at =
        page.find("Problema n. " + std::to_string(code) + ": " + XmlEscape(ProblemText(code)));
    ASSERT_NE(std::string::npos, at);
    const size_t end = page.find("</li>", at);
    const std::string item = page.substr(at, end - at);
    EXPECT_NE(std::string::npos, item.find("data-metro=\"" + std::to_string(metre) + "\"")) << item;
    EXPECT_NE(std::string::npos,
              item.find("<pre class=\"sorgente\">" + source[LineOf(source, marker) - 1]))
        << item;
  }
  EXPECT_NE(std::string::npos, page.find("3 problemi, 0 avvisi"));
}

TEST_F(PageTest, SourceLinesOnlyWhenTheSourcesMakeTheseFiles) {
  Compile(FixtureLine(), FixtureTrain());
  // An edit after the compile: the lines would point at the wrong records.
  Lines train = FixtureTrain();
  Set(&train, "segnale,", Signal(1800));
  disk.files[std::string(kTestFolder) + "/" + TrainSource()] = JoinCrLf(train);
  std::string page = Page();
  EXPECT_NE(std::string::npos, page.find("Le sorgenti non danno i file compilati mostrati"));
  EXPECT_FALSE(Data(page)["cose"]["cella-36"].contains("sorgente"));

  // Without the sources: no check, the compiled files alone.
  disk.files.erase(std::string(kTestFolder) + "/" + TrainSource());
  page = Page();
  EXPECT_NE(std::string::npos, page.find("Le sorgenti di questo scenario non sono nella cartella"));
  EXPECT_NE(std::string::npos, page.find("PRIMA"));
}

TEST_F(PageTest, NoTextCanEndTheScript) {
  Lines line = FixtureLine();
  Set(&line, "(COD)", "cartello_indicatore,  850,   (</script><b>)");
  Compile(line, FixtureTrain());
  const std::string page = Page();
  size_t scripts = 0;
  for (size_t at = page.find("</script>"); at != std::string::npos;
       at = page.find("</script>", at + 1)) {
    ++scripts;
  }
  EXPECT_EQ(2u, scripts);  // the data and the code
  EXPECT_EQ("Cartello </script><b>", Data(page)["cose"]["cella-18"]["titolo"]);
  EXPECT_EQ(std::string::npos, page.find("<b>)"));
}

TEST_F(PageTest, WithoutLineFileThereIsNoPlanToZoom) {
  Compile(FixtureLine(), FixtureTrain(), 0);
  const std::string page = Page();
  EXPECT_EQ(std::string::npos, page.find("data-zoom-id=\"planimetria\""));
  EXPECT_EQ(std::string::npos, page.find("data-area=\"planimetria\""));
  EXPECT_NE(std::string::npos, page.find("data-zoom-id=\"profili\""));
  EXPECT_NE(std::string::npos, page.find("planimetria non disponibile"));
}

TEST(Rapporto, WritesOnePageOrNothing) {
  TempDir dir;
  ASSERT_EQ(0, RunScenario(dir.path(), "sorgenti").status);
  ToolRun run = RunScenario(dir.path(), "rapporto");
  EXPECT_EQ(2, run.status);
  EXPECT_NE(std::string::npos, run.err.find("nessuno scenario compilato")) << run.err;
  ASSERT_EQ(0, RunScenario(dir.path(), "compila").status);
  const auto before = FolderFiles(dir.path());

  run = RunScenario(dir.path(), "rapporto -o pagina.pdf");
  EXPECT_EQ(2, run.status);
  EXPECT_EQ("scenario: errore: pagina.pdf: il rapporto è una pagina .html\n", run.err);
  EXPECT_EQ(before, FolderFiles(dir.path()));

  run = RunScenario(dir.path(), "rapporto");
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ("scenario: scritto Vescolara_631.html\n", run.out);
  auto after = FolderFiles(dir.path());
  ASSERT_EQ(before.size() + 1, after.size());
  const std::string page = after["Vescolara_631.html"];
  EXPECT_NE(std::string::npos, page.find("<h1>Linea Vescolara \u2014 treno 631</h1>"));
  EXPECT_NE(std::string::npos, page.find("0 problemi, 0 avvisi"));
  EXPECT_EQ(page.size() - 8, page.rfind("</html>\n"));

  run = RunScenario(dir.path(), "rapporto . -o altra/pagina.html");
  EXPECT_EQ(2, run.status);
  EXPECT_EQ(after.size(), FolderFiles(dir.path()).size());
}

}  // namespace
}  // namespace scenario
