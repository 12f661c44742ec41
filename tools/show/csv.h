// `mostra --formato csv`: the records of a compiled file as CSV for
// spreadsheets. One table per file: a header row with the member names,
// then one row per record. Fields are separated by commas and quoted when
// they hold a comma, a quote or a line end (a quote doubled inside);
// numbers use a decimal point; texts are UTF-8; rows end with CR LF.
#ifndef SCENARIO_TOOLS_SHOW_CSV_H_
#define SCENARIO_TOOLS_SHOW_CSV_H_

#include <array>
#include <cstdint>
#include <string>

#include "model/track_model.h"

namespace scenario {

// A field as CSV: quoted only when it must be.
std::string CsvField(const std::string& utf8);

// Header rows and record rows, each ended by CR LF.
//   cella,metro,tipo,tipo_nome,valore,...,aderenza
//   voce,tipo,inizio,fine,posizione,dato1,nome,dato2,...,dato10,orario
//   metro,x,y   (an empty coordinate is an empty field)
std::string CsvCelleHeader();
std::string CsvCella(int64_t index, const cella& c);
std::string CsvTabellaHeader();
std::string CsvVoce(int64_t index, const voce& v);
std::string CsvPlanHeader();
std::string CsvPlanPoint(int64_t metre, const PlanNumber& x, const PlanNumber& y);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SHOW_CSV_H_
