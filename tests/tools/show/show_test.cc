// mostra: what it prints of a compiled file agrees with the model that
// wrote it; broken files give a clean message.
#include "tools/show/show.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "model/cells.h"
#include "model/coding.h"
#include "model/track_model.h"
#include "tests/tools/tool_test_util.h"

namespace scenario {
namespace {

using nlohmann::json;

// The fixture compiled by the core, with the model that wrote the files.
class ShowTest : public ::testing::Test {
 protected:
  ShowTest() : model(&fs, kTestFolder) {
    model.linea = kFixtureLinea;
    model.treno = kFixtureTreno;
    fs.files[model.FullName(model.LineSourceName())] = JoinCrLf(FixtureLine());
    fs.files[model.FullName(model.TrainSourceName())] = JoinCrLf(FixtureTrain());
    model.memorizza_percorso(1);
    for (const char* name : {"Prova_7.dat", "Prova_7.sim", "Prova_linea.dat"}) {
      WriteBytes(dir.File(name), fs.files[std::string(kTestFolder) + "/" + name]);
    }
  }
  json ShowJson(const std::string& name, ShowOptions options = {}) {
    options.json = true;
    std::ostringstream out, err;
    EXPECT_EQ(0, RunShow({dir.File(name)}, options, RealFileSystem(), &out, &err)) << err.str();
    json j = json::parse(out.str(), nullptr, false);
    EXPECT_FALSE(j.is_discarded());
    return j["file"][0];
  }

