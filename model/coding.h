// Little-endian, packed encoders and decoders for the compiled files, one
// byte at a time. No struct is ever dumped to disk.
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
// 2 or 8 bytes.
#ifndef SCENARIO_MODEL_CODING_H_
#define SCENARIO_MODEL_CODING_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "model/track_model.h"

namespace scenario {

inline constexpr size_t kCellaSize = 15;         // bytes of a cell record
inline constexpr size_t kVoceFixedSize = 34;     // bytes of a slot record without its name
inline constexpr int kSlots = 87;                // slots of tabella

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

void EncodeCella(const cella& c, std::string* dst);
void EncodeVoce(const voce& v, std::string* dst);
void EncodePlanNumber(const PlanNumber& p, std::string* dst);

// Decoders advance *in; they return false, leaving *out unspecified, when the
// input is too short or malformed.
bool DecodeCella(std::string_view* in, cella* out);
bool DecodeVoce(std::string_view* in, voce* out);
bool DecodePlanNumber(std::string_view* in, PlanNumber* out);

// Whole files.
std::string EncodeTrackFile(const std::vector<cella>& celle);
std::string EncodeRunFile(const std::array<voce, 87>& tabella);
std::string EncodeLineFile(const std::vector<std::array<PlanNumber, 2>>& planimetria);

// Whole-file decoders. Each fails with a message (in Italian, for the
// people who make scenarios) naming the record and byte offset where the
// bytes stop making sense: a truncated record, an unknown plan tag, a wrong
// number of records, bytes left over.
bool DecodeTrackFile(std::string_view bytes, std::vector<cella>* celle, std::string* err);
bool DecodeRunFile(std::string_view bytes, std::array<voce, 87>* tabella, std::string* err);
bool DecodeLineFile(std::string_view bytes, std::vector<std::array<PlanNumber, 2>>* planimetria,
                    std::string* err);

}  // namespace scenario

#endif  // SCENARIO_MODEL_CODING_H_
