// disegna: what the picture is made of, and that the SVG and the PNG of the
// built-in scenario are valid files.
#include "tools/drawing/drawing.h"

#if defined(SCENARIO_HAVE_PNG)
#include <cairo.h>
#endif
#include <gtest/gtest.h>

#include <algorithm>

#include "driver/run_driver.h"
#include "tests/tools/tool_test_util.h"
#include "tools/common/compiled_files.h"
#include "tools/drawing/canvas.h"

namespace scenario {
namespace {

// The built-in scenario compiled by the builder's own job, read back.
const CompiledScenario& BuiltIn() {
  static const CompiledScenario* scenario = [] {
    FakeFileSystem fs;
    RecordingUi ui;
    EXPECT_EQ(0, RunBuilder(&fs, &ui, kTestFolder));
    auto* s = new CompiledScenario;
    std::string err;
    EXPECT_TRUE(LoadCompiled(&fs, kTestFolder, "Vescolara", "631", s, &err)) << err;
    return s;
  }();
  return *scenario;
}

// Checks that every tag is closed in order and every '&' starts an entity.
::testing::AssertionResult WellFormed(const std::string& xml) {
  std::vector<std::string> open;
  for (size_t i = 0; i < xml.size(); ++i) {
    if (xml[i] == '&') {
      const size_t semi = xml.find(';', i);
      const std::string entity = xml.substr(i, semi == std::string::npos ? 0 : semi - i + 1);
      if (entity != "&amp;" && entity != "&lt;" && entity != "&gt;" && entity != "&quot;" &&
          entity != "&apos;") {
        return ::testing::AssertionFailure() << "bare & at " << i;
      }
    }
    if (xml[i] != '<') continue;
    const size_t end = xml.find('>', i);
    if (end == std::string::npos) return ::testing::AssertionFailure() << "unclosed < at " << i;
    const std::string tag = xml.substr(i + 1, end - i - 1);
    i = end;
    if (tag.empty() || tag[0] == '?') continue;
    const std::string name =
        tag.substr(tag[0] == '/' ? 1 : 0, tag.find_first_of(" /", 1) - (tag[0] == '/' ? 1 : 0));
    if (tag[0] == '/') {
      if (open.empty() || open.back() != name) {
        return ::testing::AssertionFailure()
               << "</" << name << "> closes " << (open.empty() ? "nothing" : open.back());
      }
      open.pop_back();
    } else if (tag.back() != '/') {
      open.push_back(name);
    }
  }
  if (!open.empty()) return ::testing::AssertionFailure() << "<" << open.back() << "> not closed";
  return ::testing::AssertionSuccess();
}

TEST(ScenarioFacts, OfTheBuiltInScenario) {
  const ScenarioFacts f = ExtractFacts(BuiltIn());
  EXPECT_EQ(99000, f.route_length);
  EXPECT_EQ(99600, f.extent);  // the last station zone ends past the route
  ASSERT_EQ(17u, f.stations.size());
  EXPECT_EQ("CORVENA C.LE", f.stations.front().nome);
  EXPECT_EQ(200, f.stations.front().posizione);
  EXPECT_EQ("ROCCA D'ALTERNO - SANTA FLAVIA", f.stations[8].nome);
  EXPECT_EQ("LASTRIO PORTA SOLIA", f.stations.back().nome);
  ASSERT_EQ(43u, f.signals.size());
  EXPECT_EQ(1750, f.signals.front().metro);
  EXPECT_EQ(1, f.signals.front().sx);
  EXPECT_EQ(2, f.signals[1].sx);
  EXPECT_EQ(34u, f.tunnels.size());
  EXPECT_EQ(41150, f.tunnels[15].from);  // the Scogliera tunnel
  EXPECT_EQ(59650, f.tunnels[15].to);
  std::vector<std::string> texts;
  int indicators = 0;
  for (const auto& b : f.boards) {
    if (b.tipo == kTipoCartello) texts.push_back(b.label);
    if (b.tipo == kTipoIndicatore) ++indicators;
  }
  EXPECT_EQ(21, indicators);
  EXPECT_EQ((std::vector<std::string>{"COD", "GALLERIA · M. SOLCO · KM. 7+150",
                                      "GALLERIA · SCOGLIERA · KM. 18+050", "F", "P.L. · 2+200"}),
            texts);
  // Speeds per cell: 30 km/h to 750 m, then 65 to 1350 m.
  EXPECT_EQ(30, f.speed[14]);
  EXPECT_EQ(65, f.speed[15]);
  EXPECT_EQ(65, f.speed[26]);
  EXPECT_EQ(135, f.speed[27]);
  // Elevation is the sum of the gradients (thousandths) over 50 m cells.
  double e = 0;
  for (size_t k = 0; k < 1000; ++k) e += GradientOf(BuiltIn().celle[k].pendenza) * 0.05;
  EXPECT_NEAR(e, f.elevation[1000], 1e-9);
  const double top = *std::max_element(f.elevation.begin(), f.elevation.begin() + 1980);
  const size_t summit =
      std::max_element(f.elevation.begin(), f.elevation.begin() + 1980) - f.elevation.begin();
  EXPECT_GT(top, 100);
  const int64_t metre = CellPosition(static_cast<int64_t>(summit));
  EXPECT_TRUE(metre > 41150 && metre < 59650) << summit;  // inside the Scogliera tunnel
}

TEST(BoardLabel, DropsTheParentheses) {
  struct Case {
    const char* in;
    const char* out;
  };
  static const Case kCases[] = {
      {"(COD)", "COD"},
      {"( P.L.)(2+200)", "P.L. · 2+200"},
      {"senza", "senza"},
      {"()", ""},
      {"( GALLERIA )( SCOGLIERA)", "GALLERIA · SCOGLIERA"},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.out, BoardLabel(c.in)) << c.in;
}

TEST(ScenarioSvg, IsAWellFormedDocumentWithItsTexts) {
  const std::string svg = ScenarioSvg(BuiltIn());
  EXPECT_EQ(0u, svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0));
  EXPECT_EQ(svg.size() - 7, svg.rfind("</svg>\n"));
  EXPECT_TRUE(WellFormed(svg));
  for (const auto& st : ExtractFacts(BuiltIn()).stations) {
    EXPECT_NE(std::string::npos, svg.find(">" + XmlEscape(st.nome) + "</text>")) << st.nome;
  }
  EXPECT_NE(std::string::npos, svg.find(">ROCCA D&apos;ALTERNO - SANTA FLAVIA</text>"));
  EXPECT_NE(std::string::npos, svg.find(">Linea Vescolara — treno 631</text>"));
  EXPECT_NE(std::string::npos, svg.find(">GALLERIA · SCOGLIERA · KM. 18+050</text>"));
  const DrawingSize size = MeasureDrawing(BuiltIn());
  EXPECT_NE(std::string::npos,
            svg.find("width=\"1600\" height=\"" + std::to_string(size.height) + "\""));
}

// With groups kept (the report page) the same drawing carries its panels,
// marks and keys; without (disegna) not a trace of them.
TEST(ScenarioSvg, GroupsOnlyWhenAskedFor) {
  EXPECT_EQ(std::string::npos, ScenarioSvg(BuiltIn()).find("<g"));
  const DrawingSize size = MeasureDrawing(BuiltIn());
  SvgCanvas::Options options;
  options.groups = true;
  options.declaration = false;
  options.id = "disegno";
  SvgCanvas canvas(size.width, size.height, "t", options);
  DrawScenario(BuiltIn(), &canvas);
  const std::string svg = canvas.Finish();
  EXPECT_EQ(
      0u, svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" id=\"disegno\"", 0));
  EXPECT_TRUE(WellFormed(svg));
  auto count = [&](const std::string& what) {
    size_t n = 0;
    for (size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("<g"), count("</g>"));
  EXPECT_EQ(1u, count("data-zoom-id=\"planimetria\""));
  EXPECT_EQ(3u, count("data-zoom-id=\"profili\""));  // elevation, speed, lane
  EXPECT_EQ(4u, count("<clipPath"));
  const ScenarioFacts facts = ExtractFacts(BuiltIn());
  // Each station in the plan (dot and name) and in the lane (zone and name).
  for (const auto& st : facts.stations) {
    EXPECT_EQ(4u, count("data-key=\"" + SlotKey(st.slot) + "\"")) << st.nome;
  }
  for (const auto& sg : facts.signals)
    EXPECT_EQ(1u, count("data-key=\"" + CellKey(sg.cella) + "\""));
  EXPECT_EQ(1u, count("<g class=\"scala\" data-metri=\""));
}

TEST(SvgCanvas, GroupsCloseInOrder) {
  SvgCanvas::Options options;
  options.groups = true;
  SvgCanvas canvas(10, 10, "", options);
  Group mark;
  mark.kind = Group::Kind::kMark;
  mark.anchor = {1.5, 2};
  mark.key = "cella-3";
  canvas.BeginGroup(mark);
  Group zoom;
  zoom.kind = Group::Kind::kZoom;
  zoom.zoom = "x";
  zoom.zoom_id = "profili";
  zoom.clip_width = 5;
  zoom.clip_height = 6;
  canvas.BeginGroup(zoom);
  canvas.Line({0, 0}, {1, 1}, Stroke{});
  canvas.EndGroup();
  canvas.BeginGroup(Group{});  // left open: Finish closes it
  const std::string svg = canvas.Finish();
  EXPECT_NE(
      std::string::npos,
      svg.find("<g class=\"segno\" data-ax=\"1.5\" data-ay=\"2\" data-key=\"cella-3\">\n"
               "<clipPath id=\"taglio-1\"><rect x=\"0\" y=\"0\" width=\"5\" height=\"6\"/>"
               "</clipPath>\n<g clip-path=\"url(#taglio-1)\"><g class=\"zoom\" data-zoom=\"x\" "
               "data-zoom-id=\"profili\" data-clip=\"0 0 5 6\">\n<line "))
      << svg;
  EXPECT_EQ(svg.size() - std::string("</g>\n</g>\n</svg>\n").size(),
            svg.rfind("</g>\n</g>\n</svg>\n"))
      << svg;
  EXPECT_TRUE(WellFormed(svg));
}

TEST(Kilometres, WithADecimalComma) {
  struct Case {
    double metres;
    int decimals;
    const char* text;
  };
  static const Case kCases[] = {{1750, 3, "1,750"},  {200, 3, "0,200"},  {99000, 1, "99,0"},
                                {-100, 3, "-0,100"}, {-0.2, 3, "0,000"}, {20000, 0, "20"},
                                {50, 2, "0,05"}};
  for (const Case& c : kCases) EXPECT_EQ(c.text, Kilometres(c.metres, c.decimals)) << c.metres;
}

#if defined(SCENARIO_HAVE_PNG)
TEST(ScenarioPng, IsAPngOfTheDrawingsSize) {
  std::string png, err;
  ASSERT_TRUE(ScenarioPng(BuiltIn(), &png, &err)) << err;
  ASSERT_EQ(0u, png.rfind("\x89PNG\r\n\x1a\n", 0));
  struct Reader {
    const std::string* bytes;
    size_t at = 0;
  } reader{&png};
  cairo_surface_t* image = cairo_image_surface_create_from_png_stream(
      [](void* closure, unsigned char* data, unsigned int length) {
        auto* r = static_cast<Reader*>(closure);
        if (r->at + length > r->bytes->size()) return CAIRO_STATUS_READ_ERROR;
        std::copy_n(r->bytes->data() + r->at, length, data);
        r->at += length;
        return CAIRO_STATUS_SUCCESS;
      },
      &reader);
  ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(image));
  const DrawingSize size = MeasureDrawing(BuiltIn());
  EXPECT_EQ(size.width, cairo_image_surface_get_width(image));
  EXPECT_EQ(size.height, cairo_image_surface_get_height(image));
  // Something is drawn: a good share of the pixels are not white.
  cairo_surface_flush(image);
  const unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  int64_t inked = 0;
  for (int y = 0; y < size.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + int64_t{y} * stride);
    for (int x = 0; x < size.width; ++x) inked += (row[x] & 0xffffff) != 0xffffff;
  }
  EXPECT_GT(inked, int64_t{size.width} * size.height / 20);
  cairo_surface_destroy(image);
}
#else
TEST(ScenarioPng, FailsWithAMessageInBuildsWithoutCairo) {
  EXPECT_FALSE(PngAvailable());
  std::string png = "x", err;
  EXPECT_FALSE(ScenarioPng(BuiltIn(), &png, &err));
  EXPECT_EQ("", png);
  EXPECT_EQ(kNoPngMessage, err);
}
#endif

