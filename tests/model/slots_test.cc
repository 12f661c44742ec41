// The roles of the slots of `tabella` and the station types: numbers the
// compiled files carry, so each is pinned here, and a compile pass must put
// every value where its name says.
#include "model/slots.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "model/model_fixture.h"
#include "model/track_model.h"
#include "test_util.h"

namespace scenario {
namespace {

using model_test::LineSource;
using model_test::Rec;
using model_test::Stazione;
using model_test::TestModel;
using model_test::TrainSource;

TEST(Slots, NumbersOnDisk) {
  EXPECT_EQ(kVoci, 87);
  EXPECT_EQ(kVocePrimaStazione, 1);
  EXPECT_EQ(kVoceCartelli, 80);
  EXPECT_EQ(kVoceProgressive, 81);
  EXPECT_EQ(kProgressive, 3);
  EXPECT_EQ(kVoceTreno, 84);
  EXPECT_EQ(kVoceLinea, 85);
  EXPECT_EQ(kVoceCorsa, 86);
  EXPECT_EQ(kVoceCorsa, kVoci - 1);
  EXPECT_EQ(kPrimoTipoTransito, 25);
  EXPECT_EQ(kPreavvisoStazione, 80);
}

TEST(Slots, StationTypes) {
  struct Case {
    uint8_t tipo;
    bool halt, markers;
  };
  const Case kCases[] = {{0, true, true},    {2, true, true},    {4, true, true},
                         {5, true, false},   {6, true, false},   {7, true, true},
                         {12, true, true},   {24, true, true},   {25, false, false},
                         {26, false, false}, {255, false, false}};
  for (const Case& c : kCases) {
    EXPECT_EQ(IsHalt(c.tipo), c.halt) << int{c.tipo};
    EXPECT_EQ(HasStationMarkers(c.tipo), c.markers) << int{c.tipo};
  }
}

// Every value of the scenario-wide records lands in the slot and member its
// constant names; a halt places its station cell and markers, a junction
// nothing.
TEST(Slots, CompilePassFillsThem) {
  TestModel t;
  TrackModel& m = t.m;
  t.fs.files[m.FullName(m.LineSourceName())] = LineSource(
      {"cartello_indicatore,  850,   (COD)"},
      {"lunghezza percorso,    3000", "progressiva chilometrica uno,    0,    2900,    1",
       "sfondo uno,    7", "sfondo due,    8", "sfondo tre,    9",
       "ripetizione segnali 9 codici,    900,    2500"});
  t.fs.files[m.FullName(m.TrainSourceName())] =
      TrainSource({Rec("percentuale massa frenata", {125}), Rec("vetture", {15}),
                   Rec("sabbia", {300}), "orologio,    1               53            0",
                   Stazione(200, 2, 600), Stazione(1500, 25, 200), Stazione(2500, 12, 400)});
  m.memorizza_percorso(1);
  ASSERT_EQ(m.cod_errore, 0);

  const voce& treno = m.tabella[kVoceTreno];
  EXPECT_EQ(treno.inizio, 125);
  EXPECT_EQ(treno.fine, 3000);
  EXPECT_EQ(treno.posizione, 15);
  const voce& linea = m.tabella[kVoceLinea];
  EXPECT_EQ(linea.inizio, 7);
  EXPECT_EQ(linea.posizione, 8);
  EXPECT_EQ(linea.fine, 9);
  EXPECT_EQ(linea.nome, "Vescolara");
  EXPECT_EQ(linea.dato2, 610);
  const voce& corsa = m.tabella[kVoceCorsa];
  EXPECT_EQ(corsa.inizio, 900);
  EXPECT_EQ(corsa.fine, 2500);
  EXPECT_EQ(corsa.posizione, 9);
  EXPECT_EQ(corsa.nome, "631");
  EXPECT_EQ(corsa.dato2, 300);
  EXPECT_EQ(corsa.dato4, 1);
  EXPECT_EQ(corsa.dato5, 53);
  EXPECT_EQ(corsa.dato6, 0);
  EXPECT_EQ(m.tabella[kVoceProgressive].fine, 3000);  // the flag adds 100 m
  EXPECT_EQ(m.tabella[kVoceCartelli].nome, "(COD)");
  EXPECT_EQ(m.voce_cartello, kVoceCartelli - 1);

  // Stations from slot 1 up; the cells of each zone's last cell.
  for (int32_t slot = kVocePrimaStazione; slot <= 3; ++slot) {
    const voce& s = m.tabella[slot];
    const int64_t e = s.fine / 50 - 1;
    SCOPED_TRACE("voce " + std::to_string(slot));
    EXPECT_EQ(m.celle[e].tipo == kTipoStazione, IsHalt(s.tipo));
    EXPECT_EQ(m.celle[e - 1].preavviso == kPreavvisoStazione + 1, HasStationMarkers(s.tipo));
    EXPECT_EQ(m.celle[e - 4].preavviso == kPreavvisoStazione + 4, HasStationMarkers(s.tipo));
  }
  EXPECT_EQ(m.tabella[2].tipo, 25);
}

}  // namespace
}  // namespace scenario
