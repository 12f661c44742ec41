// The report page as HTML: the header with the counts, the drawing with its
// commands and the details panel, the timetable, the tables and the
// problems, then the data and the script.
#include <nlohmann/json.hpp>

#include "model/cells.h"
#include "model/text_encoding.h"
#include "tools/drawing/canvas.h"
#include "tools/drawing/drawing.h"
#include "tools/page/assets.h"
#include "tools/page/page.h"
#include "tools/page/things.h"

namespace scenario {
namespace {

using Json = nlohmann::ordered_json;

// The program that made the page.
constexpr char kGenerator[] = "scenario " SCENARIO_VERSION;

std::string E(const std::string& utf8) { return XmlEscape(utf8); }

// A link that brings metre `metro` into view in the drawing (and shows
// `key`'s details, when given).
std::string GoTo(int64_t metro, const std::string& key = "") {
  return "<a class=\"vai\" href=\"#disegno\" data-metro=\"" + std::to_string(metro) + "\"" +
         (key.empty() ? "" : " data-key=\"" + E(key) + "\"") + ">mostra nel disegno</a>";
}

std::string SourceCell(const SourceLine& s) {
  if (s.place.empty()) return "<td class=\"vuota\">-</td>";
  return "<td><span class=\"luogo\">" + E(s.place) + "</span> <code class=\"sorgente\">" +
         E(s.text) + "</code></td>";
}

std::string Header(const PageInput& in, const std::vector<Thing>& things) {
  const CompiledScenario& s = in.scenario;
  const ScenarioFacts facts = ExtractFacts(s);
  size_t stations = 0, halts = 0, signals = 0, indicators = 0, boards = 0;
  for (const ScenarioFacts::Station& st : facts.stations) ++(st.tipo >= 25 ? halts : stations);
  for (const Thing& t : things) {
    signals += t.kind == ThingKind::kSegnale;
    indicators += t.kind == ThingKind::kIndicatore;
    boards += t.kind == ThingKind::kCartello;
  }
  std::string out = "<header class=\"testata\">\n<h1>Linea " + E(s.linea) + " \u2014 treno " +
                    E(s.treno) + "</h1>\n<p>Rapporto dei file compilati ";
  out += "<code>" + E(in.track_name) + "</code>, <code>" + E(in.run_name) + "</code>";
  if (!s.planimetria.empty()) out += ", <code>" + E(in.line_name) + "</code>";
  if (in.sources_present) {
    out += "; sorgenti <code>" + E(in.sources.line_name) + "</code>, <code>" +
           E(in.sources.train_name) + "</code>";
  }
  out += ".</p>\n<dl class=\"conti\">\n";
  auto item = [&](const std::string& label, const std::string& value) {
    out += "<div><dt>" + E(label) + "</dt><dd>" + E(value) + "</dd></div>\n";
  };
  item("lunghezza del percorso", "km " + Kilometres(facts.route_length, 3));
  item("celle", std::to_string(s.celle.size()));
  item("stazioni", std::to_string(stations));
  item("bivi e posti di servizio", std::to_string(halts));
  item("segnali", std::to_string(signals));
  item("rallentamenti", std::to_string(Restrictions(s).size()));
  item("indicatori di velocità", std::to_string(indicators));
  item("cartelli", std::to_string(boards));
  item("gallerie", std::to_string(Tunnels(s).size()));
  if (in.sources_present) {
    item("problemi", std::to_string(in.check.problemi.size()));
    item("avvisi", std::to_string(in.check.avvisi.size()));
  }
  return out + "</dl>\n</header>\n";
}

std::string Drawing(const PageInput& in) {
  const DrawingSize size = MeasureDrawing(in.scenario);
  SvgCanvas::Options options;
  options.groups = true;
  options.declaration = false;
  options.id = "disegno-svg";
  SvgCanvas canvas(size.width, size.height,
                   "Linea " + in.scenario.linea + ", treno " + in.scenario.treno, options);
  DrawScenario(in.scenario, &canvas);
  std::string out = "<section id=\"disegno\">\n<h2>Disegno</h2>\n<div class=\"comandi\">\n";
  auto buttons = [&](const char* area, const char* label) {
    out += "<span class=\"gruppo\">" + std::string(label) +
           " <button type=\"button\" data-area=\"" + area +
           "\" data-azione=\"piu\" title=\"ingrandisci\">+</button><button type=\"button\" "
           "data-area=\"" +
           area +
           "\" data-azione=\"meno\" title=\"riduci\">\u2212</button><button type=\"button\" "
           "data-area=\"" +
           area + "\" data-azione=\"azzera\" title=\"tutto\">\u21ba</button></span>\n";
  };
  if (!in.scenario.planimetria.empty()) buttons("planimetria", "Planimetria");
  buttons("profili", "Profili");
  out +=
      "<span class=\"aiuto\">rotella: ingrandisce; trascinare: sposta; doppio clic: torna "
      "all'intero; clic su una stazione, un segnale, un cartello o un rallentamento: i "
      "dettagli</span>\n</div>\n<div class=\"foglio\">\n<div class=\"tela\">\n";
  out += canvas.Finish();
  out +=
      "</div>\n<aside id=\"dettagli\" aria-live=\"polite\"><p class=\"vuoto\">Fare clic su una "
      "stazione, un segnale, un cartello o un rallentamento del disegno, o su una riga delle "
      "tabelle, per vederne i dettagli.</p></aside>\n</div>\n"
      "<div id=\"suggerimento\" hidden></div>\n</section>\n";
  return out;
}

std::string Timetable(const PageInput& in) {
  const ScenarioFacts facts = ExtractFacts(in.scenario);
  std::string out =
      "<section id=\"orario\">\n<h2>Orario della corsa</h2>\n<div class=\"scorre\"><table "
      "class=\"dati\">\n"
      "<tr><th>voce</th><th>località</th><th>km</th><th>orario</th><th>fermata</th>"
      "<th></th></tr>\n";
  for (size_t i = 0; i < facts.stations.size(); ++i) {
    const ScenarioFacts::Station& st = facts.stations[i];
    const voce& v = in.scenario.tabella[st.slot];
    std::string orario = TimeOfDay(v.orario);
    if (!orario.empty() && i == 0) orario += " partenza";
    if (!orario.empty() && i + 1 == facts.stations.size() && i > 0) orario += " arrivo";
    out += "<tr data-key=\"" + E(SlotKey(st.slot)) + "\"><td class=\"num\">" +
           std::to_string(st.slot) + "</td><td>" + E(st.nome) + "</td><td class=\"num\">" +
           E(Kilometres(st.posizione, 3)) + "</td><td>" + (orario.empty() ? "-" : E(orario)) +
           "</td><td>" + (st.tipo >= 25 ? "no, transito" : "sì") + "</td><td>" +
           GoTo(st.posizione, SlotKey(st.slot)) + "</td></tr>\n";
  }
  if (facts.stations.empty())
    out += "<tr><td colspan=\"6\" class=\"vuota\">nessuna stazione</td></tr>\n";
  return out + "</table></div>\n</section>\n";
}

// One table of the things of one kind: their values as columns.
std::string ThingTable(const std::vector<Thing>& things, ThingKind kind, const char* id,
                       const char* title, const char* none) {
  std::string out = "<section id=\"" + std::string(id) + "\">\n<h2>" + title + "</h2>\n";
  const Thing* first = nullptr;
  for (const Thing& t : things) {
    if (t.kind == kind) {
      first = &t;
      break;
    }
  }
  if (first == nullptr) return out + "<p class=\"vuota\">" + none + "</p>\n</section>\n";
  out += "<div class=\"scorre\"><table class=\"dati\">\n<tr><th>cosa</th>";
  for (const auto& [label, value] : first->valori) out += "<th>" + E(label) + "</th>";
  out += "<th>riga della sorgente</th></tr>\n";
  for (const Thing& t : things) {
    if (t.kind != kind) continue;
    out += "<tr data-key=\"" + E(t.key) + "\"><td>" + E(t.titolo) + "</td>";
    for (const auto& [label, value] : t.valori) out += "<td>" + E(value) + "</td>";
    out += SourceCell(t.sorgente) + "</tr>\n";
  }
  return out + "</table></div>\n</section>\n";
}

std::string RestrictionTable(const PageInput& in) {
  const std::vector<Restriction> all = Restrictions(in.scenario);
  std::string out = "<section id=\"rallentamenti\">\n<h2>Rallentamenti</h2>\n";
  if (all.empty()) return out + "<p class=\"vuota\">nessun rallentamento</p>\n</section>\n";
  auto km = [](int32_t cell) {
    return cell < 0 ? std::string("-") : E(KmText(static_cast<int32_t>(PlacementPosition(cell))));
  };
  out +=
      "<div class=\"scorre\"><table "
      "class=\"dati\">\n<tr><th>inizio</th><th>fine</th><th>velocità</th>"
      "<th>avviso</th><th></th></tr>\n";
  for (const Restriction& r : all) {
    out += "<tr data-key=\"" + E(CellKey(r.inizio)) + "\"><td>" + km(r.inizio) + "</td><td>" +
           km(r.fine) + "</td><td class=\"num\">" + std::to_string(r.velocita) + " km/h</td><td>" +
           km(r.avviso) + "</td><td>" + GoTo(PlacementPosition(r.inizio), CellKey(r.inizio)) +
           "</td></tr>\n";
  }
  out +=
      "</table></div>\n<p class=\"aiuto\">Le celle di ogni rallentamento, con i loro valori, sono ";
  out += "nella tabella delle celle dei rallentamenti qui sotto.</p>\n</section>\n";
  return out;
}

std::string TunnelTable(const PageInput& in) {
  const std::vector<Tunnel> all = Tunnels(in.scenario);
  std::string out = "<section id=\"gallerie\">\n<h2>Gallerie</h2>\n";
  if (all.empty()) return out + "<p class=\"vuota\">nessuna galleria</p>\n</section>\n";
  out +=
      "<div class=\"scorre\"><table "
      "class=\"dati\">\n<tr><th>n.</th><th>da</th><th>a</th><th>lunghezza</th>"
      "<th>montagna</th><th></th></tr>\n";
  for (size_t i = 0; i < all.size(); ++i) {
    const Tunnel& t = all[i];
    out += "<tr><td class=\"num\">" + std::to_string(i + 1) + "</td><td>" + E(KmText(t.da)) +
           "</td><td>" + E(KmText(t.a)) + "</td><td class=\"num\">" + std::to_string(t.a - t.da) +
           " m</td><td class=\"num\">" + std::to_string(t.montagna) + "</td><td>" + GoTo(t.da) +
           "</td></tr>\n";
  }
  return out + "</table></div>\n</section>\n";
}

// The metre a problem is about: its pos_errore, or its first cell in the way.
std::optional<int64_t> MetreOf(const ProblemReport& p) {
  if (p.pos_errore) return *p.pos_errore;
  if (!p.occupata.empty()) return CellPosition(p.occupata.front().cella);
  return std::nullopt;
}

std::string Quote(const PageInput& in, const Place& place) {
  const SourceLine line = LineOf(in, place.file, place.line);
  if (line.place.empty()) return "";
  return "<pre class=\"sorgente\">" + E(line.text) + "</pre>\n";
}

std::string Problems(const PageInput& in) {
  std::string out = "<section id=\"problemi\">\n<h2>Problemi e avvisi</h2>\n";
  if (!in.sources_present) {
    out += "<p class=\"vuota\">Le sorgenti di questo scenario non sono nella cartella: nessuna ";
    out += "verifica.</p>\n";
    for (const std::string& e : in.check.errori) out += "<p>" + E(e) + "</p>\n";
    return out + "</section>\n";
  }
  const CheckReport& r = in.check;
  out +=
      "<p>Verifica delle sorgenti, tutti i problemi (come <code>scenario verifica "
      "--tutti</code>): " +
      E(CountsText(r.problemi.size(), r.avvisi.size())) + ".</p>\n";
  if (!in.sources_match) {
    out += "<p class=\"aiuto\">Le sorgenti non danno i file compilati mostrati (sono cambiate ";
    out += "dopo la compilazione?): le righe delle sorgenti non sono indicate nei dettagli.</p>\n";
  }
  out += "<ul class=\"problemi\">\n";
  for (const ProblemReport& p : r.problemi) {
    out += "<li class=\"problema\"><div class=\"titolo\">Problema n. " + std::to_string(p.codice) +
           ": " + E(p.significato) + "</div>\n<div><span class=\"luogo\">" +
           E(FormatPlace(p.place)) + "</span>";
    if (p.pos_errore) out += "; pos_errore " + std::to_string(*p.pos_errore) + " m";
    if (const std::optional<int64_t> m = MetreOf(p)) out += GoTo(*m);
    out += "</div>\n" + Quote(in, p.place);
    if (!p.causa.empty()) out += "<div class=\"nota\">" + E(p.causa) + "</div>\n";
    for (const Occupant& o : p.occupata) {
      out += "<div class=\"nota\">la cella " + std::to_string(o.cella) + " (" +
             E(CellMetres(o.cella)) + ") è occupata da " + E(DescribeTipo(o.tipo));
      if (!o.posto_da.file.empty()) {
        out += std::string(o.dalla_compilazione ? ", posta dalla compilazione per il record "
                                                : ", posta dal record ") +
               "\"" + E(o.record) + "\" in <span class=\"luogo\">" + E(FormatPlace(o.posto_da)) +
               "</span>";
      }
      out += "</div>\n" + Quote(in, o.posto_da);
    }
    out += "</li>\n";
  }
  for (const WarningReport& w : r.avvisi) {
    out += "<li class=\"avviso\"><div class=\"titolo\">Avviso</div>\n<div><span class=\"luogo\">" +
           E(FormatPlace(w.place)) + "</span>: " + E(w.testo);
    if (!w.celle.empty()) out += GoTo(CellPosition(w.celle.front()));
    out += "</div>\n" + Quote(in, w.place) + "</li>\n";
  }
  out += "</ul>\n";
  for (const std::string& e : r.errori) out += "<p><strong>Errore:</strong> " + E(e) + "</p>\n";
  for (const std::string& n : r.note) out += "<p class=\"aiuto\">" + E(n) + "</p>\n";
  if (r.problemi.empty() && r.avvisi.empty() && r.errori.empty()) {
    out += "<p class=\"vuota\">Nessun problema e nessun avviso.</p>\n";
  }
  return out + "</section>\n";
}

// The details of every thing and where the drawing puts the route, for
// the script; '<' escaped so that nothing in it can end the script.
std::string Data(const PageInput& in, const std::vector<Thing>& things) {
  Json cose = Json::object();
  for (const Thing& t : things) {
    Json valori = Json::array();
    for (const auto& [label, value] : t.valori) valori.push_back(Json::array({label, value}));
    Json c = {{"titolo", t.titolo},
              {"km", KmText(t.metro)},
              {"metro", t.metro},
              {"valori", std::move(valori)}};
    if (!t.sorgente.place.empty()) {
      c["sorgente"] = {{"luogo", t.sorgente.place}, {"riga", t.sorgente.text}};
    }
    cose[t.key] = std::move(c);
  }
  const DrawingGeometry g = MeasureGeometry(in.scenario, 100);
  Json piano = Json::array();
  for (const auto& [metre, point] : g.plan) piano.push_back(Json::array({metre, point.x, point.y}));
  const Json dati = {{"cose", std::move(cose)},
                     {"geometria",
                      {{"sinistra", g.left},
                       {"larghezza", g.plot_width},
                       {"estensione", g.extent},
                       {"asse", g.axis_y},
                       {"passo", g.axis_step},
                       {"piano", std::move(piano)}}}};
  std::string text = dati.dump(-1, ' ', false, Json::error_handler_t::replace);
  std::string out;
  for (char c : text) {
    if (c == '<') {
      out += "\\u003c";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string ReportPage(const PageInput& in) {
  const std::vector<Thing> things = Things(in);
  const std::string title =
      "Rapporto \u2014 linea " + in.scenario.linea + ", treno " + in.scenario.treno;
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<meta name=\"generator\" content=\"" +
      E(kGenerator) + "\">\n<title>" + E(title) + "</title>\n<style>" + kPageStyle +
      "</style>\n</head>\n<body>\n";
  out += Header(in, things);
  out +=
      "<nav class=\"indice\"><a href=\"#disegno\">Disegno</a><a href=\"#orario\">Orario</a>"
      "<a href=\"#segnali\">Segnali</a><a href=\"#rallentamenti\">Rallentamenti</a>"
      "<a href=\"#indicatori\">Indicatori</a><a href=\"#cartelli\">Cartelli</a>"
      "<a href=\"#gallerie\">Gallerie</a><a href=\"#problemi\">Problemi e avvisi</a></nav>\n"
      "<main>\n";
  out += Drawing(in);
  out += Timetable(in);
  out += ThingTable(things, ThingKind::kSegnale, "segnali", "Segnali", "nessun segnale");
  out += RestrictionTable(in);
  out += ThingTable(things, ThingKind::kRallentamento, "celle-rallentamenti",
                    "Celle dei rallentamenti", "nessuna cella di rallentamento");
  out += ThingTable(things, ThingKind::kIndicatore, "indicatori", "Indicatori di velocità massima",
                    "nessun indicatore");
  out += ThingTable(things, ThingKind::kCartello, "cartelli", "Cartelli", "nessun cartello");
  out += TunnelTable(in);
  out += Problems(in);
  out += "</main>\n<footer>" + E(kGenerator) +
         ": rapporto fatto dai file compilati; si apre senza rete e senza altri file.</footer>\n";
  out += "<script type=\"application/json\" id=\"dati\">" + Data(in, things) + "</script>\n";
  out += "<script>" + std::string(kPageScript) + "</script>\n</body>\n</html>\n";
  return out;
}

}  // namespace scenario
