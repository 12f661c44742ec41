#include "model/cells.h"

#include <cmath>

#include "model/track_model.h"

namespace scenario {

int64_t RoundHalfEven(double v) { return static_cast<int64_t>(std::nearbyint(v)); }

bool RoundToRange(double v, int64_t lo, int64_t hi, int64_t* out) {
  if (!std::isfinite(v)) return false;
  const double r = std::nearbyint(v);
  if (r < static_cast<double>(lo) || r > static_cast<double>(hi)) return false;
  *out = static_cast<int64_t>(r);
  return true;
}

int64_t PlacementCell(double p) { return RoundHalfEven(p / kCellLength + 1); }

int64_t StartCell(double p) { return RoundHalfEven(p / kCellLength); }

int64_t CellPosition(int64_t n) { return n * kCellLength; }

int64_t PlacementPosition(int64_t n) { return (n - 1) * kCellLength; }

int64_t LastTunnelCell(double fine) { return RoundHalfEven(fine / kCellLength - 1); }

int64_t StationCell(int32_t fine) {
  return RoundHalfEven(fine / static_cast<double>(kCellLength)) - 1;
}

int64_t LastMetre(int64_t lunghezza) { return lunghezza + kTrackPastRoute; }

int64_t LastCell(int64_t ultimo_metro) {
  return RoundHalfEven(static_cast<double>(ultimo_metro) / kCellLength);
}

int64_t RouteLength(int64_t ultima_cella) { return ultima_cella * kCellLength - kTrackPastRoute; }

uint8_t StoredGradient(int32_t gradient) {
  return static_cast<uint8_t>((static_cast<int64_t>(gradient) + kGradientOffset) & 0xff);
}

int32_t GradientOf(uint8_t pendenza) { return int32_t{pendenza} - kGradientOffset; }

bool SpeedFifth(int64_t speed, uint8_t* velocita) {
  int64_t fifth;
  if (!RoundToRange(static_cast<double>(speed) / kSpeedUnit, 0, 255, &fifth)) return false;
  *velocita = static_cast<uint8_t>(fifth);
  return true;
}

int32_t SpeedOf(uint8_t velocita) { return int32_t{velocita} * kSpeedUnit; }

bool PackIndicatorSpeeds(int32_t s_side, int32_t d_side, int16_t* packed) {
  // The product is whole, the division real.
  const double sum = static_cast<double>(static_cast<int64_t>(s_side) * 20) + d_side / 5.0;
  int64_t rounded;
  if (!RoundToRange(sum, -32768, 32767, &rounded)) return false;
  *packed = static_cast<int16_t>(rounded);
  return true;
}

IndicatorSpeeds UnpackIndicatorSpeeds(int16_t packed) {
  return IndicatorSpeeds{packed / 100 * 5, packed % 100 * 5};
}

int32_t SignalSx(int16_t valore4) { return valore4 % 10 / 3; }

SignalValues UnpackSignal(int16_t valore, int16_t valore2, int16_t valore3, int16_t valore4) {
  SignalValues v;
  v.s1 = valore / 10;
  v.d1 = valore % 10;
  v.s2 = valore2 / 10;
  v.d2 = valore2 % 10;
  v.s3 = valore3 / 10;
  v.d3 = valore3 % 10;
  v.rapp = valore4 / 10;
  v.sx = SignalSx(valore4);
  v.dx = valore4 % 10 % 3;
  return v;
}

IndicatorStripes UnpackIndicatorStripes(int16_t valore4) {
  return IndicatorStripes{valore4 / 10, valore4 % 10};
}

const char* TipoName(uint8_t tipo) {
  switch (tipo) {
    case kTipoLibero:
      return "libera";
    case kTipoSegnale:
      return "segnale";
    case kTipoFineRall:
      return "fine rallentamento";
    case kTipoInizioRall:
      return "inizio rallentamento";
    case kTipoAvvisoRall:
      return "avviso di rallentamento";
    case kTipoZonaRall:
      return "zona di preavviso del rallentamento";
    case kTipoIndicatore:
      return "indicatore di velocità massima";
    case kTipoStazione:
      return "cella di stazione";
    case kTipoMarcaGalleria:
      return "marca di galleria";
    case kTipoCodice:
      return "cella di codice";
    case kTipoAbbattimento:
      return "abbattimento";
    case kTipoCartello:
      return "cartello";
    default:
      return "";
  }
}

}  // namespace scenario
