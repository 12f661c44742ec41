#include "tools/check/report.h"

#include <nlohmann/json.hpp>

#include "model/cells.h"
#include "tools/common/compiled_files.h"

namespace scenario {
namespace {

std::string Join(const std::vector<std::string>& parts, const char* separator) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += separator;
    out += parts[i];
  }
  return out;
}

// The prefix of a diagnostic line: the place, or the program's name.
std::string Prefix(const Place& place) {
  const std::string p = FormatPlace(place);
  return (p.empty() ? std::string("scenario") : p) + ": ";
}

std::string DescribeOccupant(const Occupant& o) {
  return "la cella " + std::to_string(o.cella) + " (" + CellMetres(o.cella) + ") è occupata da " +
         DescribeTipo(o.tipo);
}

using Json = nlohmann::ordered_json;

// Adds "file", "riga" and "colonna" to *object; null when unknown.
void AddPlace(const Place& place, Json* object) {
  (*object)["file"] = place.file.empty() ? Json(nullptr) : Json(place.file);
  (*object)["riga"] = place.line > 0 ? Json(place.line) : Json(nullptr);
  (*object)["colonna"] = place.line > 0 ? Json(place.column) : Json(nullptr);
}

Json ProblemJson(const ProblemReport& p) {
  Json problem = Json::object();
  problem["codice"] = p.codice;
  problem["significato"] = p.significato;
  problem["pos_errore"] = p.pos_errore ? Json(*p.pos_errore) : Json(nullptr);
  AddPlace(p.place, &problem);
  problem["record"] = p.record.empty() ? Json(nullptr) : Json(p.record);
  Json occupants = Json::array();
  for (const Occupant& o : p.occupata) {
    Json occupant = Json::object();
    occupant["cella"] = o.cella;
    occupant["metri"] = {CellPosition(o.cella), CellPosition(o.cella) + kCellLength};
    occupant["tipo"] = o.tipo;
    occupant["tipo_nome"] = TipoName(o.tipo);
    AddPlace(o.posto_da, &occupant);
    occupant["record"] = o.record.empty() ? Json(nullptr) : Json(o.record);
    occupant["dalla_compilazione"] = o.dalla_compilazione;
    occupants.push_back(std::move(occupant));
  }
  problem["occupata"] = std::move(occupants);
  if (!p.causa.empty()) problem["causa"] = p.causa;
  return problem;
}

}  // namespace

std::string FormatPlace(const Place& place) {
  if (place.file.empty()) return "";
  if (place.line <= 0) return place.file;
  return place.file + ":" + std::to_string(place.line) + ":" + std::to_string(place.column);
}

std::string CellMetres(int32_t cella) {
  const int64_t start = CellPosition(cella);
  return "metri " + std::to_string(start) + "-" + std::to_string(start + kCellLength);
}

std::string FormatProblem(const ProblemReport& p) {
  std::string out = Prefix(p.place) + "errore: problema n. " + std::to_string(p.codice);
  if (!p.significato.empty()) out += ": " + p.significato;
  if (p.pos_errore) out += "; pos_errore " + std::to_string(*p.pos_errore) + " m";
  for (const Occupant& o : p.occupata) out += "; " + DescribeOccupant(o);
  if (!p.causa.empty()) out += "; " + p.causa;
  out += "\n";
  for (const Occupant& o : p.occupata) {
    if (o.posto_da.file.empty()) continue;
    if (o.dalla_compilazione) {
      out += Prefix(o.posto_da) + "nota: per il record \"" + o.record +
             "\" la compilazione ha posto " + DescribeTipo(o.tipo) + " nella cella " +
             std::to_string(o.cella) + "\n";
    } else {
      out += Prefix(o.posto_da) + "nota: qui il record \"" + o.record + "\" ha posto " +
             DescribeTipo(o.tipo) + " nella cella " + std::to_string(o.cella) + "\n";
    }
  }
  return out;
}

std::string CountsText(size_t problemi, size_t avvisi) {
  return std::to_string(problemi) + (problemi == 1 ? " problema, " : " problemi, ") +
         std::to_string(avvisi) + (avvisi == 1 ? " avviso" : " avvisi");
}

std::string FormatText(const CheckReport& r) {
  std::string out;
  if (r.problema) out += FormatProblem(*r.problema);
  for (const ProblemReport& p : r.problemi) out += FormatProblem(p);
  for (const WarningReport& w : r.avvisi) out += Prefix(w.place) + "avviso: " + w.testo + "\n";
  for (const std::string& e : r.errori) out += "scenario: errore: " + e + "\n";
  if (r.tutti) {
    for (const std::string& n : r.note) out += "scenario: nota: " + n + "\n";
    out += "scenario: " + CountsText(r.problemi.size(), r.avvisi.size()) + "\n";
    return out;
  }

  std::string summary;
  if (r.esito == 2) {
    summary = "nessun file scritto";
  } else if (r.comando == "verifica") {
    summary = r.esito == 0 ? "verifica senza problemi, nessun file scritto"
                           : "verifica con un problema registrato, nessun file scritto";
  } else {
    summary = (r.esito == 0 ? "scritti " : "scritti comunque, come dal costruttore: ") +
              Join(r.scritti, ", ");
  }
  if (!r.avvisi.empty()) {
    summary +=
        " (" + std::to_string(r.avvisi.size()) + (r.avvisi.size() == 1 ? " avviso)" : " avvisi)");
  }
  out += "scenario: " + summary + "\n";
  return out;
}

std::string FormatJson(const CheckReport& r) {
  using json = Json;
  json j;
  j["comando"] = r.comando;
  if (r.tutti) j["tutti"] = true;
  j["cartella"] = r.cartella;
  j["linea"] = r.linea;
  j["treno"] = r.treno;
  j["sorgenti"] = {{"linea", r.sorgente_linea}, {"treno", r.sorgente_treno}};
  j["esito"] = r.esito;
  if (r.tutti) {
    json problems = json::array();
    for (const ProblemReport& p : r.problemi) problems.push_back(ProblemJson(p));
    j["problemi"] = std::move(problems);
  } else {
    j["problema"] = r.problema ? ProblemJson(*r.problema) : json(nullptr);
  }
  json warnings = json::array();
  for (const WarningReport& w : r.avvisi) {
    json warning = json::object();
    warning["genere"] = w.genere;
    AddPlace(w.place, &warning);
    warning["record"] = w.record;
    warning["celle"] = w.celle;
    warning["testo"] = w.testo;
    warnings.push_back(std::move(warning));
  }
  j["avvisi"] = std::move(warnings);
  j["errori"] = r.errori;
  if (r.tutti) {
    j["note"] = r.note;
    j["riepilogo"] = {{"problemi", r.problemi.size()}, {"avvisi", r.avvisi.size()}};
  }
  j["scritti"] = r.scritti;
  // Texts that are not valid UTF-8 (a file name in another encoding) are
  // replaced, never a reason to fail.
  return j.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace scenario
