// The train-run source of the built-in scenario: the night express 631 from
// CORVENA C.LE to LASTRIO PORTA SOLIA, 15 cars, one entry per line of the
// file (the last one empty).
//
// Signals stand in pairs, a distant signal (sx 1) 1350 m before its main
// signal (sx 2), up to VERZALE; from there on the stations come close
// together and carry main signals only. Every signal keeps its advance codes
// (the 400 m in front of it) clear of station markers and of other signals.
#include "content/builtin.h"

namespace scenario {

// Rows are kept whole, one source line each.
// clang-format off
const std::vector<std::string>& TrainSourceLines() {
  static const std::vector<std::string> kLines = {
      "[generale]",
      "numero vetture,    15",
      "percentuale massa frenata,    125",
      "sabbia,    300",
      "orologio,    1               53            0 ",
      "[aderenze]",
      "aderenza,   0,    100",
      "[vel_limite]",
      "velocita,   0,    30",
      "velocità,     750,    65",
      "velocita,    1350,   135",
      "velocita,   17900,   160",
      "velocita,   24300,   135",
      "velocita,   36000,   160",
      "velocita,   40050,   130",
      "velocita,   41100,   160",
      "velocita,   59600,   115",
      "velocita,   81850,   160",
      "velocita,   88850,   150",
      "velocita,   92500,   120",
      "velocita,   93200,    75",
      "velocita,   98350,    30",
      // stations: position, type, length, ten values, h, m, s, name
      "[stazioni]",
      "stazione,     200,  2,  600,  0, 0, 0,  1,1,0,  2,4,1,    1,   1,55, 0, CORVENA C.LE",
      "stazione,    3400, 25,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, BIVIO TALMERI",
      "stazione,    6400, 12,  400,  1, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, ROVESCALE",
      "stazione,   16400, 12,  400,  1, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, FONTEGRANA",
      "stazione,   25600, 12,  400,  1, 0, 0,  3,1,0,  2,1,1,    0,   0, 0, 0, SERRAVOLTA",
      "stazione,   35500, 22,  400,  2, 0, 1,  4,2,1,  3,2,1,    0,   0, 0, 0, CAMPOLIVO",
      "stazione,   40600, 12,  400,  1, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, PIEVE DI SAN VERANO IN VAL CORBA",
      "stazione,   50050, 26,  300,  0, 0, 0,  0,0,0,  1,0,0,    0,   0, 0, 0, P.C. SCOGLIERA",
      "stazione,   60400, 12,  400,  1, 0, 0,  3,1,0,  2,1,1,  160,   0, 0, 0, ROCCA D'ALTERNO - SANTA FLAVIA",
      "stazione,   70500, 28,  400,  0, 0, 0,  1,0,0,  1,0,0,    0,   0, 0, 0, P.M. GALVERA",
      "stazione,   80650, 12,  500,  1, 0, 0,  4,1,0,  2,1,1,   60,   3, 0, 0, VERZALE",
      "stazione,   84000, 12,  400,  1, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, TREBIOLA",
      "stazione,   87100, 12,  400,  1, 0, 0,  2,1,0,  2,1,1,   60,   3,20, 0, MARCENTO",
      "stazione,   89900, 12,  400,  1, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, OSTELIO",
      "stazione,   93600, 12,  400,  1, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, MIRANZO",
      "stazione,   96400, 12,  300,  1, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, CORTEFOSCA",
      "stazione,   99300, 12,  600,  1, 1, 0,  1,1,0,  2,1,1,    0,   3,42, 0, LASTRIO PORTA SOLIA",
      "[rallentamenti]",
      // signals: position, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo
      "[segnali]",
      "segnale,    1750,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,    3100,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,    4450,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
      "segnale,    5800,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
      "segnale,    9350,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   10700,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   13900,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
      "segnale,   15250,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
      "segnale,   18900,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   20250,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   23000,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
      "segnale,   24350,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
      "segnale,   28700,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   30050,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   32900,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
      "segnale,   34250,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
      "segnale,   38050,   1, 4, 3,  0, 0,    1,  3,1,0, 0",
      "segnale,   39400,   2, 3, 4,  1, 0,    2,  2,1,1, 0",
      "segnale,   44300,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   45650,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   48200,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
      "segnale,   49500,   2, 2, 1,  0, 0,    1,  2,1,0, 0",
      "segnale,   53800,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   55150,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   57650,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
      "segnale,   59000,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
      "segnale,   64300,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   65650,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   68550,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
      "segnale,   69950,   2, 2, 1,  0, 0,    1,  2,1,0, 0",
      "segnale,   74100,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   75450,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   78450,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
      "segnale,   79850,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
      "segnale,   81550,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   83300,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
      "segnale,   84750,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   86500,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
      "segnale,   89250,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
      "segnale,   90650,   2, 4, 3,  0, 0,    1,  1,0,0, 0",
      "segnale,   92900,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
      "segnale,   95750,   2, 3, 1,  0, 0,    2,  2,1,0, 220",
      "segnale,   98350,   2, 2, 3,  1, 0,    2,  2,1,1, 255",
      "[codici]",
      "[fine]",
      "",
  };
  return kLines;
}

// clang-format on

}  // namespace scenario
