// The signal-code post-pass: code cells in front of signals before a warning
// board, before restriction starts, inside slow restrictions and in front of
// the first signal after them.
#include <utility>
#include <vector>

#include "model/cells.h"
#include "model/problems.h"
#include "model/track_model.h"

namespace scenario {
namespace {

constexpr int16_t kCodeValue = 180;      // value of every code cell placed here
constexpr int32_t kLookBack = 20;        // cells searched behind a warning board
constexpr int32_t kLookBackFloor = 3;    // the look-back stops below this cell
constexpr int32_t kSlowSpeed = 110;      // restrictions below it get inner codes
constexpr int32_t kInnerSpacing = 8;     // cells between inner codes
constexpr int32_t kLookAhead = 12;       // cells searched after a slow restriction

}  // namespace

void TrackModel::PostPass() {
  const int32_t u = static_cast<int32_t>(celle.size()) - 1;
  auto free_at = [&](int32_t k) { return k >= 0 && k <= u && IsFree(celle[k]); };
  // Every code cell and every problem belongs to the signal or restriction
  // (in cell `owner`) it was placed or looked for on behalf of.
  auto make_code = [&](int32_t k, int32_t owner) {
    celle[k].tipo = kTipoCodice;
    celle[k].valore = kCodeValue;
    Placed(k, OriginOf(owner).tipo, /*by_post_pass=*/true);
  };
  auto problem = [&](int32_t code, int32_t cell, int32_t owner, std::vector<int64_t> in_the_way) {
    RecordProblem(code, static_cast<int32_t>(CellPosition(cell)), OriginOf(owner).tipo,
                  std::move(in_the_way));
  };

  for (corrente = 1; corrente <= u - 2; ++corrente) {
    const int32_t c = corrente;
    if (celle[c].tipo == kTipoAvvisoRall) {
      for (passo = 1; passo <= kLookBack; ++passo) {
        const int32_t s = c - passo;
        if (s < kLookBackFloor) break;
        if (celle[s].tipo != kTipoSegnale) continue;
        if (free_at(s - 1)) {
          make_code(s - 1, s);
        } else if (free_at(s - 2)) {
          make_code(s - 2, s);
        } else if (celle[s - 1].tipo == kTipoCodice) {
          celle[s - 1].valore = static_cast<int16_t>(minimo(kCodeValue, celle[s - 1].valore));
        } else if (celle[s - 2].tipo == kTipoCodice) {
          celle[s - 2].valore = static_cast<int16_t>(minimo(kCodeValue, celle[s - 2].valore));
        } else {
          problem(kErrCodiceSegnale, s, s, {s - 1, s - 2});
        }
      }
    }
    if (celle[c].tipo == kTipoInizioRall) {
      // Guard groups 5-7, 11-13 and 18-20 cells before the start.
      static const struct {
        int32_t above, first;
      } kGroups[] = {{7, 5}, {13, 11}, {20, 18}};
      for (const auto& g : kGroups) {
        if (c <= g.above) continue;
        bool placed = false;
        for (int32_t k = c - g.first; k >= c - g.first - 2 && !placed; --k) {
          if (free_at(k)) {
            make_code(k, c);
            placed = true;
          }
        }
        if (!placed) {
          problem(kErrCodiceGuardia, c, c, {c - g.first, c - g.first - 1, c - g.first - 2});
        }
      }
      if (celle[c].valore >= kSlowSpeed) continue;  // no inner codes, no look-ahead

      // Inner codes, each counted from the previous one actually placed; the
      // walk ends at the restriction's end cell or at the last cell.
      conta = 0;
      passo = c;
      while (passo < u) {
        ++passo;
        ++conta;
        if (conta == kInnerSpacing) {
          if (free_at(passo)) {
            make_code(passo, c);
            conta = 0;
          } else if (free_at(passo - 1)) {
            make_code(passo - 1, c);
            conta = 1;
          } else if (free_at(passo + 1)) {
            make_code(passo + 1, c);
            conta = -1;
          } else {
            problem(kErrCodiceInterno, passo, c, {passo - 1, passo, passo + 1});
          }
        }
        if (celle[passo].tipo == kTipoFineRall) break;
      }

      // A code in front of the first signal within 12 cells after the end.
      conta = 0;
      for (indice = passo; indice <= passo + kLookAhead && indice <= u; ++indice) {
        if (celle[indice].tipo == kTipoSegnale) {
          conta = indice - 1;
          break;
        }
      }
      if (conta > 0) {
        if (free_at(conta)) {
          make_code(conta, c);
        } else if (free_at(conta - 1)) {
          make_code(conta - 1, c);
        } else {
          problem(kErrCodiceInterno, passo, c, {conta, conta - 1});
        }
      }
    }
  }
}

}  // namespace scenario
