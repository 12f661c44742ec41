// The record encoders and decoders of the compiled files: exact bytes at
// exact offsets, round trips, and clean failures on cut input.
#include "model/coding.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "model/track_model.h"
#include "test_util.h"

namespace scenario {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(Coding, FixedWidthsAreLittleEndian) {
  std::string out;
  PutFixed8(&out, 0xAB);
  PutFixed16(&out, 0x1234);
  PutFixed32(&out, 0x01020304);
  PutDouble(&out, 1.5);
  PutText16(&out, "631");
  PutText16(&out, "");
  EXPECT_EQ("AB 34 12 04 03 02 01 00 00 00 00 00 00 F8 3F 03 00 36 33 31 00 00", Hex(out));
}

// The sized-buffer stores write exactly their width and nothing around it.
TEST(Coding, StoresIntoASizedBufferWriteOnlyTheirWidth) {
  std::string buffer(32, '\x55');
  char* p = buffer.data() + 1;
  p = EncodeFixed8(p, 0xAB);
  p = EncodeFixed16(p, 0x1234);
  p = EncodeFixed32(p, 0xFEDCBA98);
  p = EncodeFixed64(p, 0x0102030405060708);
  p = EncodeDouble(p, -2.0);
  EXPECT_EQ(buffer.data() + 1 + 1 + 2 + 4 + 8 + 8, p);
  EXPECT_EQ(
      "55 AB 34 12 98 BA DC FE 08 07 06 05 04 03 02 01 00 00 00 00 00 00 00 C0 55 55 55 55 55 55 "
      "55 "
      "55",
      Hex(buffer));
}

TEST(Coding, CellaBytes) {
  cella c;
  c.tipo = 1;
  c.valore = 0x1234;
  c.valore2 = -2;
  c.valore3 = 0x0102;
  c.valore4 = -32768;
  c.tempo = 0xAB;
  c.preavviso = 81;
  c.montagna = 2;
  c.velocita = 20;
  c.pendenza = 101;
  c.aderenza = 255;
  std::string out = "x";  // appends after what is there
  EncodeCella(c, &out);
  EXPECT_EQ("78 01 34 12 FE FF 02 01 00 80 AB 51 02 14 65 FF", Hex(out));
  EXPECT_EQ(1 + kCellaSize, out.size());
  // The sized-buffer form writes the same 15 bytes and says where it ended.
  std::string sized(kCellaSize + 1, '\x55');
  EXPECT_EQ(sized.data() + kCellaSize, EncodeCella(c, sized.data()));
  EXPECT_EQ(out.substr(1) + "\x55", sized);
}

TEST(Coding, VoceBytes) {
  std::string empty;
  EncodeVoce(voce{}, &empty);
  EXPECT_EQ(std::string(34, '\0'), empty);

  voce v;
  v.tipo = 10;
  v.inizio = -100;
  v.fine = 0x01020304;
  v.posizione = 200;
  v.dato1 = 7;
  v.nome = "631";
  v.dato2 = 610;
  v.dato3 = -1;
  v.dato4 = 0x0A0B;
  v.dato5 = 1;
  v.dato6 = -32768;
  v.dato7 = 1;
  v.dato8 = 2;
  v.dato9 = 3;
  v.dato10 = 255;
  v.orario = 32645;
  std::string out;
  EncodeVoce(v, &out);
  ASSERT_EQ(37u, out.size());
  // tipo | inizio | fine | posizione | dato1 | n | nome | dato2..dato6 |
  // dato7..dato10 | orario
  EXPECT_EQ(
      "0A 9C FF FF FF 04 03 02 01 C8 00 00 00 07 03 00 36 33 31 62 02 FF FF 0B 0A 01 00 "
      "00 80 01 02 03 FF 85 7F 00 00",
      Hex(out));
  EXPECT_EQ("03 00", Hex(out.substr(14, 2)));
  EXPECT_EQ(out.size(), VoceSize(v));
  std::string sized(VoceSize(v), '\0');
  EXPECT_EQ(sized.data() + sized.size(), EncodeVoce(v, sized.data()));
  EXPECT_EQ(out, sized);
}

TEST(Coding, PlanNumberBytes) {
  struct Case {
    PlanNumber p;
    const char* hex;
  };
  const Case kCases[] = {
      {{PlanKind::kEmpty, 0}, "00 00"},
      {{PlanKind::kInt16, 1}, "02 00 01 00"},
      {{PlanKind::kInt16, -2}, "02 00 FE FF"},
      {{PlanKind::kDouble, 1.5}, "05 00 00 00 00 00 00 00 F8 3F"},
      {{PlanKind::kDouble, -0.0}, "05 00 00 00 00 00 00 00 00 80"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.hex);
    std::string out;
    EncodePlanNumber(c.p, &out);
    EXPECT_EQ(c.hex, Hex(out));
  }
}

std::vector<cella> SampleCells() {
  std::vector<cella> cells(3);
  cells[1] = {1, -1, 32767, -32768, 40, 255, 84, 3, 36, 99, 255};
  cells[2] = {12, 180, 0, 0, 0, 0, 0, 0, 0, 0, 7};
  return cells;
}

std::vector<voce> SampleVoci() {
  std::vector<voce> voci(4);
  voci[1].tipo = 2;
  voci[1].inizio = std::numeric_limits<int32_t>::min();
  voci[1].fine = std::numeric_limits<int32_t>::max();
  voci[1].nome = "Piana-Nuova di Sotto";
  voci[1].dato6 = -5;
  voci[1].dato10 = 200;
  voci[1].orario = 86399;
  voci[2].nome = "Citt\xE0";  // Windows-1252 bytes pass unchanged
  voci[3].nome = std::string(300, 'x');
  return voci;
}

std::vector<PlanNumber> SamplePlan() {
  return {{PlanKind::kEmpty, 0},
          {PlanKind::kInt16, -32768},
          {PlanKind::kInt16, 32767},
          {PlanKind::kDouble, 1e-300},
          {PlanKind::kDouble, -123456.789},
          {PlanKind::kDouble, std::numeric_limits<double>::infinity()}};
}

// Encode, decode, encode again: the same bytes, and nothing left over.
TEST(Coding, RoundTrips) {
  for (const cella& c : SampleCells()) {
    std::string first, second;
    EncodeCella(c, &first);
    std::string_view in = first;
    cella back;
    ASSERT_TRUE(DecodeCella(&in, &back));
    EXPECT_TRUE(in.empty());
    EncodeCella(back, &second);
    EXPECT_EQ(Hex(first), Hex(second));
  }
  for (const voce& v : SampleVoci()) {
    SCOPED_TRACE(v.nome);
    std::string first, second;
    EncodeVoce(v, &first);
    EXPECT_EQ(kVoceFixedSize + v.nome.size(), first.size());
    std::string_view in = first;
    voce back;
    ASSERT_TRUE(DecodeVoce(&in, &back));
    EXPECT_TRUE(in.empty());
    EXPECT_EQ(v.nome, back.nome);
    EncodeVoce(back, &second);
    EXPECT_EQ(first, second);
  }
  for (const PlanNumber& p : SamplePlan()) {
    std::string first, second;
    EncodePlanNumber(p, &first);
    std::string_view in = first;
    PlanNumber back;
    ASSERT_TRUE(DecodePlanNumber(&in, &back));
    EXPECT_TRUE(in.empty());
    EXPECT_EQ(p.kind, back.kind);
    EncodePlanNumber(back, &second);
    EXPECT_EQ(Hex(first), Hex(second));
  }
}

// Whole files are the records one after the other: encode, decode, encode.
TEST(Coding, WholeFilesRoundTrip) {
  std::string err;
  const std::string track = EncodeTrackFile(SampleCells());
  EXPECT_EQ(3 * kCellaSize, track.size());
  std::vector<cella> celle;
  ASSERT_TRUE(DecodeTrackFile(track, &celle, &err)) << err;
  EXPECT_EQ(track, EncodeTrackFile(celle));

  std::array<voce, kSlots> tabella;
  const std::vector<voce> samples = SampleVoci();
  for (size_t k = 0; k < samples.size(); ++k) tabella[40 + k] = samples[k];
  const std::string run = EncodeRunFile(tabella);
  std::array<voce, kSlots> back;
  ASSERT_TRUE(DecodeRunFile(run, &back, &err)) << err;
  EXPECT_EQ(run, EncodeRunFile(back));
  EXPECT_EQ(samples[1].nome, back[41].nome);

  // x of every metre first, then y.
  LinePlan plan;
  plan.Reset(3);
  plan.Set(0, PlanNumber{PlanKind::kInt16, 0}, PlanNumber{PlanKind::kInt16, 1});
  plan.Set(1, PlanNumber{PlanKind::kDouble, 0.5}, PlanNumber{PlanKind::kDouble, 2.25});
  const std::string line = EncodeLineFile(plan);
  EXPECT_EQ("02 00 00 00 05 00", Hex(line.substr(0, 6)));
  LinePlan plan_back;
  ASSERT_TRUE(DecodeLineFile(line, &plan_back, &err)) << err;
  ASSERT_EQ(3u, plan_back.size());
  EXPECT_EQ(2.25, plan_back.y(1).value);
  EXPECT_EQ(PlanKind::kEmpty, plan_back.x(2).kind);
  EXPECT_EQ(line, EncodeLineFile(plan_back));
}

// A plan of every kind of coordinate, also mixed within a metre.
LinePlan MixedPlan(size_t metres) {
  LinePlan plan;
  plan.Reset(metres);
  for (size_t m = 0; m < metres; ++m) {
    switch (m % 5) {
      case 0:
        plan.Set(m, PlanNumber{PlanKind::kInt16, -1.0 * m}, PlanNumber{PlanKind::kInt16, 7});
        break;
      case 1:
      case 2:
        plan.Set(m, PlanNumber{PlanKind::kDouble, m * 0.1}, PlanNumber{PlanKind::kDouble, -1e-3});
        break;
      case 3:
        plan.SetCoordinate(m, LinePlan::kY, PlanNumber{PlanKind::kDouble, 1.0 * m});
        break;
      case 4:
        break;  // both empty
    }
  }
  return plan;
}

// The pieces of the line file, whatever their size, make the very file that
// the coordinates encoded one by one make: every x, then every y.
TEST(Coding, LineFileInPiecesIsTheWholeFile) {
  const LinePlan plan = MixedPlan(1003);
  std::string expected;
  for (size_t m = 0; m < plan.size(); ++m) EncodePlanNumber(plan.x(m), &expected);
  for (size_t m = 0; m < plan.size(); ++m) EncodePlanNumber(plan.y(m), &expected);
  EXPECT_EQ(expected.size(), LineFileSize(plan));
  EXPECT_EQ(expected, EncodeLineFile(plan));
  for (size_t piece_size :
       {size_t{10}, size_t{11}, size_t{19}, size_t{4096}, LineFileEncoder::kDefaultPieceSize}) {
    SCOPED_TRACE(piece_size);
    LineFileEncoder encoder(plan, piece_size);
    std::string joined;
    size_t pieces = 0;
    for (std::string_view piece; encoder.Next(&piece); ++pieces) {
      ASSERT_FALSE(piece.empty());
      ASSERT_LE(piece.size(), piece_size);
      joined.append(piece);
    }
    EXPECT_EQ(expected, joined);
    EXPECT_GE(pieces, expected.size() / piece_size);
    std::string_view after;
    EXPECT_FALSE(encoder.Next(&after));  // and stays done
  }
  LinePlan none;
  LineFileEncoder empty(none);
  std::string_view piece;
  EXPECT_FALSE(empty.Next(&piece));
  EXPECT_EQ("", EncodeLineFile(none));
}

// A whole file that does not decode says where and why.
TEST(Coding, BrokenWholeFilesSayWhere) {
  std::array<voce, kSlots> tabella;
  tabella[5].nome = "NOME";
  const std::string run = EncodeRunFile(tabella);
  std::string line;
  EncodePlanNumber(PlanNumber{PlanKind::kInt16, 0}, &line);
  EncodePlanNumber(PlanNumber{PlanKind::kInt16, 1}, &line);
  enum Kind { kTrack, kRun, kLine };
  struct Case {
    Kind kind;
    std::string bytes;
    std::string message;
  };
  const Case kCases[] = {
      {kTrack, std::string(15 * 3 + 3, '\0'),
       "lunghezza di 48 byte, non multipla di 15: cella 3 incompleta all'offset 45"},
      {kRun, run.substr(0, 5 * 34 + 10), "record incompleto o non valido all'offset 170 (voce 5)"},
      {kRun, run + "x", "1 byte in più dopo la voce 86, all'offset " + std::to_string(run.size())},
      {kLine, line.substr(0, 4),
       "numero dispari di elementi (1): le x e le y non si corrispondono"},
      {kLine, line + std::string("\x07\x00", 2),
       "record incompleto o non valido all'offset 8 (elemento 2)"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.message);
    std::string err;
    std::vector<cella> celle;
    std::array<voce, kSlots> slots;
    LinePlan plan;
    bool ok = true;
    switch (c.kind) {
      case kTrack:
        ok = DecodeTrackFile(c.bytes, &celle, &err);
        break;
      case kRun:
        ok = DecodeRunFile(c.bytes, &slots, &err);
        break;
      case kLine:
        ok = DecodeLineFile(c.bytes, &plan, &err);
        break;
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(c.message, err);
  }
}

// Every input cut short of a whole record is refused.
TEST(Coding, CutRecordsAreRefused) {
  std::string cell, slot, int_point, double_point;
  EncodeCella(SampleCells()[1], &cell);
  EncodeVoce(SampleVoci()[1], &slot);
  EncodePlanNumber({PlanKind::kInt16, 5}, &int_point);
  EncodePlanNumber({PlanKind::kDouble, 5}, &double_point);
  for (size_t n = 0; n < cell.size(); ++n) {
    std::string_view in(cell.data(), n);
    cella c;
    EXPECT_FALSE(DecodeCella(&in, &c)) << n << " bytes";
  }
  for (size_t n = 0; n < slot.size(); ++n) {
    std::string_view in(slot.data(), n);
    voce v;
    EXPECT_FALSE(DecodeVoce(&in, &v)) << n << " bytes";
  }
  for (const std::string* point : {&int_point, &double_point}) {
    for (size_t n = 0; n < point->size(); ++n) {
      std::string_view in(point->data(), n);
      PlanNumber p;
      EXPECT_FALSE(DecodePlanNumber(&in, &p)) << n << " bytes of " << Hex(*point);
    }
  }
}

TEST(Coding, MalformedRecordsAreRefused) {
  // A name length beyond the end of the input.
  std::string slot;
  EncodeVoce(voce{}, &slot);
  slot[14] = 5;
  std::string_view in = slot;
  voce v;
  EXPECT_FALSE(DecodeVoce(&in, &v));
  // Tags other than 0, 2 and 5.
  for (int tag : {1, 3, 4, 6, 0x0200, 0xFFFF}) {
    std::string point = Bytes({tag & 0xFF, tag >> 8, 0, 0, 0, 0, 0, 0, 0, 0});
    std::string_view p_in = point;
    PlanNumber p;
    EXPECT_FALSE(DecodePlanNumber(&p_in, &p)) << "tag " << tag;
  }
}

}  // namespace
}  // namespace scenario