  FakeFileSystem fs;
  TrackModel model;
  TempDir dir;
};

TEST_F(ShowTest, TrackFileAgreesWithTheModel) {
  const json shown = ShowJson("Prova_7.dat");
  EXPECT_EQ("binario", shown["formato"]);
  const json& records = shown["record"];
  ASSERT_EQ(model.celle.size(), records.size());
  for (size_t k = 0; k < model.celle.size(); ++k) {
    const cella& c = model.celle[k];
    const json& r = records[k];
    ASSERT_EQ(k, r["cella"]);
    EXPECT_EQ(CellPosition(static_cast<int64_t>(k)), r["metro"]);
    EXPECT_EQ(c.tipo, r["tipo"]) << k;
    EXPECT_EQ(c.valore, r["valore"]) << k;
    EXPECT_EQ(c.valore2, r["valore2"]) << k;
    EXPECT_EQ(c.valore3, r["valore3"]) << k;
    EXPECT_EQ(c.valore4, r["valore4"]) << k;
    EXPECT_EQ(c.tempo, r["tempo"]) << k;
    EXPECT_EQ(c.preavviso, r["preavviso"]) << k;
    EXPECT_EQ(c.montagna, r["montagna"]) << k;
    EXPECT_EQ(c.velocita, r["velocita"]) << k;
    EXPECT_EQ(c.pendenza, r["pendenza"]) << k;
    EXPECT_EQ(c.aderenza, r["aderenza"]) << k;
  }
  EXPECT_EQ("segnale", records[36]["tipo_nome"]);
  EXPECT_EQ("cella di stazione", records[9]["tipo_nome"]);
  EXPECT_EQ("cartello", records[18]["tipo_nome"]);
}

TEST_F(ShowTest, RunFileAgreesWithTheModel) {
  const json shown = ShowJson("Prova_7.sim");
  const json& records = shown["record"];
  ASSERT_EQ(87u, records.size());
  for (size_t k = 0; k < 87; ++k) {
    const voce& v = model.tabella[k];
    const json& r = records[k];
    SCOPED_TRACE(k);
    EXPECT_EQ(k, r["voce"]);
    EXPECT_EQ(v.tipo, r["tipo"]);
    EXPECT_EQ(v.inizio, r["inizio"]);
    EXPECT_EQ(v.fine, r["fine"]);
    EXPECT_EQ(v.posizione, r["posizione"]);
    EXPECT_EQ(v.dato1, r["dato1"]);
    EXPECT_EQ(v.nome, r["nome"]);
    EXPECT_EQ(v.dato2, r["dato2"]);
    EXPECT_EQ(v.dato3, r["dato3"]);
    EXPECT_EQ(v.dato4, r["dato4"]);
    EXPECT_EQ(v.dato5, r["dato5"]);
    EXPECT_EQ(v.dato6, r["dato6"]);
    EXPECT_EQ(v.dato7, r["dato7"]);
    EXPECT_EQ(v.dato8, r["dato8"]);
    EXPECT_EQ(v.dato9, r["dato9"]);
    EXPECT_EQ(v.dato10, r["dato10"]);
    EXPECT_EQ(v.orario, r["orario"]);
  }
  EXPECT_EQ("PRIMA", records[1]["nome"]);
  EXPECT_EQ("(COD)", records[80]["nome"]);
}

TEST_F(ShowTest, LineFileAgreesWithTheModel) {
  const json shown = ShowJson("Prova_linea.dat");
  const json& records = shown["record"];
  ASSERT_EQ(model.planimetria.size(), records.size());
  for (size_t m = 0; m < model.planimetria.size(); ++m) {
    for (int axis = 0; axis < 2; ++axis) {
      const PlanNumber p = axis == 0 ? model.planimetria.x(m) : model.planimetria.y(m);
      const json& value = records[m][axis == 0 ? "x" : "y"];
      const json& kind = records[m][axis == 0 ? "x_tipo" : "y_tipo"];
      switch (p.kind) {
        case PlanKind::kEmpty:
          ASSERT_TRUE(value.is_null()) << m;
          ASSERT_EQ("vuoto", kind);
          break;
        case PlanKind::kInt16:
          ASSERT_EQ(p.value, value.get<double>()) << m;
          ASSERT_EQ("int16", kind);
          break;
        case PlanKind::kDouble:
          ASSERT_EQ(p.value, value.get<double>()) << m;  // exactly, not nearly
          ASSERT_EQ("double", kind);
          break;
      }
    }
  }
}

TEST_F(ShowTest, TextHasOneRecordPerLineWithItsMembers) {
  ShowOptions options;
  options.da = 36;
  options.a = 36;
  std::ostringstream out, err;
  ASSERT_EQ(0, RunShow({dir.File("Prova_7.dat")}, options, RealFileSystem(), &out, &err));
  const cella& c = model.celle[36];
  EXPECT_EQ(
      "cella 36 metro 1800: tipo 1 (segnale), valore 40, valore2 0, valore3 0, valore4 3, "
      "tempo 0, preavviso 0, montagna 0, velocita " +
          std::to_string(c.velocita) + ", pendenza " + std::to_string(c.pendenza) +
          ", aderenza 100\n",
      out.str());

  options.da = 1;
  options.a = 1;
  out.str("");
  ASSERT_EQ(0, RunShow({dir.File("Prova_7.sim")}, options, RealFileSystem(), &out, &err));
  EXPECT_EQ(
      "voce 1: tipo 2, inizio -100, fine 500, posizione 200, dato1 0, nome \"PRIMA\", "
      "dato2 1, dato3 1, dato4 2, dato5 4, dato6 1, dato7 0, dato8 1, dato9 0, dato10 0, "
      "orario 6900\n",
      out.str());

  // The last plan metres: computed, then the two that stay empty.
  options.da = model.ultimo_metro - 2;
  options.a = std::nullopt;
  out.str("");
  ASSERT_EQ(0, RunShow({dir.File("Prova_linea.dat")}, options, RealFileSystem(), &out, &err));
  const size_t last = static_cast<size_t>(model.ultimo_metro) - 2;
  const std::string m = std::to_string(model.ultimo_metro);
  EXPECT_EQ("metro " + std::to_string(model.ultimo_metro - 2) + ": x " +
                FormatDouble(model.planimetria.x(last).value) + ", y " +
                FormatDouble(model.planimetria.y(last).value) + "\nmetro " +
                std::to_string(model.ultimo_metro - 1) + ": x -, y -\nmetro " + m + ": x -, y -\n",
            out.str());
}

// --unita: positions in km, speeds in km/h, gradients in per mille, a
// station's time as hh:mm:ss; text and JSON agree with the model.
TEST_F(ShowTest, UnitsSayWhatTheNumbersMean) {
  ShowOptions options;
  options.unita = true;
  options.da = 36;
  options.a = 36;
  std::ostringstream out, err;
  ASSERT_EQ(0, RunShow({dir.File("Prova_7.dat")}, options, RealFileSystem(), &out, &err));
  const cella& c = model.celle[36];
  EXPECT_EQ(100, SpeedOf(c.velocita));   // "velocita, 0, 100"
  EXPECT_EQ(5, GradientOf(c.pendenza));  // "pendenza, 1500, 5"
  EXPECT_EQ(
      "cella 36 km 1+800: tipo 1 (segnale), valore 40, valore2 0, valore3 0, valore4 3, "
      "tempo 0, preavviso 0, montagna 0, velocita 100 km/h, pendenza 5 \u2030, aderenza 100\n",
      out.str());

  options.da = 1;
  options.a = 1;
  out.str("");
  ASSERT_EQ(0, RunShow({dir.File("Prova_7.sim")}, options, RealFileSystem(), &out, &err));
  EXPECT_EQ(
      "voce 1: tipo 2, inizio km -0+100, fine km 0+500, posizione km 0+200, dato1 0, nome "
      "\"PRIMA\", dato2 1, dato3 1, dato4 2, dato5 4, dato6 1, dato7 0, dato8 1, dato9 0, "
      "dato10 0, orario 01:55:00\n",
      out.str());
  // Slot 84: the braked mass in %, the route length in km.
  options.da = 84;
  options.a = 84;
  out.str("");
  ASSERT_EQ(0, RunShow({dir.File("Prova_7.sim")}, options, RealFileSystem(), &out, &err));
  EXPECT_EQ(0u, out.str().find("voce 84: tipo 0, inizio 0 %, fine km 5+000, posizione 5,"))
      << out.str();

  options.da = 2;
  options.a = 2;
  out.str("");
  ASSERT_EQ(0, RunShow({dir.File("Prova_linea.dat")}, options, RealFileSystem(), &out, &err));
  EXPECT_EQ("km 0+002: x 0.0 m, y 2.0 m\n", out.str());

  options.da = 36;
  options.a = 36;
  const json cell = ShowJson("Prova_7.dat", options)["record"][0];
  EXPECT_EQ("1+800", cell["km"]);
  EXPECT_EQ(100, cell["velocita_km_h"]);
  EXPECT_EQ(5, cell["pendenza_per_mille"]);
  EXPECT_EQ(c.velocita, cell["velocita"]);  // the stored values stay
  options.da = 1;
  options.a = 1;
  const json slot = ShowJson("Prova_7.sim", options)["record"][0];
  EXPECT_EQ("0+200", slot["posizione_km"]);
  EXPECT_EQ("01:55:00", slot["orario_hms"]);
  EXPECT_EQ(6900, slot["orario"]);
}

// A board's speeds and a restriction's speed carry km/h.
TEST(FormatCella, SpeedsInCells) {
  cella board;
  board.tipo = kTipoIndicatore;
  board.valore = 2525;   // 125 and 125
  board.valore2 = 2800;  // 140, no d side
  EXPECT_NE(std::string::npos,
            FormatCella(10, board, true).find("valore 125/125 km/h, valore2 140/0 km/h"));
  cella slow;
  slow.tipo = kTipoInizioRall;
  slow.valore = 60;
  EXPECT_NE(std::string::npos, FormatCella(10, slow, true).find("valore 60 km/h, valore2 0,"));
  EXPECT_EQ(std::string::npos, FormatCella(10, slow, false).find("km"));
}

TEST(FormatKm, KilometresAndHours) {
  struct Case {
    int64_t metres;
    const char* km;
  };
  const Case kKm[] = {
      {0, "0+000"}, {1800, "1+800"}, {-100, "-0+100"}, {99000, "99+000"}, {1000050, "1000+050"}};
  for (const Case& c : kKm) EXPECT_EQ(c.km, FormatKm(c.metres)) << c.metres;
  struct Time {
    int64_t seconds;
    const char* hms;
  };
  const Time kHms[] = {{0, "00:00:00"},
                       {6900, "01:55:00"},
                       {13320, "03:42:00"},
                       {90061, "25:01:01"},
                       {-61, "-00:01:01"}};
  for (const Time& t : kHms) EXPECT_EQ(t.hms, FormatHms(t.seconds)) << t.seconds;
}

TEST_F(ShowTest, RangeIsClippedToTheFile) {
  ShowOptions options;
  options.da = 85;
  options.a = 1000;
  EXPECT_EQ(2u, ShowJson("Prova_7.sim", options)["record"].size());
  options.da = 50;
  options.a = 10;
  EXPECT_EQ(0u, ShowJson("Prova_7.sim", options)["record"].size());
}

TEST(FormatDouble, ShortestFormThatReadsBack) {
  struct Case {
    double in;
    const char* out;
  };
  static const Case kCases[] = {
      {2.0, "2.0"},
      {0.1, "0.1"},
      {-3.5, "-3.5"},
      {1e300, "1e+300"},
      {-58809.87666731389, "-58809.87666731389"},
      {0.0, "0.0"},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.out, FormatDouble(c.in)) << c.in;
}

TEST(Mostra, BrokenFilesGiveACleanMessage) {
  TempDir dir;
  std::string track = std::string(15 * 3, '\0');
  std::array<voce, 87> tabella;
  tabella[5].nome = "NOME";
  const std::string run = EncodeRunFile(tabella);
  std::string line;
  EncodePlanNumber(PlanNumber{PlanKind::kInt16, 0}, &line);
  EncodePlanNumber(PlanNumber{PlanKind::kInt16, 1}, &line);
  struct Case {
    const char* name;
    std::string bytes;
    const char* message;
  };
  const Case kCases[] = {
      {"corto.dat", track + "abc", "cella 3 incompleta all'offset 45"},
      {"corto.sim", run.substr(0, 5 * 34 + 10),
       "record incompleto o non valido all'offset 170 (voce 5)"},
      {"lungo.sim", run + "x", "1 byte in più dopo la voce 86"},
      {"dispari_linea.dat", line.substr(0, 4), "numero dispari di elementi (1)"},
      {"tag_linea.dat", line + std::string("\x07\x00", 2),
       "record incompleto o non valido all'offset 8 (elemento 2)"},
      {"nome.txt", "", "formato sconosciuto"},
  };
  for (const Case& c : kCases) {
    WriteBytes(dir.File(c.name), c.bytes);
    std::ostringstream out, err;
    EXPECT_EQ(2, RunShow({dir.File(c.name), dir.File("buono.dat")}, ShowOptions{}, RealFileSystem(),
                         &out, &err));
    EXPECT_NE(std::string::npos, err.str().find(dir.File(c.name) + ": errore: ")) << err.str();
    EXPECT_NE(std::string::npos, err.str().find(c.message)) << err.str();
  }
  // A good file next to a broken one is still shown.
  WriteBytes(dir.File("buono.dat"), track);
  std::ostringstream out, err;
  EXPECT_EQ(2, RunShow({dir.File("corto.dat"), dir.File("buono.dat")}, ShowOptions{},
                       RealFileSystem(), &out, &err));
  EXPECT_NE(std::string::npos, out.str().find("cella 2 metro 100: tipo 0 (libera)")) << out.str();
  // A missing file.
  out.str("");
  err.str("");
  EXPECT_EQ(2, RunShow({dir.File("manca.dat")}, ShowOptions{}, RealFileSystem(), &out, &err));
  EXPECT_NE(std::string::npos, err.str().find("manca.dat")) << err.str();
}

TEST(Mostra, FormatOverridesTheName) {
  TempDir dir;
  WriteBytes(dir.File("celle.bin"), std::string(15, '\x01'));
  std::ostringstream out, err;
  ShowOptions options;
  options.formato = CompiledFormat::kTrack;
  EXPECT_EQ(0, RunShow({dir.File("celle.bin")}, options, RealFileSystem(), &out, &err))
      << err.str();
  EXPECT_EQ(0u, out.str().rfind("cella 0 metro 0: tipo 1 (segnale), valore 257,", 0)) << out.str();
}

}  // namespace
}  // namespace scenario
