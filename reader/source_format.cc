#include "reader/source_format.h"

namespace scenario {
namespace formats {
namespace {

constexpr FieldType kI32 = FieldType::kInt32;
constexpr FieldType kI16 = FieldType::kInt16;
constexpr FieldType kU8 = FieldType::kUint8;
constexpr FieldType kTxt = FieldType::kText;

const char* const kLunghezzaForms[] = {"lunghezza percorso"};
const FieldFormat kLunghezzaFields[] = {{"lunghezza", kI32}};
const char* const kProgressivaForms[] = {
    "progressiva chilometrica uno", "progressiva chilometrica due", "progressiva chilometrica tre"};
const FieldFormat kProgressivaFields[] = {{"inizio", kI32}, {"fine", kI32}, {"posizione", kI32}};
const char* const kSfondoForms[] = {"sfondo uno", "sfondo due", "sfondo tre"};
const FieldFormat kValoreI32[] = {{"valore", kI32}};
const char* const kRipetizioneForms[] = {"ripetizione segnali 4 codici",
                                         "ripetizione segnali 9 codici"};
const FieldFormat kRipetizioneFields[] = {{"inizio", kI32}, {"fine", kI32}};

const char* const kPendenzaForms[] = {"pendenza"};
const FieldFormat kPendenzaFields[] = {{"posizione", kI32}, {"pendenza", kI32}};
const char* const kCurvaForms[] = {"curvad1", "curvad2", "curvad3", "curvad4",
                                   "curvad5", "curvad6", "curvas1", "curvas2",
                                   "curvas3", "curvas4", "curvas5", "curvas6"};
const FieldFormat kCurvaFields[] = {{"inizio", kI32}, {"lunghezza", kI32}};
const char* const kMontagnaForms[] = {"montagna"};
const FieldFormat kMontagnaFields[] = {{"inizio", kI32}, {"fine", kI32}, {"tipo", kI32}};
const char* const kIndicatoriForms[] = {"indicatori_vmax"};
// An empty d-side speed is the usual way to write a board with no d side.
const FieldFormat kIndicatoriFields[] = {
    {"posizione", kI32}, {"vas", kI32},       {"vbs", kI32},
    {"vcs", kI32},       {"strisces", kI32},  {"vad", kI32, true},
    {"vbd", kI32, true}, {"vcd", kI32, true}, {"strisced", kI32}};
const char* const kCartelloForms[] = {"cartello_indicatore"};
const FieldFormat kCartelloFields[] = {{"posizione", kI32}, {"testo", kTxt}};

const char* const kFrenataForms[] = {"percentuale massa frenata"};
const char* const kVettureForms[] = {"numero vetture"};
// "velocità" in Windows-1252, and in UTF-8 (which has its own warning).
const char* const kVelocitaForms[] = {"velocita", "velocit\xe0", "velocit\xc3\xa0"};
const FieldFormat kVelocitaFields[] = {{"posizione", kI32}, {"velocita", kI32}};
const char* const kAderenzaForms[] = {"aderenza"};
const FieldFormat kAderenzaFields[] = {{"posizione", kI32}, {"aderenza", kI32}};
const char* const kOrologioForms[] = {"orologio"};
const FieldFormat kOrologioFields[] = {{"dato4", kI16}, {"dato5", kI16}, {"dato6", kI16}};
const char* const kSabbiaForms[] = {"sabbia"};
const FieldFormat kValoreI16[] = {{"valore", kI16}};
const char* const kSegnaleForms[] = {"segnale"};
const FieldFormat kSegnaleFields[] = {
    {"posizione", kI32}, {"sx", kI32}, {"s1", kI32}, {"s2", kI32}, {"s3", kI32},   {"rapp", kI32},
    {"dx", kI32},        {"d1", kI32}, {"d2", kI32}, {"d3", kI32}, {"tempo", kI32}};
const char* const kRallentamentoForms[] = {"rallentamento"};
const FieldFormat kRallentamentoFields[] = {{"x", kI32},    {"v", kI32},    {"l", kI32},
                                            {"f_tt", kI32}, {"f_ta", kI32}, {"d_v", kI32}};
const char* const kAbbattimentoForms[] = {"abbattimento"};
const FieldFormat kAbbattimentoFields[] = {{"posizione", kI32}, {"valore", kI32}};
const char* const kStazioneForms[] = {"stazione"};
const FieldFormat kStazioneFields[] = {
    {"posizione", kI32}, {"tipo", kU8},   {"lunghezza", kI32}, {"dato1", kU8}, {"dato10", kU8},
    {"dato9", kU8},      {"dato2", kI16}, {"dato3", kI16},     {"dato7", kU8}, {"dato4", kI16},
    {"dato5", kI16},     {"dato6", kI16}, {"dato8", kU8},      {"ore", kI32},  {"minuti", kI32},
    {"secondi", kI32},   {"nome", kTxt}};

}  // namespace

const RecordFormat kLunghezza{"lunghezza percorso", kLunghezzaForms, kLunghezzaFields};
const RecordFormat kProgressiva{"progressiva chilometrica", kProgressivaForms, kProgressivaFields};
const RecordFormat kSfondo{"sfondo", kSfondoForms, kValoreI32};
const RecordFormat kRipetizione{"ripetizione segnali", kRipetizioneForms, kRipetizioneFields};
const RecordFormat kPendenza{"pendenza", kPendenzaForms, kPendenzaFields};
const RecordFormat kCurva{"curva", kCurvaForms, kCurvaFields};
const RecordFormat kMontagna{"montagna", kMontagnaForms, kMontagnaFields};
const RecordFormat kIndicatori{"indicatori_vmax", kIndicatoriForms, kIndicatoriFields};
const RecordFormat kCartello{"cartello_indicatore", kCartelloForms, kCartelloFields};
const RecordFormat kFrenata{"percentuale massa frenata", kFrenataForms, kValoreI32};
const RecordFormat kVetture{"numero vetture", kVettureForms, kValoreI32};
const RecordFormat kVelocita{"velocita", kVelocitaForms, kVelocitaFields};
const RecordFormat kAderenza{"aderenza", kAderenzaForms, kAderenzaFields};
const RecordFormat kOrologio{"orologio", kOrologioForms, kOrologioFields};
const RecordFormat kSabbia{"sabbia", kSabbiaForms, kValoreI16};
const RecordFormat kSegnale{"segnale", kSegnaleForms, kSegnaleFields};
const RecordFormat kRallentamento{"rallentamento", kRallentamentoForms, kRallentamentoFields};
const RecordFormat kAbbattimento{"abbattimento", kAbbattimentoForms, kAbbattimentoFields};
const RecordFormat kStazione{"stazione", kStazioneForms, kStazioneFields};

}  // namespace formats

namespace {

using namespace formats;

const RecordFormat* const kLineGenerale[] = {&kLunghezza, &kProgressiva, &kSfondo, &kRipetizione};
const RecordFormat* const kLine[] = {&kPendenza, &kCurva, &kMontagna, &kIndicatori, &kCartello};
const RecordFormat* const kTrain[] = {&kFrenata,      &kVetture, &kVelocita, &kAderenza,
                                      &kOrologio,     &kSabbia,  &kSegnale,  &kRallentamento,
                                      &kAbbattimento, &kStazione};
const char* const kLineSections[] = {"[generale]", "[curve]",       "[pendenze]", "[montagne]",
                                     "[cartelli]", "[indicazioni]", "[fine]"};
const char* const kTrainSections[] = {"[generale]",      "[aderenze]", "[vel_limite]", "[stazioni]",
                                      "[rallentamenti]", "[segnali]",  "[codici]",     "[fine]"};

}  // namespace

std::span<const RecordFormat* const> LineGeneraleRecords() { return kLineGenerale; }
std::span<const RecordFormat* const> LineRecords() { return kLine; }
std::span<const RecordFormat* const> TrainRecords() { return kTrain; }
std::span<const char* const> LineSections() { return kLineSections; }
std::span<const char* const> TrainSections() { return kTrainSections; }

}  // namespace scenario
