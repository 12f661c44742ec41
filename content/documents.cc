// The three driver documents of the built-in scenario: the notes, the
// slow-down order form (no restriction on this run) and the train card of the
// 631. The card's stations are those of the train run, with the kilometre
// posts of the line, falling towards LASTRIO PORTA SOLIA.
#include "content/builtin.h"

namespace scenario {

// Rows are kept whole, one source line each.
// clang-format off
const std::vector<std::string>& NoteLines() {
  static const std::vector<std::string> kLines = {
      "Autore Ivo Pertegato, e-mail  ivo@example.org",
      "",
      "Questo treno riproduce una corsa notturna come me l'ha raccontata un macchinista che",
      "la faceva davvero; lo offro con un grazie al simulatore di Oreste Varzani.",
      "Di solito il treno era trainato da una locomotiva del gruppo E.683, ma nel simulatore",
      "si usa invece una E.671, per motivi tecnici.",
      "La corsa ha l'orario del treno lungo, come nella realtà, perciò non si deve rallentare ",
      "ma correre alla velocità massima consentita dalla linea, fino a quando il ",
      "D.C.O. non interviene per regolare l'orario.",
      "Il treno è il rientro del personale del deposito di Lastrio dopo un treno in senso opposto.",
      "Tutti e due i treni sono presi dal libro orario dell'anno 1987.",
      "Buona guida.",
  };
  return kLines;
}

const std::vector<std::string>& RallentamentiLines() {
  static const std::vector<std::string> kLines = [] {
    // The table's rule and its empty row, 82 characters each.
    const std::string rule =
        " |___|____________________________|____________|__________|_________|____________|";
    const std::string empty_row =
        " |   |                            |            |          |         |            |";
    std::vector<std::string> lines = {
        "",
        "                               Modulo M. 3",
        "                           ORDINE DI RALLENTAMENTO",
        " ________________________________________________________________________________",
        "  Linea  CORVENA C.LE - LASTRIO P. SOLIA",
        "",
        "  Si ordina al macchinista del treno  631 di effettuare i seguenti rallentamenti",
        "  _______________________________________________________________________________",
        " |   |                            |Inizio dopo |          |         |            |",
        " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
        " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
        rule,
        " |   |   NESSUNA PRESCRIZIONE     |            |          |         |            |",
    };
    lines.insert(lines.end(), 25, empty_row);
    lines.insert(lines.end(), {
        rule,
        "",
        "              Prescrizioni specifiche",
        " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
        " B - Interessa anche la stazione di.......",
        " D - Rallentamneto N. ... e N. ...  sono contigui",
        " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
        "     i giorni esclusi i seguenti:.........",
    });
    return lines;
  }();
  return kLines;
}

const std::vector<std::string>& SchedaLines() {
  static const std::vector<std::string> kLines = {
      "",
      "",
      "  ___________________                                               ______________",
      " |                   |                       SCHEDA                |              |",
      " |   TRENO n. 631    |                   da: CORVENA C.LE          |    V 160 B   |",
      " |___________________|                    a: LASTRIO P.SOLIA       |      125%    |",
      "                                                                   |______________|",
      "  ___________________                ___________________",
      " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
      " |     ESPRESSO      |              |      900 T        |",
      " |___________________|              |___________________|",
      "",
      "  ________________________________________________________________________________",
      " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
      " | Lim.|Marc.|          |  Rs |                            |                |     |",
      " |_____|_____|__________|_____|____________________________|________________|_____|",
      " |  65 |     |   96.900 |     |CORVENA C.LE                | 1.55           |     |",
      " | 135 |     |   95.550 |     | deviatoio uscita           |                |     |",
      " |     |     |   93.500 |     | bivio Talmeri              |       2.01     |     |",
      " |     |     |   90.500 |     |ROVESCALE                   |       2.03     |     |",
      " |     |     |   85.100 |     | P 107                      |                |     |",
      " |     |     |   80.300 |     |FONTEGRANA                  |       2.11     |     |",
      " | 160 |     |   79.000 |     | cippo km 79.000            |                |     |",
      " |     |     |   75.950 |     | P 111                      |                |     |",
      " | 135 |     |   72.600 |     | uscita gall. M. Solco      |                |     |",
      " |     |     |   71.350 |     |SERRAVOLTA                  |       2.18     |     |",
      " |     |     |   66.600 |     | P 115                      |                |     |",
      " | 160 |     |   61.400 |     |CAMPOLIVO                   |       2.27     |     |",
      " | 135 |     |          |     | dev. I.                    |                |     |",
      " |     |     |   56.250 |     |PIEVE DI SAN VERANO         |       2.32     |     |",
      " |     |     |          |     |IN VAL CORBA                |                |     |",
      " | 160 |     |   55.750 |     | imbocco gall. Scogliera    |                |     |",
      " |     |     |   51.250 |     | P 121                      |                |     |",
      " |     |     |   46.850 |     | P.C. Scogliera             |       2.41     |     |",
      " |     |     |   46.950 |     | P 125                      |                |     |",
      " | 115 |     |   35.250 |     | uscita gall. Scogliera     |                |     |",
      " |     |     |   36.800 |     |ROCCA D'ALTERNO -           |       2.50     |     |",
      " |     |     |          |     |SANTA FLAVIA                |                |     |",
      " |     |     |   31.750 |     | p 129                      |                |     |",
      " |     |     |   26.300 |     |VERZALE                     |       3.00     |     |",
      " |     |     |   21.400 |     | p 133                      |                |     |",
      " | 160 |     |   16.250 |     |TREBIOLA                    |       3.10     |     |",
      " |     |     |   14.250 |     | P 137                      |                |     |",
      " |     |     |   12.900 |     | P 139                      |                |     |",
      " |     |     |   11.550 |     | P 141                      |                |     |",
      " |     |     |   10.200 |     | P 143                      |                |     |",
      " | 150 |     |    9.050 |     | KM 9+050                   |                |     |",
      " |     |     |    8.000 |     |MARCENTO                    |       3.19     |     |",
      " | 115 |     |    5.600 |     | KM 5+600                   |                |     |",
      " |     |     |    5.200 |     |OSTELIO                     |       3.28     |     |",
      " |  75 |     |    4.850 |     |MIRANZO                     |       3.34     |     |",
      " |     |     |    2.750 |     |CORTEFOSCA                  |       3.37     |     |",
      " |     |     |        0 |     |LASTRIO PORTA SOLIA         |            3.42|     |",
      " |_____|_____|__________|_____|____________________________|________________|_____|",
      "",
      "",
      "",
      "                                         ",
      "",
  };
  return kLines;
}

// clang-format on

}  // namespace scenario
