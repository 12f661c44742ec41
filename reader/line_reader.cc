// The line source reader (first half of memorizza_dati) and the entry of
// memorizza_dati with its error trap.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

#include "model/cells.h"
#include "model/problems.h"
#include "model/slots.h"
#include "model/text_encoding.h"
#include "model/track_model.h"
#include "platform/file_system.h"
#include "reader/field_reader.h"
#include "reader/reader_internal.h"
#include "reader/source_checker.h"
#include "reader/source_format.h"

namespace scenario {
namespace {

// The last metre a curve record may compute: past it the record stops with
// error 103.
constexpr int64_t kLastCurveMetre = 1000000;

// The smallest curvature digit in the keyword wins, wherever it stands.
double CurvatureOf(const std::string& keyword) {
  static const struct {
    char digit;
    double curvatura;
  } kDigits[] = {{'1', 0.0001}, {'2', 0.0002}, {'3', 0.0004},
                 {'4', 0.001},  {'5', 0.002},  {'6', 0.003}};
  for (const auto& d : kDigits) {
    if (keyword.find(d.digit) != std::string::npos) return d.curvatura;
  }
  return 0;
}

}  // namespace

void TrackModel::memorizza_dati() {
  Utf8ToCp1252(linea, &tabella[kVoceLinea].nome);
  Utf8ToCp1252(treno, &tabella[kVoceCorsa].nome);
  record_ = SourceLocation{};
  progressive_records_ = {};
  const std::string line_path = FullName(LineSourceName());
  if (!fs_->Exists(line_path)) {
    RecordProblem(kErrManca,
                  SourceLocation{SourceLocation::File::kLine, SourceLocation::kWholeFile});
    return;
  }
  std::string bytes, err;
  ReadOutcome outcome = ReadOutcome::kFault;
  auto file_fault = [&] { return ReadFault(MakeFault(FaultCause::Kind::kFile, err)); };
  if (fs_->ReadFile(line_path, &bytes, &err)) {
    FieldReader in(std::move(bytes));
    SourceChecker check(observer, SourceLocation::File::kLine, &in);
    outcome = ReadLineSource(&in, &check);
    SourceRead(outcome, &in, &check);
  } else {
    outcome = file_fault();
  }
  // Once opened, the line source is deleted on every way out.
  if (outcome != ReadOutcome::kFault && !fs_->RemoveFile(line_path, &err)) {
    outcome = file_fault();
  }
  if (outcome == ReadOutcome::kDone) {
    const std::string train_path = FullName(TrainSourceName());
    if (fs_->ReadFile(train_path, &bytes, &err)) {
      FieldReader in(std::move(bytes));
      SourceChecker check(observer, SourceLocation::File::kTrain, &in);
      outcome = ReadTrainSource(&in, &check);
      SourceRead(outcome, &in, &check);
    } else {
      outcome = file_fault();
    }
    if (outcome != ReadOutcome::kFault && !fs_->RemoveFile(train_path, &err)) {
      outcome = file_fault();
    }
  }
  if (outcome == ReadOutcome::kFault) {
    // The error trap: both sources go, whatever half failed.
    for (const std::string& own : {LineSourceName(), TrainSourceName()}) {
      const std::string path = FullName(own);
      if (fs_->Exists(path)) fs_->RemoveFile(path, &err);
    }
    ProblemEvent detail;
    detail.fault = fault_;
    // A value that faulted after its record was read (a carried speed) is
    // blamed on the record that gave it.
    RecordProblemWith(kErrLettura, fault_.record.known() ? fault_.record : record_,
                      std::move(detail));
  }
}

void TrackModel::SourceRead(ReadOutcome outcome, FieldReader* in, SourceChecker* check) {
  if (outcome == ReadOutcome::kFault) {
    if (fault_.kind == FaultCause::Kind::kUnknown) fault_ = check->ReadFault();
    if (!fault_.field.known() && !fault_.name.empty())
      fault_.field = check->FieldNamed(fault_.name);
  }
  check->Finish(outcome == ReadOutcome::kDone && in->AtEnd());
}

void TrackModel::ComputeMetres(int64_t first, int64_t last, double curvatura) {
  // The two metres before the first, carried in registers from then on.
  // Every metre takes the same operations in the same order as one computed
  // alone, so the doubles come out the same bit for bit.
  const std::span<const PlanPoint> before = planimetria.points();
  double x0 = before[first - 2].x, y0 = before[first - 2].y;
  double x1 = before[first - 1].x, y1 = before[first - 1].y;
  const std::span<PlanPoint> metres = planimetria.SetDoubles(first, last + 1);
  if (curvatura == 0) {
    for (PlanPoint& p : metres) {
      const double dx = x1 - x0;
      const double dy = y1 - y0;
      const double x = x1 + dx;
      const double y = y1 + dy;
      p = PlanPoint{x, y};
      x0 = x1, y0 = y1;
      x1 = x, y1 = y;
    }
  } else {
    for (PlanPoint& p : metres) {
      const double dx = x1 - x0;
      const double dy = y1 - y0;
      const double x = x1 + (dx + curvatura * dy);
      const double y = y1 + (dy - curvatura * dx);
      p = PlanPoint{x, y};
      x0 = x1, y0 = y1;
      x1 = x, y1 = y;
    }
  }
}

TrackModel::ReadOutcome TrackModel::RunPlanTo(int64_t* metro_attuale, int64_t limit,
                                              double curvatura, bool at_curve) {
  const int64_t plan_last =
      std::min<int64_t>(ultimo_metro, static_cast<int64_t>(planimetria.size()) - 1);
  while (*metro_attuale <= limit) {
    const int64_t m = *metro_attuale;
    if (m < 2 || m > plan_last || !planimetria.HasPoint(m - 1) || !planimetria.HasPoint(m - 2)) {
      return ReadOutcome::kFault;
    }
    int64_t last = std::min(limit, plan_last);
    // A curve record stops once the cursor has passed metre 1000000.
    if (at_curve) last = std::min(last, std::max<int64_t>(m, kLastCurveMetre));
    ComputeMetres(m, last, curvatura);
    *metro_attuale = last + 1;
    if (at_curve && *metro_attuale > kLastCurveMetre) {
      RecordProblem(kErrCurva, record_);
      return ReadOutcome::kStop;
    }
  }
  return ReadOutcome::kDone;
}

TrackModel::ReadOutcome TrackModel::ReadLineSource(FieldReader* in, SourceChecker* check) {
  record_ = SourceLocation{SourceLocation::File::kLine, 0};

  // Everything up to the field holding "[generale]" is ignored. An empty
  // file ends before it as well.
  do {
    if (in->AtEnd()) {
      RecordProblem(kErrGenerale, record_);
      return ReadOutcome::kStop;
    }
    READ_OR_FAULT(in->ReadText(&campo));
    if (in->AtEnd()) {
      RecordProblem(kErrGenerale, record_);
      return ReadOutcome::kStop;
    }
  } while (!ContainsNoCase(campo, "[generale]"));
  check->FoundGenerale();
  const SourceLocation generale{SourceLocation::File::kLine, in->field_offset()};

  // The [generale] section; each test is independent.
  check->InGenerale(true);
  for (;;) {
    if (in->AtEnd()) break;
    READ_OR_FAULT(in->ReadText(&campo));
    if (in->AtEnd()) break;
    for (int i = 0; i < 10; ++i) {
      if (Has(campo, "-")) READ_OR_FAULT(in->ReadText(&campo));
    }
    record_.offset = in->field_offset();
    check->Keyword(campo, record_);

    if (ContainsNoCase(campo, "percorso") && ContainsNoCase(campo, "lunghezza")) {
      check->Matched(formats::kLunghezza);
      int32_t lunghezza;
      READ_OR_FAULT(in->ReadInt32(&lunghezza));
      tabella[kVoceTreno].fine = lunghezza;
      length_record_ = record_;
      if (lunghezza > 1000000) {
        RecordProblem(kErrLunghezza, record_);
        return ReadOutcome::kStop;
      }
      const int64_t metri = LastMetre(lunghezza);
      // A route so short that not even its first two plan metres exist.
      if (metri < 2) {
        return ReadFault(ValueFault("lunghezza", lunghezza, 2 - kTrackPastRoute, 1000000));
      }
      ultimo_metro = static_cast<int32_t>(metri);
      ultima_cella = static_cast<int32_t>(LastCell(ultimo_metro));
      celle.assign(static_cast<size_t>(ultima_cella) + 1, cella{});
      ResetOrigins();
      if (crea_linea != 0) {
        planimetria.Reset(static_cast<size_t>(ultimo_metro) + 1);
      }
    }
    struct Progressive {
      const char* word;
      int slot;
    };
    static const Progressive kProgressives[] = {
        {"tre", kVoceProgressive}, {"due", kVoceProgressive + 1}, {"uno", kVoceProgressive + 2}};
    for (const Progressive& p : kProgressives) {
      if (Has(campo, p.word) && Has(campo, "progressiva")) {
        check->Matched(formats::kProgressiva);
        progressive_records_[p.slot - kVoceProgressive] = record_;
        voce& v = tabella[p.slot];
        READ_OR_FAULT(in->ReadInt32(&v.inizio));
        READ_OR_FAULT(in->ReadInt32(&v.fine));
        READ_OR_FAULT(in->ReadInt32(&v.posizione));
      }
    }
    struct Sfondo {
      const char* word;
      int32_t voce::*member;
    };
    static const Sfondo kSfondi[] = {
        {"uno", &voce::inizio}, {"due", &voce::posizione}, {"tre", &voce::fine}};
    for (const Sfondo& f : kSfondi) {
      if (Has(campo, "sfondo") && Has(campo, f.word)) {
        check->Matched(formats::kSfondo);
        READ_OR_FAULT(in->ReadInt32(&(tabella[kVoceLinea].*f.member)));
      }
    }
    if (Has(campo, "segnali") && Has(campo, "ripetizione")) {
      check->Matched(formats::kRipetizione);
      voce& v = tabella[kVoceCorsa];
      READ_OR_FAULT(in->ReadInt32(&v.inizio));
      READ_OR_FAULT(in->ReadInt32(&v.fine));
      if (v.inizio % 50 != 0) {
        RecordProblem(kErrRipetizioneInizio, record_);
        return ReadOutcome::kStop;
      }
      if (v.fine % 50 != 0) {
        RecordProblem(kErrRipetizioneFine, record_);
        return ReadOutcome::kStop;
      }
      if (Has(campo, "4")) {
        v.posizione = 4;
      } else if (Has(campo, "9")) {
        v.posizione = 9;
      } else {
        RecordProblem(kErrRipetizioneCodici, record_);
        return ReadOutcome::kStop;
      }
      if (v.fine == 0) v.posizione = 0;
    }

    const size_t first = campo.find_first_not_of(' ');
    const bool dash_first = first != std::string::npos && campo[first] == '-';
    if (!dash_first && Has(campo, "[") && Has(campo, "]")) break;
  }

  progressive_ordina();
  n_montagne = 0;
  voce_cartello = kVoceCartelli;
  int32_t cursore_pendenze = 0;
  int32_t pendenza_attuale = 0;
  int64_t metro_attuale = 2;
  // The cells were needed and are not there: blamed on the section that
  // lacks the route length.
  auto no_length = [&] {
    record_ = generale;
    return ReadFault(MakeFault(FaultCause::Kind::kNoRouteLength));
  };
  // The gradient fill ran past the last cell.
  auto gradient_fault = [&] {
    if (celle.empty()) return no_length();
    return ReadFault(
        MakeFault(FaultCause::Kind::kCursor, "pendenze", ultima_cella, cursore_pendenze));
  };
  auto plan_fault = [&] {
    return ReadFault(
        MakeFault(FaultCause::Kind::kTable, "planimetria", ultimo_metro, metro_attuale));
  };
  if (crea_linea != 0) {
    if (planimetria.size() < 2) return no_length();
    planimetria.Set(0, PlanNumber{PlanKind::kInt16, 0}, PlanNumber{PlanKind::kInt16, 0});
    planimetria.Set(1, PlanNumber{PlanKind::kInt16, 0}, PlanNumber{PlanKind::kInt16, 1});
  }

  // The record section: records recognised by keyword, in any order.
  check->InGenerale(false);
  for (;;) {
    if (in->AtEnd()) break;
    READ_OR_FAULT(in->ReadText(&campo));
    if (in->AtEnd()) break;  // the last field of the file is never examined
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
    // Out of range: the record has no effect and the section ends.
    auto range_test = [&](int32_t p) {
      if (OnTrack(p, 100, ultima_cella)) return true;
      RecordProblemWith(kErrOltrePercorso, p, record_, TrackDetail(100));
      return false;
    };

    if (ContainsNoCase(campo, "pendenza")) {
      check->Matched(formats::kPendenza);
      int32_t p, v;
      READ_OR_FAULT(in->ReadInt32(&p));
      READ_OR_FAULT(in->ReadInt32(&v));
      if (!range_test(p)) break;
      const int64_t n = StartCell(p);
      if (n > 0) {
        do {
          if (!HasCell(cursore_pendenze)) return gradient_fault();
          celle[cursore_pendenze].pendenza = StoredGradient(pendenza_attuale);
          ++cursore_pendenze;
        } while (cursore_pendenze < n);
      }
      // The stored gradient is the value + 100; a value where that sum
      // overflows cannot be stored.
      if (v > std::numeric_limits<int32_t>::max() - kGradientOffset) {
        return ReadFault(ValueFault("pendenza", v, std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max() - kGradientOffset));
      }
      pendenza_attuale = v;
    }
    // Without a plan a curve is not read; its numbers pass as keyword fields.
    if (crea_linea == 0 && ContainsNoCase(campo, "curva")) check->Known();
    if (crea_linea != 0 && ContainsNoCase(campo, "curva")) {
      check->Matched(formats::kCurva);
      int32_t s, l;
      READ_OR_FAULT(in->ReadInt32(&s));
      READ_OR_FAULT(in->ReadInt32(&l));
      if (!range_test(s)) break;
      double curvatura = CurvatureOf(campo);
      if (curvatura == 0) {
        RecordProblem(kErrCurva, record_);
        return ReadOutcome::kStop;
      }
      if (ContainsNoCase(campo, "s")) curvatura = -curvatura;
      // Straight up to the curve's start, then metres s + 1 to s + l curved.
      ReadOutcome run = RunPlanTo(&metro_attuale, s, 0, true);
      if (run == ReadOutcome::kDone) {
        run = RunPlanTo(&metro_attuale, static_cast<int64_t>(s) + l, curvatura, true);
      }
      if (run == ReadOutcome::kFault) return plan_fault();
      if (run != ReadOutcome::kDone) return run;
    }
    if (ContainsNoCase(campo, "montagna")) {
      check->Matched(formats::kMontagna);
      int32_t inizio, fine, tipo;
      READ_OR_FAULT(in->ReadInt32(&inizio));
      READ_OR_FAULT(in->ReadInt32(&fine));
      READ_OR_FAULT(in->ReadInt32(&tipo));
      if (!range_test(inizio)) break;
      READ_OR_FAULT(memo_montagna(inizio, fine, tipo));
    }
    if (ContainsNoCase(campo, "indicatori_v")) {
      check->Matched(formats::kIndicatori);
      int32_t v[9];
      for (int32_t& value : v) READ_OR_FAULT(in->ReadInt32(&value));
      if (!range_test(v[0])) break;
      READ_OR_FAULT(memo_indicatori_v_max(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]));
      if (cod_errore > 0) {
        RecordProblem(cod_errore, v[0], record_);
        return ReadOutcome::kStop;
      }
    }
    if (ContainsNoCase(campo, "indicat") && ContainsNoCase(campo, "cartello")) {
      check->Matched(formats::kCartello);
      int32_t p;
      READ_OR_FAULT(in->ReadInt32(&p));
      READ_OR_FAULT(in->ReadText(&campo));
      if (!range_test(p)) break;
      const int64_t n = PlacementCell(p);
      if (!HasCell(n)) return ReadFault(CellFault("posizione", n, ultima_cella));
      if (!IsFree(celle[n])) {
        RecordProblem(kErrCartello, p, record_, {n});
        return ReadOutcome::kStop;
      }
      // Slots 80 down to 1 hold board texts; slot 0 is never used.
      if (voce_cartello < 1) {
        return ReadFault(MakeFault(FaultCause::Kind::kTable, "voci dei cartelli", kVoceCartelli,
                                   kVoceCartelli + 1));
      }
      if (campo.size() > 0xffff) return ReadFault(TextFault("testo", campo.size()));
      celle[n].tipo = kTipoCartello;
      celle[n].valore = static_cast<int16_t>(voce_cartello);
      tabella[voce_cartello].nome = campo;
      SlotFilled(voce_cartello);
      Placed(n, record_);
      --voce_cartello;
    }
  }

  // End of the line file: gradient and plan run on to the end of the track.
  do {
    if (!HasCell(cursore_pendenze)) return gradient_fault();
    celle[cursore_pendenze].pendenza = StoredGradient(pendenza_attuale);
    ++cursore_pendenze;
  } while (cursore_pendenze < ultima_cella - 2);
  if (crea_linea != 0) {
    const ReadOutcome run = RunPlanTo(&metro_attuale, ultimo_metro - 2, 0, false);
    if (run == ReadOutcome::kFault) return plan_fault();
    if (run != ReadOutcome::kDone) return run;
  }
  return ReadOutcome::kDone;
}

#undef READ_OR_FAULT

}  // namespace scenario
