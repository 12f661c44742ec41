// `mostra`: the compiled files as readable text, one record per line with
// its member names: cells with their index and metre, slots with their
// number, plan points with their metre, x and y. Or the same as JSON, or
// as CSV for spreadsheets (tools/show/csv.h).
#ifndef SCENARIO_TOOLS_SHOW_SHOW_H_
#define SCENARIO_TOOLS_SHOW_SHOW_H_

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "model/track_model.h"
#include "tools/common/compiled_files.h"

namespace scenario {

class FileSystem;

struct ShowOptions {
  std::optional<int64_t> da;              // first record shown (cell, slot or metre), inclusive
  std::optional<int64_t> a;               // last record shown, inclusive
  std::optional<CompiledFormat> formato;  // the kind of file, instead of the one its name says
  bool json = false;
  bool csv = false;    // one file only
  bool unita = false;  // values in their units as well: km, km/h, ‰, hh:mm:ss
};

// One line of text per record, without line end:
//   "cella 36 metro 1800: tipo 1 (segnale), valore 40, ..., aderenza 100"
//   "voce 1: tipo 2, inizio -100, ..., nome \"CORVENA C.LE\", ..., orario 6900"
//   "metro 2: x 0.0, y 2.0"   (an int16 has no decimal point; empty is "-")
// Names are turned from Windows-1252 into UTF-8. With `unita` the values
// that have a unit say it: positions as kilometres ("km 1+800"), speeds in
// km/h, gradients in ‰ (per mille), a station's time as hh:mm:ss:
//   "cella 36 km 1+800: tipo 1 (segnale), ..., velocita 135 km/h, pendenza 6 ‰, ..."
std::string FormatCella(int64_t index, const cella& c, bool unita = false);
std::string FormatVoce(int64_t index, const voce& v, bool unita = false);
std::string FormatPlanPoint(int64_t metre, const PlanNumber& x, const PlanNumber& y,
                            bool unita = false);
// A position in metres as kilometres, "1+800", "-0+100".
std::string FormatKm(int64_t metres);
// Seconds as hh:mm:ss, "01:55:00"; hours may pass 24.
std::string FormatHms(int64_t seconds);
// A double in the shortest form that reads back to the same value, always
// with a decimal point or exponent ("2.0", "0.1", "1e+300").
std::string FormatDouble(double v);

// Shows every file in turn on *out; messages about files that cannot be
// read or decoded go to *err as "FILE: errore: ...". Returns 0, or 2 when
// any file failed (the others are still shown). CSV takes one file: with
// more it fails at once, with a message, and shows nothing.
int RunShow(const std::vector<std::string>& files, const ShowOptions& options, FileSystem* disk,
            std::ostream* out, std::ostream* err);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SHOW_SHOW_H_
