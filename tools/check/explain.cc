#include "tools/check/explain.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>

#include "model/cells.h"
#include "model/problems.h"
#include "model/text_encoding.h"
#include "reader/source_format.h"

namespace scenario {
namespace {

std::string Quote(std::string_view utf8) { return "\"" + std::string(utf8) + "\""; }

// "1 campo", "3 campi".
std::string Fields(int64_t n) { return std::to_string(n) + (n == 1 ? " campo" : " campi"); }

// A whole number of metres as such, other values with their fraction.
std::string Metres(double v) {
  if (v == std::floor(v) && std::fabs(v) < 1e15) return std::to_string(static_cast<int64_t>(v));
  std::string s = std::to_string(v);
  while (!s.empty() && s.back() == '0') s.pop_back();
  return s;
}

// Optimal string alignment distance: edits, with a swap of two neighbours
// as one edit.
size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool Bracketed(std::string_view s) { return s.size() > 1 && s.front() == '[' && s.back() == ']'; }

const char* FileWord(SourceLocation::File file) {
  return file == SourceLocation::File::kLine ? "della linea" : "della corsa";
}

// A record field as a report names it: "posizione del record \"segnale\"".
std::string FieldOf(const std::string& field, const std::string& record) {
  return "il campo " + Quote(field) + (record.empty() ? "" : " del record " + Quote(record));
}

// The number in front of the comma that ends at `comma`, if digits stand
// right before it.
std::string NumberBefore(const std::string& bytes, size_t comma) {
  size_t from = comma;
  while (from > 0 && (std::isdigit(static_cast<unsigned char>(bytes[from - 1])) ||
                      bytes[from - 1] == '-' || bytes[from - 1] == '+')) {
    --from;
  }
  return bytes.substr(from, comma - from);
}

std::string ExtraFieldsText(const WarningEvent& e, const SourcePlaces& places) {
  std::string out = "campi in più dopo l'ultimo del record " + Quote(e.keyword) + " (" +
                    Fields(e.expected) + "): " + Quote(ShowText(e.text)) +
                    " è letto come parola chiave e ignorato";
  // A decimal comma: digits, a comma, digits, with nothing between.
  const std::string* bytes = places.Bytes(e.where.file);
  if (bytes != nullptr && e.where.offset > 1 && e.where.offset <= bytes->size() &&
      (*bytes)[e.where.offset - 1] == ',' && !e.text.empty() &&
      std::isdigit(static_cast<unsigned char>(e.text[0]))) {
    const std::string before = NumberBefore(*bytes, e.where.offset - 1);
    if (!before.empty()) {
      std::string after;
      for (char c : e.text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        after += c;
      }
      out += " (una virgola decimale? " + Quote(before + "," + after) + " va scritto " + before +
             "." + after + ")";
    }
  }
  return out;
}

std::string UnknownText(const WarningEvent& e) {
  const bool generale = e.keyword == "[generale]";
  const std::string field = ShowText(Trim(e.text));
  const std::string nearest = NearestKeyword(e.text, e.where.file, generale);
  const std::string lower = Cp1252ToLower(Trim(e.text));
  if (!nearest.empty() && Cp1252ToLower(nearest) == lower) {
    // A keyword of the other part of the line source.
    return Quote(field) + (generale ? " non è letto nella sezione [generale]: ignorato"
                                    : " è letto solo nella sezione [generale]: ignorato");
  }
  std::string out = Quote(field) + " non è una parola chiave" +
                    (generale ? " della sezione [generale]" : "") + ": la riga è ignorata";
  if (!nearest.empty()) out += " (forse " + Quote(Cp1252ToUtf8(nearest)) + "?)";
  return out;
}

}  // namespace

std::string ShowText(std::string_view cp1252) {
  std::string escaped;
  size_t shown = 0;
  for (char c : cp1252) {
    if (++shown > 60) {
      escaped += "...";
      break;
    }
    if (c == '\t') {
      escaped += "\\t";
    } else {
      escaped += c;
    }
  }
  return Cp1252ToUtf8(escaped);
}

std::string NearestKeyword(std::string_view field, SourceLocation::File file, bool generale) {
  const std::string lower = Cp1252ToLower(Trim(field));
  std::vector<const char*> candidates;
  if (Bracketed(lower)) {
    for (const char* s : file == SourceLocation::File::kLine ? LineSections() : TrainSections()) {
      candidates.push_back(s);
    }
  } else {
    std::vector<std::span<const RecordFormat* const>> groups;
    if (file == SourceLocation::File::kLine) {
      groups = {generale ? LineGeneraleRecords() : LineRecords(),
                generale ? LineRecords() : LineGeneraleRecords()};
    } else {
      groups = {TrainRecords()};
    }
    for (const auto& group : groups) {
      for (const RecordFormat* r : group) {
        for (const char* form : r->forms) {
          // Only forms in Windows-1252 letters are suggested.
          if (std::string_view(form).find('\xc3') == std::string_view::npos) {
            candidates.push_back(form);
          }
        }
      }
    }
  }
  std::string best;
  size_t best_distance = 3;
  for (const char* c : candidates) {
    const size_t d = EditDistance(lower, c);
    if (d < best_distance && d * 3 < std::string_view(c).size()) {
      best = c;
      best_distance = d;
    }
  }
  return best;
}

WarningReport ExplainWarning(const WarningEvent& e, const SourcePlaces& places) {
  WarningReport w;
  w.place = places.PlaceOf(e.where);
  if (e.record.known() && e.kind != SourceWarning::kNoGenerale) {
    w.record = places.KeywordAt(e.record);
  }
  const std::string text = ShowText(e.text);
  switch (e.kind) {
    case SourceWarning::kEmptySource:
      w.genere = kAvvisoVuoto;
      w.testo =
          std::string("il file ") + FileWord(e.where.file) + " è vuoto" +
          (e.where.file == SourceLocation::File::kTrain ? ": la corsa non ha alcun dato" : "");
      break;
    case SourceWarning::kNoGenerale:
      w.genere = kAvvisoSenzaGenerale;
      w.testo = std::string("il file ") + FileWord(e.where.file) +
                " non ha \"[generale]\": nessun suo record viene letto";
      if (e.record.known()) {
        // The header that was probably meant.
        w.place = places.PlaceOf(e.record);
        w.testo += " (qui c'è " + Quote(text) + ")";
      }
      break;
    case SourceWarning::kNoStation:
      w.genere = kAvvisoSenzaStazioni;
      w.testo = "la corsa non ha alcuna stazione";
      break;
    case SourceWarning::kNoSignal:
      w.genere = kAvvisoSenzaSegnali;
      w.testo = "la corsa non ha alcun segnale";
      break;
    case SourceWarning::kBeforeGenerale:
      w.genere = kAvvisoPrimaDiGenerale;
      w.testo = "il testo prima di \"[generale]\" è ignorato";
      break;
    case SourceWarning::kUnknownField:
      w.genere = kAvvisoParolaSconosciuta;
      w.testo = UnknownText(e);
      break;
    case SourceWarning::kUnknownSection: {
      w.genere = kAvvisoSezioneSconosciuta;
      w.testo = "sezione sconosciuta " + Quote(ShowText(Trim(e.text)));
      const std::string nearest = NearestKeyword(e.text, e.where.file, false);
      if (!nearest.empty()) w.testo += " (forse " + Quote(nearest) + "?)";
      break;
    }
    case SourceWarning::kKeywordInText:
      w.genere = kAvvisoParolaNelTesto;
      w.testo = "il campo " + Quote(text) + " non è la parola chiave " + Quote(e.keyword) +
                " ma la contiene: è letto come record " + Quote(e.keyword);
      if (e.on_line == 0) {
        w.testo += ", con tutti i suoi " + Fields(e.expected) + " presi dalle righe seguenti";
      } else if (e.on_line < e.expected) {
        w.testo += ", con " + std::to_string(e.expected - e.on_line) + " dei suoi " +
                   Fields(e.expected) + " presi dalle righe seguenti";
      }
      break;
    case SourceWarning::kNotANumber:
      w.genere = kAvvisoNonNumero;
      w.testo =
          FieldOf(e.field, e.keyword) + ", " + Quote(text) + ", non è un numero: letto come 0";
      if (e.text.find('\t') != std::string::npos) {
        w.testo += " (contiene una tabulazione, che non è uno spazio)";
      }
      break;
    case SourceWarning::kEmptyNumber:
      w.genere = kAvvisoCampoVuoto;
      w.testo = FieldOf(e.field, e.keyword) + " è vuoto: letto come 0";
      break;
    case SourceWarning::kFieldsFromNextLine: {
      w.genere = kAvvisoCampiMancanti;
      const int32_t missing = e.expected - e.on_line;
      w.testo = "il record " + Quote(e.keyword) + " ha " + Fields(e.on_line) +
                " sulla sua riga invece di " + std::to_string(e.expected) + ": " +
                (missing == 1 ? "quello mancante è preso" : "i mancanti sono presi") +
                " dalla riga seguente, il cui record va perso";
      break;
    }
    case SourceWarning::kExtraFields:
      w.genere = kAvvisoCampiInPiu;
      w.testo = ExtraFieldsText(e, places);
      break;
    case SourceWarning::kTab:
      w.genere = kAvvisoTabulazione;
      w.testo =
          "tabulazione: non separa i campi e non è saltata come uno spazio (un numero che la "
          "contiene è letto come 0); separare i campi con virgole e spazi";
      break;
    case SourceWarning::kUtf8:
      w.genere = kAvvisoUtf8;
      // The bytes are what the author wrote in UTF-8; read as Windows-1252
      // they are what the compiled files get.
      w.testo = Quote(e.text) + " è scritto in UTF-8: nei file compilati diventa " +
                Quote(Cp1252ToUtf8(e.text)) + "; salvare il file in Windows-1252";
      break;
  }
  return w;
}

void ExplainProblem(const ProblemEvent& event, const std::vector<WarningEvent>& warnings,
                    const std::vector<StopEvent>& stops, const SourcePlaces& places,
                    ProblemReport* p) {
  if (event.code == kErrOltrePercorso) {
    if (event.length_record.known()) {
      p->causa = "oltre l'ultima posizione ammessa per questo record, " +
                 Metres(event.last_position) + " m, con la lunghezza del percorso di " +
                 std::to_string(event.lunghezza) + " m";
      p->note.push_back(Note{places.PlaceOf(event.length_record),
                             "qui la lunghezza del percorso, " + std::to_string(event.lunghezza) +
                                 " m: il binario arriva a " +
                                 std::to_string(LastMetre(event.lunghezza)) + " m"});
    } else {
      p->causa = "nessuna lunghezza del percorso letta";
    }
  }
  if (event.code == kErrStazioniVicine) {
    const int64_t gap = int64_t{event.inizio} - event.earlier_fine;
    const std::string earlier = "della stazione precedente n. " +
                                std::to_string(event.earlier_slot) + " " +
                                Quote(Cp1252ToUtf8(event.earlier_nome));
    p->causa = "la zona inizia a " + std::to_string(event.inizio) + " m, " +
               (gap >= 0 ? std::to_string(gap) + " m dopo la fine della zona "
                         : "prima della fine della zona ") +
               earlier + " (" + std::to_string(event.earlier_fine) + " m)";
    if (event.earlier_record.known()) {
      p->note.push_back(Note{places.PlaceOf(event.earlier_record),
                             "qui la stazione precedente " +
                                 Quote(Cp1252ToUtf8(event.earlier_nome)) + ", con la zona fino a " +
                                 std::to_string(event.earlier_fine) + " m"});
    }
  }
  if (event.code == kErrLettura) {
    const FaultCause& f = event.fault;
    const std::string record = places.KeywordAt(event.record);
    switch (f.kind) {
      case FaultCause::Kind::kUnknown:
        break;
      case FaultCause::Kind::kCutShort:
        p->causa = "il file finisce dentro il record " + Quote(record) + ": letti " +
                   std::to_string(f.read) + " dei suoi " + Fields(f.expected);
        break;
      case FaultCause::Kind::kValue:
        if (f.name == "velocita" && f.record.known()) {
          p->causa = "la velocità " + f.value +
                     " km/h non entra in una cella (velocità / 5 in un byte): ammesse da " +
                     std::to_string(f.lo) + " a " + std::to_string(f.hi) + " km/h";
        } else if (f.hi == 0xffff && f.lo == 0) {
          p->causa = FieldOf(f.name, record) + " è lungo " + f.value + ": al massimo " +
                     std::to_string(f.hi);
        } else {
          p->causa = FieldOf(f.name, record) + " vale " + f.value + ", fuori dall'intervallo da " +
                     std::to_string(f.lo) + " a " + std::to_string(f.hi);
        }
        break;
      case FaultCause::Kind::kTable:
        if (f.name == "planimetria") {
          p->causa =
              "la curva va oltre l'ultimo metro della planimetria (" + std::to_string(f.hi) + ")";
        } else {
          p->causa = "più di " + std::to_string(f.hi) + " " + f.name +
                     ": la tabella ne contiene al massimo " + std::to_string(f.hi);
        }
        break;
      case FaultCause::Kind::kCursor:
        p->causa = "il riempimento " + std::string(f.name == "pendenze" ? "delle " : "dell'") +
                   f.name + " ha superato l'ultima cella (" + std::to_string(f.hi) +
                   "): ogni record " + Quote(f.name == "pendenze" ? "pendenza" : f.name) +
                   " scrive almeno una cella, anche fuori ordine";
        break;
      case FaultCause::Kind::kCell:
        p->causa = FieldOf(f.name, record) + " porta alla cella " + std::to_string(f.reached) +
                   ", fuori dalle celle da 0 a " + std::to_string(f.hi);
        break;
      case FaultCause::Kind::kNoRouteLength: {
        p->causa =
            "la sezione [generale] non ha \"lunghezza percorso\": senza di essa non ci "
            "sono celle";
        // A field of [generale] that was probably meant to be it.
        for (const WarningEvent& w : warnings) {
          if (w.kind == SourceWarning::kUnknownField && w.keyword == "[generale]" &&
              NearestKeyword(w.text, w.where.file, true) == "lunghezza percorso") {
            p->place = places.PlaceOf(w.where);
            p->record = places.KeywordAt(w.where);
            p->causa = "la sezione [generale] non ha \"lunghezza percorso\": " +
                       Quote(ShowText(Trim(w.text))) + " non è riconosciuto";
            break;
          }
        }
        break;
      }
      case FaultCause::Kind::kFile:
        p->causa = f.name;
        break;
    }
    if (f.field.known() && f.field != event.record && f.kind != FaultCause::Kind::kCutShort) {
      p->causa_place = places.PlaceOf(f.field);
    }
  }
  for (const StopEvent& s : stops) {
    if (s.code != event.code) continue;
    p->note.push_back(
        Note{places.PlaceOf(s.record), "la lettura della corsa si ferma a questo record " +
                                           Quote(places.KeywordAt(s.record)) +
                                           " per il problema già registrato: pos_errore diventa " +
                                           std::to_string(s.position) + " m"});
  }
}

}  // namespace scenario