TEST(ScenarioDrawing, HandMadeScenarioWithoutLineFile) {
  CompiledScenario s;
  s.linea = "Piccola<&>";
  s.treno = "1";
  s.celle.assign(20, cella{});
  s.celle[5].tipo = kTipoSegnale;
  s.celle[7].tipo = kTipoInizioRall;
  s.celle[7].valore = 60;
  s.celle[9].tipo = kTipoFineRall;
  s.celle[3].tipo = kTipoCartello;
  s.celle[3].valore = 80;
  s.tabella[80].nome = "(A<B & \"C\")\x01\xff";  // Windows-1252 bytes, one control byte
  s.tabella[1].nome = "STAZIONE \xc8";           // È
  s.tabella[1].posizione = 300;
  s.tabella[1].inizio = 200;
  s.tabella[1].fine = 400;
  s.tabella[1].tipo = 2;
  const std::string svg = ScenarioSvg(s);
  EXPECT_TRUE(WellFormed(svg));
  EXPECT_NE(std::string::npos, svg.find("planimetria non disponibile"));
  EXPECT_NE(std::string::npos, svg.find("Piccola&lt;&amp;&gt;"));
  EXPECT_NE(std::string::npos, svg.find(">STAZIONE È</text>"));
  EXPECT_NE(std::string::npos,
            svg.find(">A&lt;B &amp; &quot;C&quot; · \xEF\xBF\xBD\xC3\xBF</text>"));
  std::string png, err;
  EXPECT_EQ(PngAvailable(), ScenarioPng(s, &png, &err)) << err;

  // Nothing at all: no cells, no slots.
  CompiledScenario empty;
  EXPECT_TRUE(WellFormed(ScenarioSvg(empty)));
  EXPECT_EQ(PngAvailable(), ScenarioPng(empty, &png, &err)) << err;
}

