#include "model/coding.h"

#include <cassert>
#include <cstring>

namespace scenario {

void PutFixed8(std::string* dst, uint8_t v) { dst->push_back(static_cast<char>(v)); }

void PutFixed16(std::string* dst, uint16_t v) {
  dst->push_back(static_cast<char>(v & 0xff));
  dst->push_back(static_cast<char>(v >> 8));
}

void PutFixed32(std::string* dst, uint32_t v) {
  for (int i = 0; i < 4; ++i) dst->push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

void PutDouble(std::string* dst, double v) {
  uint64_t bits;
  static_assert(sizeof(bits) == sizeof(v));
  std::memcpy(&bits, &v, sizeof(bits));
  for (int i = 0; i < 8; ++i) dst->push_back(static_cast<char>((bits >> (8 * i)) & 0xff));
}

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

void EncodeCella(const cella& c, std::string* dst) {
  const size_t start = dst->size();
  PutFixed8(dst, c.tipo);
  PutFixed16(dst, static_cast<uint16_t>(c.valore));
  PutFixed16(dst, static_cast<uint16_t>(c.valore2));
  PutFixed16(dst, static_cast<uint16_t>(c.valore3));
  PutFixed16(dst, static_cast<uint16_t>(c.valore4));
  PutFixed8(dst, c.tempo);
  PutFixed8(dst, c.preavviso);
  PutFixed8(dst, c.montagna);
  PutFixed8(dst, c.velocita);
  PutFixed8(dst, c.pendenza);
  PutFixed8(dst, c.aderenza);
  assert(dst->size() - start == kCellaSize);
  (void)start;
}

bool DecodeCella(std::string_view* in, cella* c) {
  return GetFixed8(in, &c->tipo) && GetI16(in, &c->valore) && GetI16(in, &c->valore2) &&
         GetI16(in, &c->valore3) && GetI16(in, &c->valore4) && GetFixed8(in, &c->tempo) &&
         GetFixed8(in, &c->preavviso) && GetFixed8(in, &c->montagna) &&
         GetFixed8(in, &c->velocita) && GetFixed8(in, &c->pendenza) &&
         GetFixed8(in, &c->aderenza);
}

void EncodeVoce(const voce& v, std::string* dst) {
  const size_t start = dst->size();
  PutFixed8(dst, v.tipo);
  PutFixed32(dst, static_cast<uint32_t>(v.inizio));
  PutFixed32(dst, static_cast<uint32_t>(v.fine));
  PutFixed32(dst, static_cast<uint32_t>(v.posizione));
  PutFixed8(dst, v.dato1);
  PutText16(dst, v.nome);
  PutFixed16(dst, static_cast<uint16_t>(v.dato2));
  PutFixed16(dst, static_cast<uint16_t>(v.dato3));
  PutFixed16(dst, static_cast<uint16_t>(v.dato4));
  PutFixed16(dst, static_cast<uint16_t>(v.dato5));
  PutFixed16(dst, static_cast<uint16_t>(v.dato6));
  PutFixed8(dst, v.dato7);
  PutFixed8(dst, v.dato8);
  PutFixed8(dst, v.dato9);
  PutFixed8(dst, v.dato10);
  PutFixed32(dst, static_cast<uint32_t>(v.orario));
  assert(dst->size() - start == kVoceFixedSize + v.nome.size());
  (void)start;
}

bool DecodeVoce(std::string_view* in, voce* v) {
  return GetFixed8(in, &v->tipo) && GetI32(in, &v->inizio) && GetI32(in, &v->fine) &&
         GetI32(in, &v->posizione) && GetFixed8(in, &v->dato1) && GetText16(in, &v->nome) &&
         GetI16(in, &v->dato2) && GetI16(in, &v->dato3) && GetI16(in, &v->dato4) &&
         GetI16(in, &v->dato5) && GetI16(in, &v->dato6) && GetFixed8(in, &v->dato7) &&
         GetFixed8(in, &v->dato8) && GetFixed8(in, &v->dato9) && GetFixed8(in, &v->dato10) &&
         GetI32(in, &v->orario);
}

void EncodePlanNumber(const PlanNumber& p, std::string* dst) {
  PutFixed16(dst, static_cast<uint16_t>(p.kind));
  switch (p.kind) {
    case PlanKind::kEmpty:
      break;
    case PlanKind::kInt16:
      PutFixed16(dst, static_cast<uint16_t>(static_cast<int16_t>(p.value)));
      break;
    case PlanKind::kDouble:
      PutDouble(dst, p.value);
      break;
  }
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
  std::string out;
  out.reserve(celle.size() * kCellaSize);
  for (const cella& c : celle) EncodeCella(c, &out);
  return out;
}

std::string EncodeRunFile(const std::array<voce, 87>& tabella) {
  std::string out;
  for (const voce& v : tabella) EncodeVoce(v, &out);
  return out;
}

std::string EncodeLineFile(const std::vector<std::array<PlanNumber, 2>>& planimetria) {
  std::string out;
  out.reserve(planimetria.size() * 20);
  for (int axis = 0; axis < 2; ++axis) {
    for (const auto& metre : planimetria) EncodePlanNumber(metre[axis], &out);
  }
  return out;
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

bool DecodeRunFile(std::string_view bytes, std::array<voce, 87>* tabella, std::string* err) {
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

bool DecodeLineFile(std::string_view bytes, std::vector<std::array<PlanNumber, 2>>* planimetria,
                    std::string* err) {
  std::vector<PlanNumber> numbers;
  std::string_view in = bytes;
  while (!in.empty()) {
    const size_t offset = bytes.size() - in.size();
    PlanNumber p;
    if (!DecodePlanNumber(&in, &p)) return Truncated("elemento", numbers.size(), offset, err);
    numbers.push_back(p);
  }
  if (numbers.size() % 2 != 0) {
    *err = "numero dispari di elementi (" + std::to_string(numbers.size()) +
           "): le x e le y non si corrispondono";
    return false;
  }
  const size_t half = numbers.size() / 2;
  planimetria->assign(half, {PlanNumber{}, PlanNumber{}});
  for (size_t m = 0; m < half; ++m) {
    (*planimetria)[m][0] = numbers[m];
    (*planimetria)[m][1] = numbers[half + m];
  }
  return true;
}

}  // namespace scenario
