// The train-run source reader: the second half of memorizza_dati.
#include <cmath>
#include <cstdint>
#include <limits>

#include "model/cells.h"
#include "model/problems.h"
#include "model/text_encoding.h"
#include "model/track_model.h"
#include "reader/field_reader.h"
#include "reader/reader_internal.h"

namespace scenario {
TrackModel::ReadOutcome TrackModel::ReadTrainSource(FieldReader* in) {
  record_ = SourceLocation{SourceLocation::File::kTrain, 0};
  while (!in->AtEnd()) {
    READ_OR_FAULT(in->ReadText(&campo));
    if (ContainsNoCase(campo, "[generale]")) break;
  }
  int32_t speed_cursor = 0, carried_speed = 0;
  int32_t adhesion_cursor = 0, carried_adhesion = 0;
  int32_t station = 1;  // the next station's slot and number

  auto stop = [&](int32_t code, bool with_position, int32_t position) {
    if (with_position) {
      RecordProblem(code, position, record_);
    } else {
      RecordProblem(code, record_);
    }
    return ReadOutcome::kStop;
  };

  for (;;) {
    if (in->AtEnd()) break;
    READ_OR_FAULT(in->ReadText(&campo));
    if (in->AtEnd()) break;
    if (Has(campo, "-")) {
      READ_OR_FAULT(in->ReadText(&campo));
      if (in->AtEnd()) break;
      if (Has(campo, "-")) {
        READ_OR_FAULT(in->ReadText(&campo));
        if (in->AtEnd()) break;
      }
    }
    record_.offset = in->field_offset();
    const std::string keyword = Cp1252ToLower(campo);
    auto is = [&](const char* word) { return Has(keyword, word); };
    // An error 15 ends the reading; the end processing still runs.
    auto beyond = [&](int32_t p, int32_t margin) {
      if (OnTrack(p, margin, ultima_cella)) return false;
      RecordProblem(kErrOltrePercorso, p, record_);
      return true;
    };

    if (is("frenata") && is("massa")) READ_OR_FAULT(in->ReadInt32(&tabella[84].inizio));
    if (is("vetture")) READ_OR_FAULT(in->ReadInt32(&tabella[84].posizione));
    if (is("velocit")) {
      int32_t p, s;
      READ_OR_FAULT(in->ReadInt32(&p));
      READ_OR_FAULT(in->ReadInt32(&s));
      if (beyond(p, 100)) break;
      const int64_t n = StartCell(p);
      if (n > 0) {
        do {
          if (speed_cursor >= ultima_cella) break;
          READ_OR_FAULT(SpeedFifth(carried_speed, &celle[speed_cursor].velocita));
          ++speed_cursor;
        } while (speed_cursor < n);
      }
      carried_speed = s;
    }
    if (is("aderenza")) {
      int32_t p, a;
      READ_OR_FAULT(in->ReadInt32(&p));
      READ_OR_FAULT(in->ReadInt32(&a));
      if (beyond(p, 100)) break;
      const int64_t n = StartCell(p);
      if (n > 0) {
        do {
          READ_OR_FAULT(HasCell(adhesion_cursor));
          celle[adhesion_cursor].aderenza = static_cast<uint8_t>(carried_adhesion & 0xff);
          ++adhesion_cursor;
        } while (adhesion_cursor < n);
      }
      carried_adhesion = a;
    }
    if (is("orologio")) {
      READ_OR_FAULT(in->ReadInt16(&tabella[86].dato4));
      READ_OR_FAULT(in->ReadInt16(&tabella[86].dato5));
      READ_OR_FAULT(in->ReadInt16(&tabella[86].dato6));
    }
    if (is("sabbia")) READ_OR_FAULT(in->ReadInt16(&tabella[86].dato2));
    if (is("segnale")) {
      int32_t v[11];
      for (int32_t& value : v) READ_OR_FAULT(in->ReadInt32(&value));
      if (beyond(v[0], 100)) break;
      READ_OR_FAULT(memo_segnale(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]));
      if (cod_errore > 0) return stop(cod_errore, true, v[0]);
    }
    if (is("rallentamento")) {
      int32_t x, v, l, f_tt, f_ta, d_v;
      for (int32_t* value : {&x, &v, &l, &f_tt, &f_ta, &d_v}) READ_OR_FAULT(in->ReadInt32(value));
      if (beyond(x, 100)) break;
      // An end cell off the track places nothing and ends the reading like
      // any position beyond the track.
      if (!HasCell(PlacementCell(static_cast<double>(x) + l))) {
        RecordProblem(kErrOltrePercorso, x, record_);
        break;
      }
      READ_OR_FAULT(memo_rallentamento(x, v, l, f_tt, f_ta, d_v));
      if (cod_errore > 0) return stop(cod_errore, true, x);
    }
    if (is("abbattimento")) {
      int32_t p, w;
      READ_OR_FAULT(in->ReadInt32(&p));
      READ_OR_FAULT(in->ReadInt32(&w));
      if (beyond(p, 100)) break;
      const int64_t i = StartCell(p);
      READ_OR_FAULT(HasCell(i));
      if (!IsFree(celle[i])) {
        RecordProblem(kErrAbbattimento, p, record_, {i});
        return ReadOutcome::kStop;
      }
      if (w > 0) {
        READ_OR_FAULT(w <= std::numeric_limits<int16_t>::max());
        celle[i].tipo = kTipoCodice;
        celle[i].valore = static_cast<int16_t>(w);
      } else {
        celle[i].tipo = kTipoAbbattimento;
      }
      Placed(i, record_);
    }
    if (is("stazione")) {
      voce& s = tabella[station];
      READ_OR_FAULT(in->ReadInt32(&s.posizione));
      const int32_t p = s.posizione;
      if (beyond(p, 800)) break;
      if (p % 50 != 0) return stop(kErrStazionePosizione, true, p);
      int32_t lunghezza;
      READ_OR_FAULT(in->ReadUint8(&s.tipo));
      READ_OR_FAULT(in->ReadInt32(&lunghezza));
      if (lunghezza % 100 != 0) return stop(kErrStazioneLunghezza, true, p);
      READ_OR_FAULT(in->ReadUint8(&s.dato1));
      READ_OR_FAULT(in->ReadUint8(&s.dato10));
      READ_OR_FAULT(in->ReadUint8(&s.dato9));
      READ_OR_FAULT(in->ReadInt16(&s.dato2));
      READ_OR_FAULT(in->ReadInt16(&s.dato3));
      READ_OR_FAULT(in->ReadUint8(&s.dato7));
      READ_OR_FAULT(in->ReadInt16(&s.dato4));
      READ_OR_FAULT(in->ReadInt16(&s.dato5));
      READ_OR_FAULT(in->ReadInt16(&s.dato6));
      READ_OR_FAULT(in->ReadUint8(&s.dato8));
      int32_t ore, minuti, secondi;
      READ_OR_FAULT(in->ReadInt32(&ore));
      READ_OR_FAULT(in->ReadInt32(&minuti));
      READ_OR_FAULT(in->ReadInt32(&secondi));
      const int64_t orario = (int64_t{ore} * 60 + minuti) * 60 + secondi;
      READ_OR_FAULT(orario >= std::numeric_limits<int32_t>::min() &&
                    orario <= std::numeric_limits<int32_t>::max());
      s.orario = static_cast<int32_t>(orario);
      READ_OR_FAULT(in->ReadText(&s.nome));
      READ_OR_FAULT(s.nome.size() <= 0xffff);
      SlotFilled(station);

      // The zone; lengths and positions are whole metres, so the halves are
      // exact for the lengths that pass the test above.
      const int64_t half = lunghezza / 2;
      int64_t inizio, fine;
      if (s.tipo == 5 || s.tipo == 6) {
        inizio = int64_t{p} - lunghezza;
        fine = int64_t{p} + 150;
        s.dato9 = 0;
      } else if (s.tipo == 7 || s.tipo == 8) {
        inizio = int64_t{p} - lunghezza;
        fine = int64_t{p} + lunghezza;
        s.dato9 = 0;
      } else {
        inizio = p - half;
        fine = p + half + (s.dato9 != 0 ? 50 : 0);
      }
      READ_OR_FAULT(inizio >= std::numeric_limits<int32_t>::min() &&
                    fine <= std::numeric_limits<int32_t>::max());
      s.inizio = static_cast<int32_t>(inizio);
      s.fine = static_cast<int32_t>(fine);
      if (lunghezza < 600) s.dato10 = 0;
      if (station == 1) {
        s.dato10 = 0;
        s.dato9 = 0;
      }
      const int64_t e = StationCell(s.fine);  // the station cell
      if (s.tipo < 25 && s.tipo != 5 && s.tipo != 6) {
        for (int j = 1; j <= 4; ++j) {
          const int64_t i = e - j;
          if (i > 1) {
            READ_OR_FAULT(HasCell(i));
            if (celle[i].preavviso != 0) Notify(Overwrite::kAdvanceCode, i);
            celle[i].preavviso = static_cast<uint8_t>(80 + j);
            AdvanceCodePlaced(i, e, kTipoStazione);
          }
        }
      }
      if (s.tipo < 25) {
        if (e <= 1) return stop(kErrStazioneInizio, false, 0);
        READ_OR_FAULT(HasCell(e));
        if (!IsFree(celle[e])) Notify(Overwrite::kStationCell, e);
        celle[e].tipo = kTipoStazione;
        celle[e].valore = static_cast<int16_t>(station);
        Placed(e, record_);
      }
      if (station > 1 && static_cast<int64_t>(s.inizio) - 350 < tabella[station - 1].fine) {
        return stop(kErrStazioniVicine, true, p);
      }
      ++station;
      if (station >= voce_cartello) return stop(kErrStazioniTroppe, false, 0);
    }
  }

  // End processing: the carried speed and adhesion run to the end of the
  // track, and the progressive ranges are checked.
  do {
    READ_OR_FAULT(HasCell(speed_cursor));
    READ_OR_FAULT(SpeedFifth(carried_speed, &celle[speed_cursor].velocita));
    ++speed_cursor;
  } while (speed_cursor < ultima_cella - 2);
  do {
    READ_OR_FAULT(HasCell(adhesion_cursor));
    celle[adhesion_cursor].aderenza = static_cast<uint8_t>(carried_adhesion & 0xff);
    ++adhesion_cursor;
  } while (adhesion_cursor < ultima_cella - 2);
  for (int slot = 81; slot <= 83; ++slot) {
    if (tabella[slot].inizio % 50 != 0 || tabella[slot].fine % 50 != 0) {
      RecordProblem(kErrProgressiva, progressive_records_[slot - 81]);
    }
  }
  return ReadOutcome::kDone;
}

#undef READ_OR_FAULT

}  // namespace scenario
