#include "bench/limit_scenario.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

namespace scenario {
namespace {

constexpr int kRouteLength = 1000000;  // the longest route the model takes
constexpr int kBlocks = 200;
constexpr int kBlockMetres = 5000;
constexpr int kBlockCells = kBlockMetres / 50;
constexpr int kTextBoards = 12;
// Stations and text boards share slots 1 to 79: at most 78 together.
constexpr int kStations = 78 - kTextBoards;
constexpr int kStationEvery = 3;  // blocks
constexpr int kMaxTunnels = 80;   // the tunnel lists hold 80 ranges

// Cells of the block skeleton (see the header).
constexpr int kCodeCell = 10;
constexpr int kFirstSignalCell = 20;
constexpr int kRestrictionStartCell = 54;
constexpr int kIndicatorCell = 40;
constexpr int kTextBoardCell = 45;
constexpr int kSecondSignalCell = 84;
constexpr int kStationCell = 95;  // the station's own position

// Signals, restrictions and boards go to cell round(p / 50 + 1).
int PlacedAt(int block, int cell) { return (block * kBlockCells + cell - 1) * 50; }
// Gradients, speeds, tunnels and code cells start at cell round(p / 50).
int StartsAt(int block, int cell) { return (block * kBlockCells + cell) * 50; }

#if defined(__GNUC__)
#define SCENARIO_PRINTF_LIKE __attribute__((format(printf, 2, 3)))
#else
#define SCENARIO_PRINTF_LIKE
#endif

// The lines of one source file, each ended by CR LF.
class Lines {
 public:
  void Add(const char* format, ...) SCENARIO_PRINTF_LIKE {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    text_ += line;
    text_ += "\r\n";
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// Invented station names: three syllables, one from each list. The first two
// are the base-8 digits of the station number, so no two of the first 64
// stations share a name; the third tells 64 and 65 from 0 and 1.
std::string StationName(int k) {
  static const char* const kFirst[] = {"BRI", "ZO", "TAL", "QUE", "VIR", "DOL", "FES", "GAR"};
  static const char* const kSecond[] = {"MA", "LU", "CE", "NO", "RI", "PA", "SO", "VE"};
  static const char* const kThird[] = {"NZA", "RTO", "LLA", "SCO", "VIA", "GNO", "DRA", "MBE"};
  std::string name = kFirst[k % 8];
  name += kSecond[(k / 8) % 8];
  name += kThird[(k / 64 * 4 + k * 3) % 8];
  if (k % 5 == 2)
    name += " C.LE";
  else if (k % 7 == 3)
    name += " SCALO";
  return name;
}

bool HasTunnel(int block) { return block % 5 == 0 || block % 5 == 2; }
bool HasTextBoard(int block) { return block % 16 == 8; }
bool HasStation(int block) {
  return block % kStationEvery == 0 && block / kStationEvery < kStations;
}

std::string LineSource(LimitCounts* counts) {
  Lines out;
  out.Add("[generale]");
  out.Add("lunghezza percorso,    %d", kRouteLength);
  counts->route_length = kRouteLength;
  out.Add("progressiva chilometrica uno,    0,    600000,    1");
  out.Add("progressiva chilometrica due,    600000,    1000000,    1");
  out.Add("progressiva chilometrica tre,    0,    0,    0");
  out.Add("sfondo uno,    0");
  out.Add("sfondo due,    1");
  out.Add("sfondo tre,    0");
  out.Add("ripetizione segnali 4 codici,    900,    999500");

  // Two curves a block, every radius, both hands; the last ends at metre
  // 998400, short of the 1000000 a curve may reach.
  out.Add("[curve]");
  for (int b = 0; b < kBlocks; ++b) {
    const int first_start = b * kBlockMetres + 600;
    const int second_start = b * kBlockMetres + 2800;
    out.Add("curva%c%d,  %d,  %d", b % 2 ? 's' : 'd', 1 + (2 * b) % 6, first_start,
            300 + 100 * (b % 6));
    out.Add("curva%c%d,  %d,  %d", b % 2 ? 'd' : 's', 1 + (2 * b + 1) % 6, second_start,
            400 + 100 * (b % 5));
    counts->curves += 2;
  }

  out.Add("[pendenze]");
  for (int b = 0; b < kBlocks; ++b) {
    for (int k = 0; k < 4; ++k) {
      out.Add("pendenza,  %d,   %d", b * kBlockMetres + 1250 * k, (b * 7 + k * 3) % 25 - 12);
      ++counts->gradients;
    }
  }

  // 80 ranges, the most the tunnel lists hold; most with markers (type 12).
  out.Add("[montagne]");
  for (int b = 0; b < kBlocks && counts->tunnels < kMaxTunnels; ++b) {
    if (!HasTunnel(b)) continue;
    const int start = b * kBlockMetres + 1000 + 50 * (b % 7);
    const int length = 1500 + 250 * (b % 9);
    out.Add("montagna,   %d,  %d,  %d", start, start + length, b % 4 == 3 ? 2 : 12);
    ++counts->tunnels;
  }

  out.Add("[cartelli]");
  for (int b = 1; b < kBlocks; b += 2) {
    const int s = 100 + 10 * (b % 7);
    if (b % 3 == 0) {
      out.Add("indicatori_vmax,  %d,  %d,  %d,  %d,  %d,  ,  ,  ,  0", PlacedAt(b, kIndicatorCell),
              s, s + 10, s + 20, b % 3);
    } else {
      out.Add("indicatori_vmax,  %d,  %d,  %d,  %d,  %d,  %d,  %d,  %d,  %d",
              PlacedAt(b, kIndicatorCell), s, s + 10, s + 20, b % 3, s, s + 10, s + 20, b % 3);
    }
    ++counts->indicator_boards;
  }

  out.Add("[indicazioni]");
  for (int b = 0; b < kBlocks; ++b) {
    if (!HasTextBoard(b)) continue;
    const int p = PlacedAt(b, kTextBoardCell);
    if (counts->text_boards % 3 == 0) {
      out.Add("cartello_indicatore,  %d,   ( GALLERIA)( M. %s)(KM. %d+%03d)", p,
              StationName(b + 3).c_str(), p / 1000, p % 1000);
    } else if (counts->text_boards % 3 == 1) {
      out.Add("cartello_indicatore,  %d,   ( P.L.)(%d+%03d)", p, p / 1000, p % 1000);
    } else {
      out.Add("cartello_indicatore,  %d,   (COD)", p);
    }
    ++counts->text_boards;
  }
  out.Add("[fine]");
  return out.Take();
}

std::string TrainSource(LimitCounts* counts) {
  Lines out;
  out.Add("[generale]");
  out.Add("numero vetture,    12");
  out.Add("percentuale massa frenata,    130");
  out.Add("sabbia,    250");
  out.Add("orologio,    5               40            0 ");

  out.Add("[aderenze]");
  for (int b = 0; b < kBlocks; b += 20) {
    out.Add("aderenza,   %d,    %d", StartsAt(b, 0), b % 40 ? 90 : 100);
    ++counts->adhesion_changes;
  }

  out.Add("[vel_limite]");
  out.Add("velocita,   0,    30");
  ++counts->speed_changes;
  for (int b = 0; b < kBlocks; ++b) {
    out.Add("velocita,   %d,    %d", StartsAt(b, 20), 80 + 10 * ((b * 3) % 13));
    ++counts->speed_changes;
  }

  // Station types in turn: ordinary ones (2, 12, 22) with markers and a
  // station cell, 5 and 7 with their own zones, 25 and above with no cell.
  out.Add("[stazioni]");
  static const int kTypes[] = {12, 2, 22, 25, 12, 26, 7, 28, 12, 5};
  int seconds = 5 * 3600 + 40 * 60;
  for (int b = 0; b < kBlocks; ++b) {
    if (!HasStation(b)) continue;
    const int k = counts->stations;
    const int type = kTypes[k % 10];
    int length = 400;
    if (type == 2) length = 600;
    if (type == 25) length = 200;
    if (type == 5 || type == 26) length = 300;
    const int lengthen = type == 22 ? 1 : 0;  // the zone grows by 50 m
    out.Add("stazione,   %d, %2d,  %d,  %d, %d, %d,  %d,%d,%d,  %d,%d,%d,  %3d,  %2d,%2d,%2d, %s",
            StartsAt(b, kStationCell), type, length, type < 25 ? 1 : 0, length >= 600 ? 1 : 0,
            lengthen, 1 + k % 4, 1, 0, 2, 1, 1, k % 4 == 1 ? 60 : 0, seconds / 3600,
            seconds / 60 % 60, seconds % 60, StationName(k).c_str());
    seconds += 330 + 15 * (k % 5);
    ++counts->stations;
  }

  // One restriction a block, slow (inner codes) and fast in turn.
  out.Add("[rallentamenti]");
  for (int b = 0; b < kBlocks; ++b) {
    const bool slow = b % 2 == 0;
    const int v = slow ? 30 + 10 * (b % 8) : 110 + 10 * (b % 5);
    out.Add("rallentamento,   %d,   %d,   %d,   %d,   1,   %d", PlacedAt(b, kRestrictionStartCell),
            v, 400 + 200 * (b % 4), b % 3 == 0 ? 1 : 0, b % 4 == 0 ? v : 0);
    ++counts->restrictions;
  }

  // Two signals a block: one ahead of the restriction's warning board, one
  // after its end.
  out.Add("[segnali]");
  for (int b = 0; b < kBlocks; ++b) {
    out.Add("segnale,   %d,   1, 4, %d,  0, 0,    %d,  %d,%d,0, 0", PlacedAt(b, kFirstSignalCell),
            b % 2, b % 2, b % 2 ? 3 : 0, b % 2);
    out.Add("segnale,   %d,   2, 3, 1,  0, 0,    2,  2,1,0, %d", PlacedAt(b, kSecondSignalCell),
            b % 9 == 4 ? 220 : 0);
    counts->signals += 2;
  }

  out.Add("[codici]");
  for (int b = 0; b < kBlocks; b += 4) {
    out.Add("abbattimento,   %d,   %d", StartsAt(b, kCodeCell), b % 8 ? 0 : 120);
    ++counts->code_cells;
  }
  out.Add("[fine]");
  return out.Take();
}

}  // namespace

LimitCounts LimitScenarioCounts() {
  LimitCounts counts;
  LineSource(&counts);
  TrainSource(&counts);
  return counts;
}

std::string LimitLineSource() {
  LimitCounts counts;
  return LineSource(&counts);
}

std::string LimitTrainSource() {
  LimitCounts counts;
  return TrainSource(&counts);
}

}  // namespace scenario
