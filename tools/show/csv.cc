#include "tools/show/csv.h"

#include <initializer_list>

#include "model/cells.h"
#include "model/text_encoding.h"
#include "tools/show/show.h"

namespace scenario {
namespace {

constexpr char kRowEnd[] = "\r\n";

std::string Row(std::initializer_list<std::string> fields) {
  std::string out;
  for (const std::string& f : fields) {
    if (!out.empty()) out += ',';
    out += f;
  }
  return out + kRowEnd;
}

std::string N(int64_t v) { return std::to_string(v); }

std::string Coordinate(const PlanNumber& p) {
  switch (p.kind) {
    case PlanKind::kEmpty:
      return "";
    case PlanKind::kInt16:
      return N(static_cast<int64_t>(p.value));
    case PlanKind::kDouble:
      return FormatDouble(p.value);
  }
  return "";
}

}  // namespace

std::string CsvField(const std::string& utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
  std::string out = "\"";
  for (char c : utf8) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string CsvCelleHeader() {
  return Row({"cella", "metro", "tipo", "tipo_nome", "valore", "valore2", "valore3", "valore4",
              "tempo", "preavviso", "montagna", "velocita", "pendenza", "aderenza"});
}

std::string CsvCella(int64_t index, const cella& c) {
  return Row({N(index), N(CellPosition(index)), N(c.tipo), CsvField(TipoName(c.tipo)), N(c.valore),
              N(c.valore2), N(c.valore3), N(c.valore4), N(c.tempo), N(c.preavviso), N(c.montagna),
              N(c.velocita), N(c.pendenza), N(c.aderenza)});
}

std::string CsvTabellaHeader() {
  return Row({"voce", "tipo", "inizio", "fine", "posizione", "dato1", "nome", "dato2", "dato3",
              "dato4", "dato5", "dato6", "dato7", "dato8", "dato9", "dato10", "orario"});
}

std::string CsvVoce(int64_t index, const voce& v) {
  return Row({N(index), N(v.tipo), N(v.inizio), N(v.fine), N(v.posizione), N(v.dato1),
              CsvField(Cp1252ToUtf8(v.nome)), N(v.dato2), N(v.dato3), N(v.dato4), N(v.dato5),
              N(v.dato6), N(v.dato7), N(v.dato8), N(v.dato9), N(v.dato10), N(v.orario)});
}

std::string CsvPlanHeader() { return Row({"metro", "x", "y"}); }

std::string CsvPlanPoint(int64_t metre, const PlanNumber& x, const PlanNumber& y) {
  return Row({N(metre), Coordinate(x), Coordinate(y)});
}

}  // namespace scenario
