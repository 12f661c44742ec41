#include "model/problems.h"

namespace scenario {

const char* ProblemText(int32_t code) {
  switch (code) {
    case kErrLunghezza: return "lunghezza del percorso oltre 1000000 m";
    case kErrProgressiva: return "progressiva chilometrica con inizio o fine non multiplo di 50";
    case kErrRipetizioneInizio: return "inizio della ripetizione segnali non multiplo di 50";
    case kErrRipetizioneFine: return "fine della ripetizione segnali non multiplo di 50";
    case kErrRipetizioneCodici: return "ripetizione segnali senza \"4\" ne' \"9\"";
    case kErrCartello: return "cella del cartello gia' occupata";
    case kErrAbbattimento: return "cella dell'abbattimento gia' occupata";
    case kErrStazionePosizione: return "posizione della stazione non multipla di 50";
    case kErrStazioneLunghezza: return "lunghezza della stazione non multipla di 100";
    case kErrStazioniTroppe: return "le stazioni raggiungono le voci dei cartelli";
    case kErrCodiceSegnale: return "nessun posto per il codice davanti al segnale prima dell'avviso";
    case kErrCodiceGuardia: return "nessuna cella libera per un codice prima dell'inizio rallentamento";
    case kErrCodiceInterno: return "nessuna cella libera per un codice del rallentamento o dopo di esso";
    case kErrOltrePercorso: return "posizione oltre la fine del percorso";
    case kErrSegnale: return "cella del segnale gia' occupata";
    case kErrAvvisoRall: return "cella dell'avviso di rallentamento gia' occupata";
    case kErrInizioRall: return "cella di inizio rallentamento gia' occupata";
    case kErrFineRall: return "cella di fine rallentamento gia' occupata";
    case kErrZonaRall: return "cella della zona di preavviso del rallentamento gia' occupata";
    case kErrIndicatore: return "cella dell'indicatore di velocita' massima gia' occupata";
    case kErrStazioniVicine: return "zona della stazione a meno di 350 m dalla precedente";
    case kErrStazioneInizio: return "cella della stazione alla cella 1 o prima";
    case kErrLettura: return "errore di lettura delle sorgenti";
    case kErrManca: return "file della linea mancante";
    case kErrGenerale: return "il file della linea finisce prima di \"[generale]\"";
    case kErrCurva: return "curva senza cifra di curvatura valida o tracciato oltre il metro 1000000";
    case kErrMarche: return "posti riservati dei contrassegni gia' usati";
    case kErrCodici: return "posti riservati dei codici di controllo gia' usati";
    default: return "";
  }
}

bool ProblemHasPosition(int32_t code) {
  switch (code) {
    case kErrCartello: case kErrAbbattimento: case kErrStazionePosizione:
    case kErrStazioneLunghezza: case kErrCodiceSegnale: case kErrCodiceGuardia:
    case kErrCodiceInterno: case kErrOltrePercorso: case kErrSegnale: case kErrAvvisoRall:
    case kErrInizioRall: case kErrFineRall: case kErrZonaRall: case kErrIndicatore:
    case kErrStazioniVicine:
      return true;
    default:
      return false;
  }
}

}  // namespace scenario
