#include "tools/show/show.h"

#include <algorithm>
#include <charconv>
#include <nlohmann/json.hpp>

#include "model/cells.h"
#include "model/text_encoding.h"
#include "platform/file_system.h"
#include "tools/show/csv.h"

namespace scenario {
namespace {

using json = nlohmann::ordered_json;

std::string Quoted(const std::string& utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string Number(const PlanNumber& p) {
  switch (p.kind) {
    case PlanKind::kEmpty:
      return "-";
    case PlanKind::kInt16:
      return std::to_string(static_cast<int>(p.value));
    case PlanKind::kDouble:
      return FormatDouble(p.value);
  }
  return "-";
}

const char* KindName(PlanKind kind) {
  switch (kind) {
    case PlanKind::kEmpty:
      return "vuoto";
    case PlanKind::kInt16:
      return "int16";
    case PlanKind::kDouble:
      return "double";
  }
  return "";
}

// The slots whose inizio and fine are positions: stations (1 to 80), the
// kilometre ranges (81 to 83) and the signal repetition (86); slot 84 holds
// the route length in fine.
bool SlotHasPositions(int64_t slot) { return slot <= 83 || slot == 86; }
bool SlotIsStation(int64_t slot) { return slot >= 1 && slot <= 80; }

// The cell values that are speeds: a restriction's speed, and the s and d
// speeds an indicator board packs into each of valore to valore3.
bool HasSpeedValue(uint8_t tipo) {
  return tipo == kTipoFineRall || tipo == kTipoInizioRall || tipo == kTipoAvvisoRall;
}

std::string IndicatorKmh(int16_t packed) {
  const IndicatorSpeeds s = UnpackIndicatorSpeeds(packed);
  return std::to_string(s.s_side) + "/" + std::to_string(s.d_side) + " km/h";
}

json CellaJson(int64_t index, const cella& c, bool unita) {
  json j = {{"cella", index},         {"metro", CellPosition(index)},
            {"tipo", c.tipo},         {"tipo_nome", TipoName(c.tipo)},
            {"valore", c.valore},     {"valore2", c.valore2},
            {"valore3", c.valore3},   {"valore4", c.valore4},
            {"tempo", c.tempo},       {"preavviso", c.preavviso},
            {"montagna", c.montagna}, {"velocita", c.velocita},
            {"pendenza", c.pendenza}, {"aderenza", c.aderenza}};
  if (unita) {
    j["km"] = FormatKm(CellPosition(index));
    j["velocita_km_h"] = SpeedOf(c.velocita);
    j["pendenza_per_mille"] = GradientOf(c.pendenza);
    if (HasSpeedValue(c.tipo)) j["valore_km_h"] = c.valore;
  }
  return j;
}

json VoceJson(int64_t index, const voce& v, bool unita) {
  json j = {{"voce", index},
            {"tipo", v.tipo},
            {"inizio", v.inizio},
            {"fine", v.fine},
            {"posizione", v.posizione},
            {"dato1", v.dato1},
            {"nome", Cp1252ToUtf8(v.nome)},
            {"dato2", v.dato2},
            {"dato3", v.dato3},
            {"dato4", v.dato4},
            {"dato5", v.dato5},
            {"dato6", v.dato6},
            {"dato7", v.dato7},
            {"dato8", v.dato8},
            {"dato9", v.dato9},
            {"dato10", v.dato10},
            {"orario", v.orario}};
  if (unita) {
    if (SlotHasPositions(index)) {
      j["inizio_km"] = FormatKm(v.inizio);
      j["fine_km"] = FormatKm(v.fine);
    }
    if (SlotIsStation(index)) {
      j["posizione_km"] = FormatKm(v.posizione);
      j["orario_hms"] = FormatHms(v.orario);
    }
    if (index == 84) j["fine_km"] = FormatKm(v.fine);
  }
  return j;
}

json PlanJson(int64_t metre, const PlanNumber& x, const PlanNumber& y, bool unita) {
  auto value = [](const PlanNumber& p) { return p.empty() ? json(nullptr) : json(p.value); };
  json j = {{"metro", metre},
            {"x", value(x)},
            {"y", value(y)},
            {"x_tipo", KindName(x.kind)},
            {"y_tipo", KindName(y.kind)}};
  if (unita) j["km"] = FormatKm(metre);
  return j;
}

// The records [first, last] of a table of `size` records, clipped.
void Range(const ShowOptions& options, size_t size, int64_t* first, int64_t* last) {
  *first = std::max<int64_t>(options.da.value_or(0), 0);
  *last = std::min<int64_t>(options.a.value_or(static_cast<int64_t>(size) - 1),
                            static_cast<int64_t>(size) - 1);
}

}  // namespace

std::string FormatDouble(double v) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  std::string out(buffer, result.ptr);
  if (out.find_first_of(".eEn") == std::string::npos) out += ".0";  // "n": inf and nan
  return out;
}

std::string FormatKm(int64_t metres) {
  const int64_t m = metres < 0 ? -metres : metres;
  std::string rest = std::to_string(m % 1000);
  rest.insert(0, 3 - rest.size(), '0');
  return (metres < 0 ? "-" : "") + std::to_string(m / 1000) + "+" + rest;
}

std::string FormatHms(int64_t seconds) {
  const int64_t s = seconds < 0 ? -seconds : seconds;
  auto two = [](int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  return (seconds < 0 ? "-" : "") + two(s / 3600) + ":" + two(s / 60 % 60) + ":" + two(s % 60);
}

std::string FormatCella(int64_t index, const cella& c, bool unita) {
  const bool speed = unita && HasSpeedValue(c.tipo);
  const bool board = unita && c.tipo == kTipoIndicatore;
  auto packed = [&](int16_t v) { return board ? IndicatorKmh(v) : std::to_string(v); };
  return "cella " + std::to_string(index) +
         (unita ? " km " + FormatKm(CellPosition(index))
                : " metro " + std::to_string(CellPosition(index))) +
         ": tipo " + std::to_string(c.tipo) + " (" +
         (TipoName(c.tipo)[0] ? TipoName(c.tipo) : "sconosciuto") + "), valore " +
         (speed ? std::to_string(c.valore) + " km/h" : packed(c.valore)) + ", valore2 " +
         packed(c.valore2) + ", valore3 " + packed(c.valore3) + ", valore4 " +
         std::to_string(c.valore4) + ", tempo " + std::to_string(c.tempo) + ", preavviso " +
         std::to_string(c.preavviso) + ", montagna " + std::to_string(c.montagna) + ", velocita " +
         (unita ? std::to_string(SpeedOf(c.velocita)) + " km/h" : std::to_string(c.velocita)) +
         ", pendenza " +
         (unita ? std::to_string(GradientOf(c.pendenza)) + " \u2030" : std::to_string(c.pendenza)) +
         ", aderenza " + std::to_string(c.aderenza);
}

std::string FormatVoce(int64_t index, const voce& v, bool unita) {
  auto position = [&](int32_t value, bool is_position) {
    return unita && is_position ? "km " + FormatKm(value) : std::to_string(value);
  };
  const bool positions = SlotHasPositions(index), station = SlotIsStation(index);
  return "voce " + std::to_string(index) + ": tipo " + std::to_string(v.tipo) + ", inizio " +
         (unita && index == 84 ? std::to_string(v.inizio) + " %" : position(v.inizio, positions)) +
         ", fine " + position(v.fine, positions || index == 84) + ", posizione " +
         position(v.posizione, station) + ", dato1 " + std::to_string(v.dato1) + ", nome " +
         Quoted(Cp1252ToUtf8(v.nome)) + ", dato2 " + std::to_string(v.dato2) + ", dato3 " +
         std::to_string(v.dato3) + ", dato4 " + std::to_string(v.dato4) + ", dato5 " +
         std::to_string(v.dato5) + ", dato6 " + std::to_string(v.dato6) + ", dato7 " +
         std::to_string(v.dato7) + ", dato8 " + std::to_string(v.dato8) + ", dato9 " +
         std::to_string(v.dato9) + ", dato10 " + std::to_string(v.dato10) + ", orario " +
         (unita && station ? FormatHms(v.orario) : std::to_string(v.orario));
}

std::string FormatPlanPoint(int64_t metre, const PlanNumber& x, const PlanNumber& y, bool unita) {
  if (unita) {
    auto with_unit = [](const PlanNumber& p) { return p.empty() ? Number(p) : Number(p) + " m"; };
    return "km " + FormatKm(metre) + ": x " + with_unit(x) + ", y " + with_unit(y);
  }
  return "metro " + std::to_string(metre) + ": x " + Number(x) + ", y " + Number(y);
}

int RunShow(const std::vector<std::string>& files, const ShowOptions& options, FileSystem* disk,
            std::ostream* out, std::ostream* err) {
  if (options.csv && files.size() != 1) {
    *err << "scenario: errore: con --formato csv si mostra un file alla volta\n";
    err->flush();
    return 2;
  }
  int status = 0;
  json all = json::array();
  for (const std::string& path : files) {
    auto failed = [&](const std::string& message) {
      *err << path << ": errore: " << message << "\n";
      all.push_back({{"nome", path}, {"errore", message}});
      status = 2;
    };
    CompiledFormat format;
    if (options.formato) {
      format = *options.formato;
    } else if (!FormatFromName(path, &format)) {
      failed(
          "formato sconosciuto: il nome non finisce in _linea.dat, .sim o .dat (usare --formato)");
      continue;
    }
    std::string bytes, why;
    if (!disk->ReadFile(path, &bytes, &why)) {
      failed(why);
      continue;
    }
    json records = json::array();
    std::string text;
    int64_t first, last;
    switch (format) {
      case CompiledFormat::kTrack: {
        std::vector<cella> celle;
        if (!DecodeTrackFile(bytes, &celle, &why)) break;
        Range(options, celle.size(), &first, &last);
        if (options.csv) text += CsvCelleHeader();
        for (int64_t k = first; k <= last; ++k) {
          if (options.csv) {
            text += CsvCella(k, celle[k]);
          } else if (options.json) {
            records.push_back(CellaJson(k, celle[k], options.unita));
          } else {
            text += FormatCella(k, celle[k], options.unita) + "\n";
          }
        }
        break;
      }
      case CompiledFormat::kRun: {
        std::array<voce, 87> tabella;
        if (!DecodeRunFile(bytes, &tabella, &why)) break;
        Range(options, tabella.size(), &first, &last);
        if (options.csv) text += CsvTabellaHeader();
        for (int64_t k = first; k <= last; ++k) {
          if (options.csv) {
            text += CsvVoce(k, tabella[k]);
          } else if (options.json) {
            records.push_back(VoceJson(k, tabella[k], options.unita));
          } else {
            text += FormatVoce(k, tabella[k], options.unita) + "\n";
          }
        }
        break;
      }
      case CompiledFormat::kLine: {
        LinePlan plan;
        if (!DecodeLineFile(bytes, &plan, &why)) break;
        Range(options, plan.size(), &first, &last);
        if (options.csv) text += CsvPlanHeader();
        for (int64_t m = first; m <= last; ++m) {
          if (options.csv) {
            text += CsvPlanPoint(m, plan.x(m), plan.y(m));
          } else if (options.json) {
            records.push_back(PlanJson(m, plan.x(m), plan.y(m), options.unita));
          } else {
            text += FormatPlanPoint(m, plan.x(m), plan.y(m), options.unita) + "\n";
          }
        }
        break;
      }
    }
    if (!why.empty()) {
      failed(why);
      continue;
    }
    if (options.json && !options.csv) {
      all.push_back(
          {{"nome", path}, {"formato", FormatName(format)}, {"record", std::move(records)}});
    } else {
      if (files.size() > 1) *out << "# " << path << " (formato " << FormatName(format) << ")\n";
      *out << text;
    }
  }
  if (options.json && !options.csv) {
    *out << json{{"comando", "mostra"}, {"file", std::move(all)}}.dump(
                2, ' ', false, json::error_handler_t::replace)
         << "\n";
  }
  out->flush();
  return status;
}

}  // namespace scenario
