// The train-run source reader: the second half of memorizza_dati.
#include <cmath>
#include <cstdint>
#include <limits>

#include "model/cells.h"
#include "model/problems.h"
#include "model/slots.h"
#include "model/text_encoding.h"
#include "model/track_model.h"
#include "reader/field_reader.h"
#include "reader/reader_internal.h"
#include "reader/source_checker.h"
#include "reader/source_format.h"

namespace scenario {
TrackModel::ReadOutcome TrackModel::ReadTrainSource(FieldReader* in, SourceChecker* check) {
  record_ = SourceLocation{SourceLocation::File::kTrain, 0};
  while (!in->AtEnd()) {
    READ_OR_FAULT(in->ReadText(&campo));
    if (ContainsNoCase(campo, "[generale]")) {
      check->FoundGenerale();
      break;
    }
  }
  int32_t speed_cursor = 0, carried_speed = 0;
  int32_t adhesion_cursor = 0, carried_adhesion = 0;
  int32_t station = kVocePrimaStazione;  // the next station's slot and number
  // The records that gave the carried speed and the station before, for
  // the reports.
  SourceLocation speed_record, previous_station;
  // The carried speed fits no cell.
  auto speed_fault = [&] {
    FaultCause cause = ValueFault("velocita", carried_speed, -2, 1277);
    cause.record = speed_record;
    cause.field = speed_record;
    return ReadFault(std::move(cause));
  };
  auto adhesion_fault = [&] {
    return ReadFault(
        MakeFault(FaultCause::Kind::kCursor, "aderenza", ultima_cella, adhesion_cursor));
  };

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
    check->Keyword(campo, record_);
    const std::string keyword = Cp1252ToLower(campo);
    // Tests `word` and tells the checker which record it found.
    auto is = [&](const char* word, const RecordFormat& format) {
      if (!Has(keyword, word)) return false;
      check->Matched(format);
      return true;
    };
    // An error 15 ends the reading; the end processing still runs.
    auto beyond = [&](int32_t p, int32_t margin) {
      if (OnTrack(p, margin, ultima_cella)) return false;
      RecordProblemWith(kErrOltrePercorso, p, record_, TrackDetail(margin));
      return true;
    };

    if (Has(keyword, "frenata") && is("massa", formats::kFrenata)) {
      READ_OR_FAULT(in->ReadInt32(&tabella[kVoceTreno].inizio));
    }
    if (is("vetture", formats::kVetture)) {
      READ_OR_FAULT(in->ReadInt32(&tabella[kVoceTreno].posizione));
    }
    if (is("velocit", formats::kVelocita)) {
      int32_t p, s;
      READ_OR_FAULT(in->ReadInt32(&p));
      READ_OR_FAULT(in->ReadInt32(&s));
      if (beyond(p, 100)) break;
      const int64_t n = StartCell(p);
      if (n > 0) {
        do {
          if (speed_cursor >= ultima_cella) break;
          if (!SpeedFifth(carried_speed, &celle[speed_cursor].velocita)) return speed_fault();
          ++speed_cursor;
        } while (speed_cursor < n);
      }
      carried_speed = s;
      speed_record = record_;
    }
    if (is("aderenza", formats::kAderenza)) {
      int32_t p, a;
      READ_OR_FAULT(in->ReadInt32(&p));
      READ_OR_FAULT(in->ReadInt32(&a));
      if (beyond(p, 100)) break;
      const int64_t n = StartCell(p);
      if (n > 0) {
        do {
          if (!HasCell(adhesion_cursor)) return adhesion_fault();
          celle[adhesion_cursor].aderenza = static_cast<uint8_t>(carried_adhesion & 0xff);
          ++adhesion_cursor;
        } while (adhesion_cursor < n);
      }
      carried_adhesion = a;
    }
    if (is("orologio", formats::kOrologio)) {
      READ_OR_FAULT(in->ReadInt16(&tabella[kVoceCorsa].dato4));
      READ_OR_FAULT(in->ReadInt16(&tabella[kVoceCorsa].dato5));
      READ_OR_FAULT(in->ReadInt16(&tabella[kVoceCorsa].dato6));
    }
    if (is("sabbia", formats::kSabbia)) READ_OR_FAULT(in->ReadInt16(&tabella[kVoceCorsa].dato2));
    if (is("segnale", formats::kSegnale)) {
      int32_t v[11];
      for (int32_t& value : v) READ_OR_FAULT(in->ReadInt32(&value));
      if (beyond(v[0], 100)) break;
      READ_OR_FAULT(memo_segnale(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]));
      // A problem recorded before the signal (a line record past the end)
      // stops the reading here as well, but stays the problem it was.
      if (cod_errore > 0 && !conflict_code_) return StopForEarlierProblem(v[0]);
      if (cod_errore > 0) return stop(cod_errore, true, v[0]);
    }
    if (is("rallentamento", formats::kRallentamento)) {
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
      if (cod_errore > 0 && !conflict_code_) return StopForEarlierProblem(x);
      if (cod_errore > 0) return stop(cod_errore, true, x);
    }
    if (is("abbattimento", formats::kAbbattimento)) {
      int32_t p, w;
      READ_OR_FAULT(in->ReadInt32(&p));
      READ_OR_FAULT(in->ReadInt32(&w));
      if (beyond(p, 100)) break;
      const int64_t i = StartCell(p);
      if (!HasCell(i)) return ReadFault(CellFault("posizione", i, ultima_cella));
      if (!IsFree(celle[i])) {
        RecordProblem(kErrAbbattimento, p, record_, {i});
        return ReadOutcome::kStop;
      }
      if (w > 0) {
        if (w > std::numeric_limits<int16_t>::max()) {
          return ReadFault(ValueFault("valore", w, std::numeric_limits<int32_t>::min(),
                                      std::numeric_limits<int16_t>::max()));
        }
        celle[i].tipo = kTipoCodice;
        celle[i].valore = static_cast<int16_t>(w);
      } else {
        celle[i].tipo = kTipoAbbattimento;
      }
      Placed(i, record_);
    }
    if (is("stazione", formats::kStazione)) {
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
      if (orario < std::numeric_limits<int32_t>::min() ||
          orario > std::numeric_limits<int32_t>::max()) {
        return ReadFault(ValueFault("ore", orario, std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max()));
      }
      s.orario = static_cast<int32_t>(orario);
      READ_OR_FAULT(in->ReadText(&s.nome));
      if (s.nome.size() > 0xffff) return ReadFault(TextFault("nome", s.nome.size()));
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
      if (inizio < std::numeric_limits<int32_t>::min() ||
          fine > std::numeric_limits<int32_t>::max()) {
        return ReadFault(
            ValueFault("lunghezza", lunghezza, 0, std::numeric_limits<int32_t>::max()));
      }
      s.inizio = static_cast<int32_t>(inizio);
      s.fine = static_cast<int32_t>(fine);
      if (lunghezza < 600) s.dato10 = 0;
      if (station == 1) {
        s.dato10 = 0;
        s.dato9 = 0;
      }
      const int64_t e = StationCell(s.fine);  // the station cell
      if (HasStationMarkers(s.tipo)) {
        for (int j = 1; j <= 4; ++j) {
          const int64_t i = e - j;
          if (i > 1) {
            if (!HasCell(i)) return ReadFault(CellFault("lunghezza", i, ultima_cella));
            if (celle[i].preavviso != 0) Notify(Overwrite::kAdvanceCode, i);
            celle[i].preavviso = static_cast<uint8_t>(kPreavvisoStazione + j);
            AdvanceCodePlaced(i, e, kTipoStazione);
          }
        }
      }
      if (IsHalt(s.tipo)) {
        if (e <= 1) return stop(kErrStazioneInizio, false, 0);
        if (!HasCell(e)) return ReadFault(CellFault("lunghezza", e, ultima_cella));
        if (!IsFree(celle[e])) Notify(Overwrite::kStationCell, e);
        celle[e].tipo = kTipoStazione;
        celle[e].valore = static_cast<int16_t>(station);
        Placed(e, record_);
      }
      if (station > 1 && static_cast<int64_t>(s.inizio) - 350 < tabella[station - 1].fine) {
        ProblemEvent detail;
        detail.earlier_slot = station - 1;
        detail.earlier_nome = tabella[station - 1].nome;
        detail.earlier_record = previous_station;
        detail.earlier_fine = tabella[station - 1].fine;
        detail.inizio = s.inizio;
        RecordProblemWith(kErrStazioniVicine, p, record_, std::move(detail));
        return ReadOutcome::kStop;
      }
      previous_station = record_;
      ++station;
      if (station >= voce_cartello) return stop(kErrStazioniTroppe, false, 0);
    }
  }

  // End processing: the carried speed and adhesion run to the end of the
  // track, and the progressive ranges are checked.
  do {
    if (!HasCell(speed_cursor)) {
      return ReadFault(
          MakeFault(FaultCause::Kind::kCursor, "velocita", ultima_cella, speed_cursor));
    }
    if (!SpeedFifth(carried_speed, &celle[speed_cursor].velocita)) return speed_fault();
    ++speed_cursor;
  } while (speed_cursor < ultima_cella - 2);
  do {
    if (!HasCell(adhesion_cursor)) return adhesion_fault();
    celle[adhesion_cursor].aderenza = static_cast<uint8_t>(carried_adhesion & 0xff);
    ++adhesion_cursor;
  } while (adhesion_cursor < ultima_cella - 2);
  for (int slot = kVoceProgressive; slot < kVoceProgressive + kProgressive; ++slot) {
    if (tabella[slot].inizio % 50 != 0 || tabella[slot].fine % 50 != 0) {
      RecordProblem(kErrProgressiva, progressive_records_[slot - kVoceProgressive]);
    }
  }
  return ReadOutcome::kDone;
}

#undef READ_OR_FAULT

}  // namespace scenario
