#include "model/coding.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <span>

namespace scenario {

namespace {

// Grows *dst by n bytes and returns where they start.
char* Grow(std::string* dst, size_t n) {
  const size_t old = dst->size();
  dst->resize(old + n);
  return dst->data() + old;
}

}  // namespace

void PutFixed8(std::string* dst, uint8_t v) { EncodeFixed8(Grow(dst, 1), v); }
void PutFixed16(std::string* dst, uint16_t v) { EncodeFixed16(Grow(dst, 2), v); }
void PutFixed32(std::string* dst, uint32_t v) { EncodeFixed32(Grow(dst, 4), v); }
void PutDouble(std::string* dst, double v) { EncodeDouble(Grow(dst, 8), v); }

void PutText16(std::string* dst, std::string_view text) {
  assert(text.size() <= 0xffff);
  PutFixed16(dst, static_cast<uint16_t>(text.size()));
  dst->append(text);
}

bool GetFixed8(std::string_view* in, uint8_t* v) {
  if (in->size() < 1) return false;
  *v = static_cast<uint8_t>((*in)[0]);
  in->remove_prefix(1);
  return true;
}

bool GetFixed16(std::string_view* in, uint16_t* v) {
  if (in->size() < 2) return false;
  *v = static_cast<uint16_t>(static_cast<uint8_t>((*in)[0]) |
                             (static_cast<uint8_t>((*in)[1]) << 8));
  in->remove_prefix(2);
  return true;
}

bool GetFixed32(std::string_view* in, uint32_t* v) {
  if (in->size() < 4) return false;
  uint32_t r = 0;
  for (int i = 0; i < 4; ++i) r |= static_cast<uint32_t>(static_cast<uint8_t>((*in)[i])) << (8 * i);
  *v = r;
  in->remove_prefix(4);
  return true;
}

bool GetDouble(std::string_view* in, double* v) {
  if (in->size() < 8) return false;
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(static_cast<uint8_t>((*in)[i])) << (8 * i);
  std::memcpy(v, &bits, sizeof(bits));
  in->remove_prefix(8);
  return true;
}

bool GetText16(std::string_view* in, std::string* text) {
  uint16_t n;
  if (!GetFixed16(in, &n) || in->size() < n) return false;
  text->assign(in->data(), n);
  in->remove_prefix(n);
  return true;
}

namespace {

bool GetI16(std::string_view* in, int16_t* v) {
  uint16_t u;
  if (!GetFixed16(in, &u)) return false;
  *v = static_cast<int16_t>(u);
  return true;
}

bool GetI32(std::string_view* in, int32_t* v) {
  uint32_t u;
  if (!GetFixed32(in, &u)) return false;
  *v = static_cast<int32_t>(u);
  return true;
}

bool Truncated(const char* what, size_t index, size_t offset, std::string* err) {
  *err = "record incompleto o non valido all'offset " + std::to_string(offset) + " (" + what + " " +
         std::to_string(index) + ")";
  return false;
}

}  // namespace

char* EncodeCella(const cella& c, char* dst) {
  char* const start = dst;
  dst = EncodeFixed8(dst, c.tipo);
  dst = EncodeFixed16(dst, static_cast<uint16_t>(c.valore));
  dst = EncodeFixed16(dst, static_cast<uint16_t>(c.valore2));
  dst = EncodeFixed16(dst, static_cast<uint16_t>(c.valore3));
  dst = EncodeFixed16(dst, static_cast<uint16_t>(c.valore4));
  dst = EncodeFixed8(dst, c.tempo);
  dst = EncodeFixed8(dst, c.preavviso);
  dst = EncodeFixed8(dst, c.montagna);
  dst = EncodeFixed8(dst, c.velocita);
  dst = EncodeFixed8(dst, c.pendenza);
  dst = EncodeFixed8(dst, c.aderenza);
  assert(static_cast<size_t>(dst - start) == kCellaSize);
  (void)start;
  return dst;
}

void EncodeCella(const cella& c, std::string* dst) { EncodeCella(c, Grow(dst, kCellaSize)); }

bool DecodeCella(std::string_view* in, cella* c) {
  return GetFixed8(in, &c->tipo) && GetI16(in, &c->valore) && GetI16(in, &c->valore2) &&
         GetI16(in, &c->valore3) && GetI16(in, &c->valore4) && GetFixed8(in, &c->tempo) &&
         GetFixed8(in, &c->preavviso) && GetFixed8(in, &c->montagna) &&
         GetFixed8(in, &c->velocita) && GetFixed8(in, &c->pendenza) &&
         GetFixed8(in, &c->aderenza);
}

size_t VoceSize(const voce& v) { return kVoceFixedSize + v.nome.size(); }

char* EncodeVoce(const voce& v, char* dst) {
  assert(v.nome.size() <= 0xffff);
  char* const start = dst;
  dst = EncodeFixed8(dst, v.tipo);
  dst = EncodeFixed32(dst, static_cast<uint32_t>(v.inizio));
  dst = EncodeFixed32(dst, static_cast<uint32_t>(v.fine));
  dst = EncodeFixed32(dst, static_cast<uint32_t>(v.posizione));
  dst = EncodeFixed8(dst, v.dato1);
  dst = EncodeFixed16(dst, static_cast<uint16_t>(v.nome.size()));
  if (!v.nome.empty()) std::memcpy(dst, v.nome.data(), v.nome.size());
  dst += v.nome.size();
  dst = EncodeFixed16(dst, static_cast<uint16_t>(v.dato2));
  dst = EncodeFixed16(dst, static_cast<uint16_t>(v.dato3));
  dst = EncodeFixed16(dst, static_cast<uint16_t>(v.dato4));
  dst = EncodeFixed16(dst, static_cast<uint16_t>(v.dato5));
  dst = EncodeFixed16(dst, static_cast<uint16_t>(v.dato6));
  dst = EncodeFixed8(dst, v.dato7);
  dst = EncodeFixed8(dst, v.dato8);
  dst = EncodeFixed8(dst, v.dato9);
  dst = EncodeFixed8(dst, v.dato10);
  dst = EncodeFixed32(dst, static_cast<uint32_t>(v.orario));
  assert(static_cast<size_t>(dst - start) == VoceSize(v));
  (void)start;
  return dst;
}

void EncodeVoce(const voce& v, std::string* dst) { EncodeVoce(v, Grow(dst, VoceSize(v))); }

bool DecodeVoce(std::string_view* in, voce* v) {
  return GetFixed8(in, &v->tipo) && GetI32(in, &v->inizio) && GetI32(in, &v->fine) &&
         GetI32(in, &v->posizione) && GetFixed8(in, &v->dato1) && GetText16(in, &v->nome) &&
         GetI16(in, &v->dato2) && GetI16(in, &v->dato3) && GetI16(in, &v->dato4) &&
         GetI16(in, &v->dato5) && GetI16(in, &v->dato6) && GetFixed8(in, &v->dato7) &&
         GetFixed8(in, &v->dato8) && GetFixed8(in, &v->dato9) && GetFixed8(in, &v->dato10) &&
         GetI32(in, &v->orario);
}

size_t PlanNumberSize(PlanKind kind) {
  switch (kind) {
    case PlanKind::kEmpty:
      break;
    case PlanKind::kInt16:
      return 4;
    case PlanKind::kDouble:
      return 10;
  }
  return 2;  // a tag alone
}

char* EncodePlanNumber(const PlanNumber& p, char* dst) {
  dst = EncodeFixed16(dst, static_cast<uint16_t>(p.kind));
  switch (p.kind) {
    case PlanKind::kEmpty:
      break;
    case PlanKind::kInt16:
      dst = EncodeFixed16(dst, static_cast<uint16_t>(static_cast<int16_t>(p.value)));
      break;
    case PlanKind::kDouble:
      dst = EncodeDouble(dst, p.value);
      break;
  }
  return dst;
}

void EncodePlanNumber(const PlanNumber& p, std::string* dst) {
  EncodePlanNumber(p, Grow(dst, PlanNumberSize(p.kind)));
}

bool DecodePlanNumber(std::string_view* in, PlanNumber* p) {
  uint16_t tag;
  if (!GetFixed16(in, &tag)) return false;
  switch (tag) {
    case static_cast<uint16_t>(PlanKind::kEmpty):
      *p = PlanNumber{};
      return true;
    case static_cast<uint16_t>(PlanKind::kInt16): {
      int16_t v;
      if (!GetI16(in, &v)) return false;
      *p = PlanNumber{PlanKind::kInt16, static_cast<double>(v)};
      return true;
    }
    case static_cast<uint16_t>(PlanKind::kDouble): {
      double v;
      if (!GetDouble(in, &v)) return false;
      *p = PlanNumber{PlanKind::kDouble, v};
      return true;
    }
    default:
      return false;
  }
}

std::string EncodeTrackFile(const std::vector<cella>& celle) {
  std::string out(celle.size() * kCellaSize, '\0');
  char* dst = out.data();
  for (const cella& c : celle) dst = EncodeCella(c, dst);
  return out;
}

std::string EncodeRunFile(const std::array<voce, kSlots>& tabella) {
  size_t size = 0;
  for (const voce& v : tabella) size += VoceSize(v);
  std::string out(size, '\0');
  char* dst = out.data();
  for (const voce& v : tabella) dst = EncodeVoce(v, dst);
  return out;
}

size_t LineFileSize(const LinePlan& planimetria) {
  size_t size = 0;
  for (uint8_t kinds : planimetria.kinds()) {
    size += PlanNumberSize(KindOfX(kinds)) + PlanNumberSize(KindOfY(kinds));
  }
  return size;
}

std::string EncodeLineFile(const LinePlan& planimetria) {
  std::string out;
  out.reserve(LineFileSize(planimetria));
  LineFileEncoder encoder(planimetria);
  for (std::string_view piece; encoder.Next(&piece);) out.append(piece);
  return out;
}

namespace {

// One plan coordinate; doubles, nearly all of a plan, with their tag as one
// constant.
inline char* EncodeCoordinate(PlanKind kind, double value, char* dst) {
  if (kind == PlanKind::kDouble) {
    return EncodeDouble(EncodeFixed16(dst, static_cast<uint16_t>(PlanKind::kDouble)), value);
  }
  return EncodePlanNumber(PlanNumber{kind, value}, dst);
}

}  // namespace

LineFileEncoder::LineFileEncoder(const LinePlan& planimetria, size_t piece_size)
    : plan_(planimetria), buffer_(std::max(piece_size, kPlanNumberMaxSize), '\0') {}

bool LineFileEncoder::Next(std::string_view* piece) {
  const std::span<const uint8_t> kinds = plan_.kinds();
  const std::span<const PlanPoint> points = plan_.points();
  const size_t metres = kinds.size();
  char* const begin = buffer_.data();
  // Room for one more element of any kind.
  char* const last_start = begin + buffer_.size() - kPlanNumberMaxSize;
  char* dst = begin;
  while (axis_ < 2 && dst <= last_start) {
    if (metre_ == metres) {
      ++axis_;
      metre_ = 0;
      continue;
    }
    // The x values of every metre, then the y values.
    const size_t end =
        std::min(metres, metre_ + static_cast<size_t>(last_start - dst) / kPlanNumberMaxSize + 1);
    if (axis_ == 0) {
      for (size_t m = metre_; m < end; ++m) {
        dst = EncodeCoordinate(KindOfX(kinds[m]), points[m].x, dst);
      }
    } else {
      for (size_t m = metre_; m < end; ++m) {
        dst = EncodeCoordinate(KindOfY(kinds[m]), points[m].y, dst);
      }
    }
    metre_ = end;
  }
  *piece = std::string_view(begin, static_cast<size_t>(dst - begin));
  return !piece->empty();
}

bool DecodeTrackFile(std::string_view bytes, std::vector<cella>* celle, std::string* err) {
  if (bytes.size() % kCellaSize != 0) {
    *err = "lunghezza di " + std::to_string(bytes.size()) + " byte, non multipla di " +
           std::to_string(kCellaSize) + ": cella " + std::to_string(bytes.size() / kCellaSize) +
           " incompleta all'offset " + std::to_string(bytes.size() / kCellaSize * kCellaSize);
    return false;
  }
  celle->assign(bytes.size() / kCellaSize, cella{});
  std::string_view in = bytes;
  for (cella& c : *celle) DecodeCella(&in, &c);  // sizes checked above
  return true;
}

bool DecodeRunFile(std::string_view bytes, std::array<voce, kSlots>* tabella, std::string* err) {
  std::string_view in = bytes;
  for (size_t k = 0; k < tabella->size(); ++k) {
    const size_t offset = bytes.size() - in.size();
    if (!DecodeVoce(&in, &(*tabella)[k])) return Truncated("voce", k, offset, err);
  }
  if (!in.empty()) {
    *err = std::to_string(in.size()) + " byte in più dopo la voce 86, all'offset " +
           std::to_string(bytes.size() - in.size());
    return false;
  }
  return true;
}

bool DecodeLineFile(std::string_view bytes, LinePlan* planimetria, std::string* err) {
  // First the number of elements, each checked; then the values, x of every
  // metre first, then y.
  size_t count = 0;
  for (std::string_view in = bytes; !in.empty(); ++count) {
    const size_t offset = bytes.size() - in.size();
    PlanNumber p;
    if (!DecodePlanNumber(&in, &p)) return Truncated("elemento", count, offset, err);
  }
  if (count % 2 != 0) {
    *err = "numero dispari di elementi (" + std::to_string(count) +
           "): le x e le y non si corrispondono";
    return false;
  }
  const size_t half = count / 2;
  planimetria->Reset(half);
  std::string_view in = bytes;
  for (size_t k = 0; k < count; ++k) {
    PlanNumber p;
    DecodePlanNumber(&in, &p);  // checked above
    planimetria->SetCoordinate(k % half, k < half ? LinePlan::kX : LinePlan::kY, p);
  }
  return true;
}

}  // namespace scenario
