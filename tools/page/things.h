// The things of a compiled scenario the report page tells about: each
// station, signal, restriction cell, indicator board and text board with
// its kilometre, cell, slot and decoded values, and the source line that
// placed it; the tunnels; the stops of the timetable. Values are read with
// the model's helpers (model/cells.h), not worked out again here.
#ifndef SCENARIO_TOOLS_PAGE_THINGS_H_
#define SCENARIO_TOOLS_PAGE_THINGS_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/page/page.h"

namespace scenario {

// A line of a source: where it is and what it says.
struct SourceLine {
  std::string place;  // "Vescolara_631-.txt:24"; empty: unknown
  std::string text;   // the line, UTF-8, without its line end
};

// The source line of a record at `where`; empty when the sources are not
// there or do not match the compiled files.
SourceLine LineOf(const PageInput& input, const SourceLocation& where);
// The line `line` (1-based) of the source the user names `file`.
SourceLine LineOf(const PageInput& input, const std::string& file, int line);

enum class ThingKind { kStazione, kSegnale, kRallentamento, kIndicatore, kCartello };

struct Thing {
  ThingKind kind = ThingKind::kStazione;
  std::string key;     // as the drawing's groups name it ("voce-3", "cella-36")
  std::string titolo;  // what it is, in words, UTF-8
  int32_t metro = 0;   // where it stands along the route
  // Label and value of each detail; every thing of one kind has the same
  // labels in the same order, so that they make a table.
  std::vector<std::pair<std::string, std::string>> valori;
  SourceLine sorgente;
};

// Every thing, stations in slot order first, then the cells in order.
std::vector<Thing> Things(const PageInput& input);

// One tunnel: consecutive cells with the same `montagna`.
struct Tunnel {
  int32_t da = 0, a = 0;  // metres
  int32_t montagna = 0;
};
std::vector<Tunnel> Tunnels(const CompiledScenario& scenario);

// One restriction: its start cell, its end cell (the first after it) and
// its warning board, when there is one.
struct Restriction {
  int32_t inizio = 0, fine = -1, avviso = -1;  // cells; -1: none
  int32_t velocita = 0;
};
std::vector<Restriction> Restrictions(const CompiledScenario& scenario);

// "1:55:00"; "" for 0.
std::string TimeOfDay(int32_t orario);
// "km 12,345".
std::string KmText(int32_t metres);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_PAGE_THINGS_H_
