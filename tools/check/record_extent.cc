#include "tools/check/record_extent.h"

#include <algorithm>

#include "model/text_encoding.h"
#include "reader/field_reader.h"

namespace scenario {
namespace {

bool Has(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

// The value fields of a [generale] record of the line source. Tests that
// compare exactly, except the route length's.
std::string GeneraleFields(std::string_view k) {
  std::string fields;
  if (ContainsNoCase(k, "percorso") && ContainsNoCase(k, "lunghezza")) fields += "n";
  for (const char* word : {"tre", "due", "uno"}) {
    if (Has(k, word) && Has(k, "progressiva")) fields += "nnn";
  }
  for (const char* word : {"uno", "due", "tre"}) {
    if (Has(k, "sfondo") && Has(k, word)) fields += "n";
  }
  if (Has(k, "segnali") && Has(k, "ripetizione")) fields += "nn";
  return fields;
}

// The value fields of a record of the line source's record section.
std::string LineRecordFields(std::string_view k, bool crea_linea) {
  std::string fields;
  if (ContainsNoCase(k, "pendenza")) fields += "nn";
  if (crea_linea && ContainsNoCase(k, "curva")) fields += "nn";
  if (ContainsNoCase(k, "montagna")) fields += "nnn";
  if (ContainsNoCase(k, "indicatori_v")) fields += std::string(9, 'n');
  if (ContainsNoCase(k, "indicat") && ContainsNoCase(k, "cartello")) fields += "nt";
  return fields;
}

// The value fields of a record of the train-run source.
std::string TrainRecordFields(std::string_view k) {
  std::string fields;
  if (ContainsNoCase(k, "frenata") && ContainsNoCase(k, "massa")) fields += "n";
  if (ContainsNoCase(k, "vetture")) fields += "n";
  if (ContainsNoCase(k, "velocit")) fields += "nn";
  if (ContainsNoCase(k, "aderenza")) fields += "nn";
  if (ContainsNoCase(k, "orologio")) fields += "nnn";
  if (ContainsNoCase(k, "sabbia")) fields += "n";
  if (ContainsNoCase(k, "segnale")) fields += std::string(11, 'n');
  if (ContainsNoCase(k, "rallentamento")) fields += std::string(6, 'n');
  if (ContainsNoCase(k, "abbattimento")) fields += "nn";
  // Position, type, length, ten values, hours, minutes, seconds; the name.
  if (ContainsNoCase(k, "stazione")) fields += std::string(16, 'n') + "t";
  return fields;
}

}  // namespace

std::string RecordFields(std::string_view keyword, SourceLocation::File file, bool crea_linea) {
  switch (file) {
    case SourceLocation::File::kLine: {
      std::string fields = LineRecordFields(keyword, crea_linea);
      return fields.empty() ? GeneraleFields(keyword) : fields;
    }
    case SourceLocation::File::kTrain:
      return TrainRecordFields(keyword);
    case SourceLocation::File::kNone:
      break;
  }
  return "";
}

bool StartsRecord(std::string_view bytes, size_t offset, SourceLocation::File file,
                  bool crea_linea) {
  if (offset >= bytes.size()) return false;
  FieldReader in{std::string(bytes.substr(offset))};
  std::string keyword;
  in.ReadText(&keyword);
  return !RecordFields(keyword, file, crea_linea).empty();
}

size_t RecordEnd(std::string_view bytes, size_t offset, SourceLocation::File file,
                 bool crea_linea) {
  if (offset >= bytes.size()) return bytes.size();
  FieldReader in{std::string(bytes.substr(offset))};
  std::string keyword;
  in.ReadText(&keyword);
  const std::string fields = RecordFields(keyword, file, crea_linea);
  for (char kind : fields) {
    if (in.AtEnd()) break;  // cut short by the end of the file
    if (kind == 't') {
      std::string text;
      in.ReadText(&text);
    } else {
      // A value that does not fit its target is still one field: the
      // reader moves past it all the same.
      int32_t ignored;
      in.ReadInt32(&ignored);
    }
  }
  return offset + in.position();
}

void BlankOut(std::string* bytes, size_t from, size_t to) {
  to = std::min(to, bytes->size());
  for (size_t i = from; i < to; ++i) {
    char& c = (*bytes)[i];
    if (c != '\r' && c != '\n') c = ' ';
  }
}

}  // namespace scenario