TEST(XmlEscape, EscapesAndRepairs) {
  struct Case {
    std::string in, out;
  };
  const Case kCases[] = {
      {"a&b<c>\"'", "a&amp;b&lt;c&gt;&quot;&apos;"},
      {"caffè", "caffè"},
      {"\xe8", "\xEF\xBF\xBD"},                                  // a lone Windows-1252 byte
      {"\xc3", "\xEF\xBF\xBD"},                                  // cut short
      {"\xed\xa0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
      {"tab\tok\x02", "tab\tok\xEF\xBF\xBD"},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.out, XmlEscape(c.in)) << c.in;
}

TEST(Disegna, WritesSvgAndPngOfACompiledFolder) {
  TempDir dir;
  WriteBytes(dir.File("Prova_linea.txt"), JoinCrLf(FixtureLine()));
  WriteBytes(dir.File("Prova_7-.txt"), JoinCrLf(FixtureTrain()));
  ASSERT_EQ(0, RunScenario(dir.path(), "compila").status);
  ToolRun run = RunScenario(dir.path(), "disegna");
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ("scenario: disegnato Prova_7.svg\n", run.out);
  EXPECT_TRUE(WellFormed(ReadBytes(dir.File("Prova_7.svg"))));
  run = RunScenario(dir.path(), "disegna -o linea.PNG");
  if (PngAvailable()) {
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ(0u, ReadBytes(dir.File("linea.PNG")).rfind("\x89PNG", 0));
  } else {
    // Said before anything is read, and nothing is written.
    EXPECT_EQ(2, run.status);
    EXPECT_EQ("scenario: errore: linea.PNG: " + std::string(kNoPngMessage) + "\n", run.err);
    EXPECT_FALSE(std::filesystem::exists(dir.File("linea.PNG")));
  }

  run = RunScenario(dir.path(), "disegna -o linea.jpg");
  EXPECT_EQ(2, run.status);
  EXPECT_NE(std::string::npos, run.err.find("estensione")) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("linea.jpg")));

  TempDir empty;
  run = RunScenario(empty.path(), "disegna");
  EXPECT_EQ(2, run.status);
  EXPECT_NE(std::string::npos, run.err.find("nessuno scenario compilato")) << run.err;
}

}  // namespace
}  // namespace scenario
