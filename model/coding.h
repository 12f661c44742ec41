// Little-endian, packed encoders and decoders for the compiled files. Every
// value is stored byte by byte through shifts, whatever the host's byte
// order; no struct is ever dumped to disk. The whole-file encoders size
// their buffer first and store each fixed-width value straight into it.
//
// Track file (.dat of the run): one 15-byte record per cell, cell 0 first.
//   OFFSET SIZE FIELD
//   0      1    tipo       u8
//   1      2    valore     i16
//   3      2    valore2    i16
//   5      2    valore3    i16
//   7      2    valore4    i16
//   9      1    tempo      u8
//   10     1    preavviso  u8
//   11     1    montagna   u8
//   12     1    velocita   u8
//   13     1    pendenza   u8
//   14     1    aderenza   u8
//
// Run file (.sim): 87 records of 34 + n bytes, slot 0 first.
//   OFFSET SIZE FIELD
//   0      1    tipo       u8
//   1      4    inizio     i32
//   5      4    fine       i32
//   9      4    posizione  i32
//   13     1    dato1      u8
//   14     2    n          u16, length of nome
//   16     n    nome       Windows-1252, no terminator
//   16+n   2    dato2 ... dato6 (five i16)
//   26+n   1    dato7 ... dato10 (four u8)
//   30+n   4    orario     i32
//
// Line file (_linea.dat): the x values of metres 0..ultimo_metro, then the y
// values; each a u16 tag (0 empty, 2 int16, 5 double) and its payload of 0,
// 2 or 8 bytes. It is encoded in pieces (LineFileEncoder), so that a large
// plan never exists a second time as a whole file in memory.
#ifndef SCENARIO_MODEL_CODING_H_
#define SCENARIO_MODEL_CODING_H_

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/line_plan.h"
#include "model/track_model.h"

namespace scenario {

inline constexpr size_t kCellaSize = 15;         // bytes of a cell record
inline constexpr size_t kVoceFixedSize = 34;     // bytes of a slot record without its name
inline constexpr int kSlots = kVoci;             // slots of tabella
inline constexpr size_t kPlanNumberMaxSize = 10;  // bytes of the largest plan element

// Stores into a buffer the caller has sized: each writes exactly its width
// at dst, least significant byte first, and returns dst past it.
inline char* EncodeFixed8(char* dst, uint8_t v) {
  dst[0] = static_cast<char>(v);
  return dst + 1;
}
inline char* EncodeFixed16(char* dst, uint16_t v) {
  dst[0] = static_cast<char>(v & 0xff);
  dst[1] = static_cast<char>(v >> 8);
  return dst + 2;
}
inline char* EncodeFixed32(char* dst, uint32_t v) {
  dst[0] = static_cast<char>(v & 0xff);
  dst[1] = static_cast<char>((v >> 8) & 0xff);
  dst[2] = static_cast<char>((v >> 16) & 0xff);
  dst[3] = static_cast<char>(v >> 24);
  return dst + 4;
}
inline char* EncodeFixed64(char* dst, uint64_t v) {
  for (int i = 0; i < 8; ++i) dst[i] = static_cast<char>((v >> (8 * i)) & 0xff);
  return dst + 8;
}
// The IEEE 754 bits of the double, as a 64-bit value.
inline char* EncodeDouble(char* dst, double v) {
  static_assert(sizeof(double) == sizeof(uint64_t));
  return EncodeFixed64(dst, std::bit_cast<uint64_t>(v));
}

// Appending forms of the stores above.
void PutFixed8(std::string* dst, uint8_t v);
void PutFixed16(std::string* dst, uint16_t v);
void PutFixed32(std::string* dst, uint32_t v);
void PutDouble(std::string* dst, double v);
// u16 length, then the bytes. REQUIRES: text.size() <= 65535.
void PutText16(std::string* dst, std::string_view text);

bool GetFixed8(std::string_view* in, uint8_t* v);
bool GetFixed16(std::string_view* in, uint16_t* v);
bool GetFixed32(std::string_view* in, uint32_t* v);
bool GetDouble(std::string_view* in, double* v);
bool GetText16(std::string_view* in, std::string* text);

// Record encoders: the sized-buffer form writes the record at dst and
// returns dst past it; the other appends it to *dst.
char* EncodeCella(const cella& c, char* dst);  // kCellaSize bytes
void EncodeCella(const cella& c, std::string* dst);
size_t VoceSize(const voce& v);              // kVoceFixedSize + the length of nome
char* EncodeVoce(const voce& v, char* dst);  // REQUIRES: v.nome.size() <= 65535
void EncodeVoce(const voce& v, std::string* dst);
size_t PlanNumberSize(PlanKind kind);  // 2, 4 or 10
char* EncodePlanNumber(const PlanNumber& p, char* dst);
void EncodePlanNumber(const PlanNumber& p, std::string* dst);

// Decoders advance *in; they return false, leaving *out unspecified, when the
// input is too short or malformed.
bool DecodeCella(std::string_view* in, cella* out);
bool DecodeVoce(std::string_view* in, voce* out);
bool DecodePlanNumber(std::string_view* in, PlanNumber* out);

// Whole files.
std::string EncodeTrackFile(const std::vector<cella>& celle);
std::string EncodeRunFile(const std::array<voce, kSlots>& tabella);
std::string EncodeLineFile(const LinePlan& planimetria);
// The size of the line file of a plan, in bytes.
size_t LineFileSize(const LinePlan& planimetria);

// The line file of a plan in consecutive pieces, each encoded into one
// buffer that is reused from piece to piece:
//   LineFileEncoder encoder(model.planimetria);
//   for (std::string_view piece; encoder.Next(&piece);) file->Append(piece, &err);
// The plan must not change while the encoder is in use.
class LineFileEncoder {
 public:
  static constexpr size_t kDefaultPieceSize = 64 * 1024;

  // REQUIRES: piece_size >= kPlanNumberMaxSize.
  explicit LineFileEncoder(const LinePlan& planimetria, size_t piece_size = kDefaultPieceSize);

  // The next piece, valid until the following call; false once the whole
  // file has been given.
  bool Next(std::string_view* piece);

 private:
  const LinePlan& plan_;
  std::string buffer_;
  int axis_ = 0;      // 0: the x values, 1: the y values, 2: done
  size_t metre_ = 0;  // the next metre of that axis
};

// Whole-file decoders. Each fails with a message (in Italian, for the
// people who make scenarios) naming the record and byte offset where the
// bytes stop making sense: a truncated record, an unknown plan tag, a wrong
// number of records, bytes left over.
bool DecodeTrackFile(std::string_view bytes, std::vector<cella>* celle, std::string* err);
bool DecodeRunFile(std::string_view bytes, std::array<voce, kSlots>* tabella, std::string* err);
bool DecodeLineFile(std::string_view bytes, LinePlan* planimetria, std::string* err);

}  // namespace scenario

#endif  // SCENARIO_MODEL_CODING_H_
