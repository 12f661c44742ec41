// The report of `compila` and `verifica`: the recorded problem with the
// record that caused it and what occupies its cell (with `verifica --tutti`
// every problem, one after the other), the silent overwrites as warnings,
// fatal messages and the files written. Printed as text in the
// "FILE:LINE:COL: errore: ..." form that editors and terminals pick up, or
// as one JSON object with the same content.
#ifndef SCENARIO_TOOLS_CHECK_REPORT_H_
#define SCENARIO_TOOLS_CHECK_REPORT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace scenario {

// A place in a source file as the user names it. `file` empty: no file;
// `line` 0: the whole file.
struct Place {
  std::string file;
  int line = 0;
  int column = 0;
};

// "FILE:LINE:COL", "FILE" or "".
std::string FormatPlace(const Place& place);

// A cell that is in the way, and the record that put it there.
struct Occupant {
  int32_t cella = 0;
  uint8_t tipo = 0;
  Place posto_da;                   // file empty when no record placed it
  std::string record;               // keyword of that record, UTF-8
  bool dalla_compilazione = false;  // a code cell the compile pass added for that record
};

struct ProblemReport {
  int32_t codice = 0;
  std::string significato;
  std::optional<int32_t> pos_errore;  // only for the codes that carry a position
  Place place;                        // the record that caused it
  std::string record;                 // its keyword, UTF-8
  std::vector<Occupant> occupata;     // the cells in the way, if any
  std::string causa;                  // what went wrong, in words, when known; UTF-8
};

// Kinds of silent overwrite, as named in the report.
inline constexpr char kAvvisoStazione[] = "cella_di_stazione";
inline constexpr char kAvvisoPreavviso[] = "preavviso";
inline constexpr char kAvvisoGalleria[] = "galleria";

struct WarningReport {
  std::string genere;  // one of the kAvviso* words
  Place place;         // the record that overwrote
  std::string record;
  std::vector<int32_t> celle;
  std::string testo;  // what was overwritten, in words
};

struct CheckReport {
  std::string comando;  // "compila" or "verifica"
  bool tutti = false;   // verifica --tutti: `problemi` and `note` instead of `problema`
  std::string cartella;
  std::string linea, treno;
  std::string sorgente_linea, sorgente_treno;  // as the user names them
  int esito = 0;                               // the exit status
  std::optional<ProblemReport> problema;
  std::vector<ProblemReport> problemi;  // --tutti: every problem, in the order found
  std::vector<std::string> note;        // --tutti: why the check stopped early, if it did
  std::vector<WarningReport> avvisi;
  std::vector<std::string> errori;   // failures that stopped the run
  std::vector<std::string> scritti;  // files written, as the user names them
};

// The metres a cell covers, "metri 1800-1850".
std::string CellMetres(int32_t cella);

// A problem as lines of text, each ended by '\n': the "errore:" line at
// the record, then a "nota:" line for each occupant a record placed.
std::string FormatProblem(const ProblemReport& problem);

// "3 problemi, 1 avviso".
std::string CountsText(size_t problemi, size_t avvisi);

// The report as lines of text, each ended by '\n'.
std::string FormatText(const CheckReport& report);
// The report as one JSON object (UTF-8), ended by '\n'.
std::string FormatJson(const CheckReport& report);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_CHECK_REPORT_H_
