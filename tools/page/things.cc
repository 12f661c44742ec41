#include "tools/page/things.h"

#include <map>

#include "model/cells.h"
#include "model/text_encoding.h"
#include "reader/field_reader.h"
#include "tools/drawing/drawing.h"

namespace scenario {
namespace {

std::string Cell(int32_t cella) {
  const int64_t start = CellPosition(cella);
  return std::to_string(cella) + " (metri " + std::to_string(start) + "-" +
         std::to_string(start + kCellLength) + ")";
}

// Who placed what, from the first compile pass: the record that last set
// each cell's tipo, and the record that filled each slot.
struct Origins {
  std::map<int32_t, SourceLocation> cells, slots;
};

Origins OriginsOf(const PageInput& input) {
  Origins o;
  if (!input.sources_match) return o;
  for (const PlacementEvent& e : input.first.placements) {
    if (!e.by_post_pass) o.cells[e.index] = e.record;
  }
  for (const SlotEvent& e : input.first.slots) o.slots[e.slot] = e.record;
  return o;
}

SourceLine Origin(const PageInput& input, const std::map<int32_t, SourceLocation>& m, int32_t k) {
  const auto it = m.find(k);
  return it == m.end() ? SourceLine{} : LineOf(input, it->second);
}

Thing Station(const PageInput& input, const Origins& o, const ScenarioFacts::Station& st) {
  const voce& v = input.scenario.tabella[st.slot];
  Thing t;
  t.kind = ThingKind::kStazione;
  t.key = SlotKey(st.slot);
  t.titolo = st.nome;
  t.metro = st.posizione;
  const bool halt = st.tipo >= 25;
  t.valori = {
      {"km", KmText(st.posizione)},
      {"genere", std::to_string(st.tipo) + (halt ? ": bivio o posto di servizio" : ": stazione")},
      {"zona", KmText(st.inizio) + " - " + KmText(st.fine)},
      {"cella di stazione", halt ? "-" : Cell(static_cast<int32_t>(StationCell(st.fine)))},
      {"voce", std::to_string(st.slot)},
      {"orario", v.orario == 0 ? "-" : TimeOfDay(v.orario)},
      {"dato1-dato5", std::to_string(v.dato1) + ", " + std::to_string(v.dato2) + ", " +
                          std::to_string(v.dato3) + ", " + std::to_string(v.dato4) + ", " +
                          std::to_string(v.dato5)},
      {"dato6-dato10", std::to_string(v.dato6) + ", " + std::to_string(v.dato7) + ", " +
                           std::to_string(v.dato8) + ", " + std::to_string(v.dato9) + ", " +
                           std::to_string(v.dato10)},
  };
  t.sorgente = Origin(input, o.slots, st.slot);
  return t;
}

Thing Signal(const cella& c, int32_t k) {
  const SignalValues s = UnpackSignal(c.valore, c.valore2, c.valore3, c.valore4);
  Thing t;
  t.kind = ThingKind::kSegnale;
  t.titolo = s.sx == 2 ? "Segnale" : "Segnale di avviso";
  t.valori = {
      {"km", ""},
      {"cella", Cell(k)},
      {"sx", std::to_string(s.sx) + (s.sx == 2 ? " (principale)" : " (avviso)")},
      {"s1, s2, s3",
       std::to_string(s.s1) + ", " + std::to_string(s.s2) + ", " + std::to_string(s.s3)},
      {"dx", std::to_string(s.dx)},
      {"d1, d2, d3",
       std::to_string(s.d1) + ", " + std::to_string(s.d2) + ", " + std::to_string(s.d3)},
      {"rapp", std::to_string(s.rapp)},
      {"tempo", std::to_string(c.tempo)},
  };
  return t;
}

Thing RestrictionCell(const cella& c, int32_t k) {
  Thing t;
  t.kind = ThingKind::kRallentamento;
  switch (c.tipo) {
    case kTipoInizioRall:
      t.titolo = "Inizio del rallentamento";
      break;
    case kTipoFineRall:
      t.titolo = "Fine del rallentamento";
      break;
    case kTipoAvvisoRall:
      t.titolo = "Avviso del rallentamento";
      break;
    default:
      t.titolo = "Zona di avviso del rallentamento";
      break;
  }
  const bool zone = c.tipo == kTipoZonaRall;
  t.valori = {
      {"km", ""},
      {"cella", Cell(k)},
      {"velocità o zona",
       zone ? "zona " + std::to_string(c.valore) : std::to_string(c.valore) + " km/h"},
      {"d_v", std::to_string(c.valore2)},
      {"f_tt", std::to_string(c.valore3)},
  };
  return t;
}

Thing Indicator(const cella& c, int32_t k) {
  const IndicatorSpeeds a = UnpackIndicatorSpeeds(c.valore), b = UnpackIndicatorSpeeds(c.valore2),
                        d = UnpackIndicatorSpeeds(c.valore3);
  const IndicatorStripes stripes = UnpackIndicatorStripes(c.valore4);
  Thing t;
  t.kind = ThingKind::kIndicatore;
  t.titolo = "Indicatore di velocità massima";
  t.valori = {
      {"km", ""},
      {"cella", Cell(k)},
      {"lato s (km/h)", std::to_string(a.s_side) + ", " + std::to_string(b.s_side) + ", " +
                            std::to_string(d.s_side)},
      {"lato d (km/h)", std::to_string(a.d_side) + ", " + std::to_string(b.d_side) + ", " +
                            std::to_string(d.d_side)},
      {"strisce s, d", std::to_string(stripes.s_side) + ", " + std::to_string(stripes.d_side)},
  };
  return t;
}

Thing Board(const PageInput& input, const cella& c, int32_t k) {
  std::string text;
  if (c.valore >= 1 && c.valore < kSlots)
    text = Cp1252ToUtf8(input.scenario.tabella[c.valore].nome);
  Thing t;
  t.kind = ThingKind::kCartello;
  t.titolo = "Cartello " + BoardLabel(text);
  t.valori = {
      {"km", ""},
      {"cella", Cell(k)},
      {"voce", std::to_string(c.valore)},
      {"testo", text},
  };
  return t;
}

}  // namespace

std::string TimeOfDay(int32_t orario) {
  if (orario == 0) return "";
  const bool negative = orario < 0;
  const int64_t s = negative ? -int64_t{orario} : orario;
  const int64_t minutes = s / 60 % 60, seconds = s % 60;
  return std::string(negative ? "-" : "") + std::to_string(s / 3600) + ":" +
         (minutes < 10 ? "0" : "") + std::to_string(minutes) + ":" + (seconds < 10 ? "0" : "") +
         std::to_string(seconds);
}

std::string KmText(int32_t metres) { return "km " + Kilometres(metres, 3); }

SourceLine LineOf(const PageInput& input, const std::string& file, int line) {
  if (!input.sources_present || line <= 0) return {};
  const std::string* bytes = file == input.sources.line_name    ? &input.sources.line_bytes
                             : file == input.sources.train_name ? &input.sources.train_bytes
                                                                : nullptr;
  if (bytes == nullptr) return {};
  size_t start = 0;
  for (int l = 1; l < line; ++l) {
    start = bytes->find('\n', start);
    if (start == std::string::npos) return {};
    ++start;
  }
  size_t end = bytes->find_first_of("\r\n", start);
  if (end == std::string::npos) end = bytes->size();
  return SourceLine{file + ":" + std::to_string(line),
                    Cp1252ToUtf8(std::string_view(*bytes).substr(start, end - start))};
}

SourceLine LineOf(const PageInput& input, const SourceLocation& where) {
  if (!input.sources_present || !where.known() || where.whole_file()) return {};
  const bool line_file = where.file == SourceLocation::File::kLine;
  const std::string& bytes = line_file ? input.sources.line_bytes : input.sources.train_bytes;
  int line = 0, column = 0;
  LineAndColumn(bytes, where.offset, &line, &column);
  return LineOf(input, line_file ? input.sources.line_name : input.sources.train_name, line);
}

std::vector<Thing> Things(const PageInput& input) {
  const CompiledScenario& s = input.scenario;
  const ScenarioFacts facts = ExtractFacts(s);
  const Origins o = OriginsOf(input);
  std::vector<Thing> out;
  for (const ScenarioFacts::Station& st : facts.stations) out.push_back(Station(input, o, st));
  for (size_t i = 0; i < s.celle.size(); ++i) {
    const cella& c = s.celle[i];
    const int32_t k = static_cast<int32_t>(i);
    Thing t;
    switch (c.tipo) {
      case kTipoSegnale:
        t = Signal(c, k);
        break;
      case kTipoFineRall:
      case kTipoInizioRall:
      case kTipoAvvisoRall:
      case kTipoZonaRall:
        t = RestrictionCell(c, k);
        break;
      case kTipoIndicatore:
        t = Indicator(c, k);
        break;
      case kTipoCartello:
        t = Board(input, c, k);
        break;
      default:
        continue;
    }
    t.key = CellKey(k);
    t.metro = static_cast<int32_t>(PlacementPosition(k));
    t.valori[0].second = KmText(t.metro);
    t.sorgente = Origin(input, o.cells, k);
    out.push_back(std::move(t));
  }
  return out;
}

std::vector<Tunnel> Tunnels(const CompiledScenario& s) {
  std::vector<Tunnel> out;
  for (size_t i = 0; i < s.celle.size(); ++i) {
    const uint8_t m = s.celle[i].montagna;
    if (m == 0) continue;
    const int32_t from = static_cast<int32_t>(CellPosition(static_cast<int64_t>(i)));
    if (!out.empty() && out.back().a == from && out.back().montagna == m) {
      out.back().a = from + kCellLength;
    } else {
      out.push_back({from, from + kCellLength, m});
    }
  }
  return out;
}

std::vector<Restriction> Restrictions(const CompiledScenario& s) {
  std::vector<Restriction> out;
  const int32_t n = static_cast<int32_t>(s.celle.size());
  for (int32_t a = 0; a < n; ++a) {
    if (s.celle[a].tipo != kTipoInizioRall) continue;
    Restriction r;
    r.inizio = a;
    r.velocita = s.celle[a].valore;
    for (int32_t b = a + 1; b < n; ++b) {
      if (s.celle[b].tipo == kTipoFineRall) {
        r.fine = b;
        break;
      }
      if (s.celle[b].tipo == kTipoInizioRall) break;
    }
    // Its warning board: the nearest before it, with no other start between.
    for (int32_t w = a - 1; w >= 0; --w) {
      if (s.celle[w].tipo == kTipoAvvisoRall) {
        r.avviso = w;
        break;
      }
      if (s.celle[w].tipo == kTipoInizioRall || s.celle[w].tipo == kTipoFineRall) break;
    }
    out.push_back(r);
  }
  return out;
}

}  // namespace scenario
