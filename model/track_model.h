// The scenario in memory: the 50-metre track cells, the 87 slots, the
// per-metre plan of the line and the tunnel lists, together with every
// procedure that fills, checks and stores them. One object per run; the
// readers fill it, the post-pass adds codes, the writer stores it.
//
// Procedures keep the names and parameters they have always had. Each is
// defined in the folder of its subsystem: the writers in content/, the
// readers and record placement in reader/, the compile pass, post-pass, check
// codes and file writer in model/, `errore`, `minimo` and `scrivi_righe` in
// driver/.
#ifndef SCENARIO_MODEL_TRACK_MODEL_H_
#define SCENARIO_MODEL_TRACK_MODEL_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/file_names.h"
#include "model/line_plan.h"
#include "model/slots.h"

namespace scenario {

class FileSystem;
class FieldReader;
class SourceChecker;

// One track cell of 50 m; 15 bytes in the track file.
struct cella {
  uint8_t tipo = 0;       // cell type code (kTipo* below); 0 = nothing here
  int16_t valore = 0;     // main value: signal s1*10+d1, restriction speed, slot...
  int16_t valore2 = 0;    // second value: signal s2*10+d2, d_v, check code in cell 1
  int16_t valore3 = 0;    // third value: signal s3*10+d3, f_tt
  int16_t valore4 = 0;    // fourth value: signal rapp*10+sx*3+dx, board stripes
  uint8_t tempo = 0;      // signal time (sx = 2 only)
  uint8_t preavviso = 0;  // advance code before a signal or a station cell
  uint8_t montagna = 0;   // tunnel kind of the range covering the cell
  uint8_t velocita = 0;   // line speed limit / 5
  uint8_t pendenza = 0;   // gradient + 100
  uint8_t aderenza = 0;   // adhesion
};

// Cell type codes. Written to disk; never change.
enum : uint8_t {
  kTipoLibero = 0,          // nothing; free
  kTipoSegnale = 1,         // signal
  kTipoFineRall = 2,        // end of a speed restriction
  kTipoInizioRall = 3,      // start of a speed restriction
  kTipoAvvisoRall = 4,      // restriction warning board, 1200 m before the start
  kTipoZonaRall = 5,        // one of the four cells of a warning zone
  kTipoIndicatore = 6,      // maximum-speed indicator board
  kTipoStazione = 10,       // station cell: last cell of a station zone
  kTipoMarcaGalleria = 11,  // tunnel marker; counts as free
  kTipoCodice = 12,         // code cell with its value in `valore`
  kTipoAbbattimento = 13,   // abbattimento without a value
  kTipoCartello = 14,       // text board, its text in a slot
};

// One slot of `tabella`; 34 bytes plus the name in the run file.
struct voce {
  uint8_t tipo = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
  uint8_t dato1 = 0;
  std::string nome;  // Windows-1252 bytes
  int16_t dato2 = 0;
  int16_t dato3 = 0;
  int16_t dato4 = 0;
  int16_t dato5 = 0;
  int16_t dato6 = 0;
  uint8_t dato7 = 0;
  uint8_t dato8 = 0;
  uint8_t dato9 = 0;
  uint8_t dato10 = 0;
  int32_t orario = 0;  // seconds since midnight
};

// Where in a source file a record starts: the byte offset of its keyword
// field, or the whole file (a missing line source).
struct SourceLocation {
  enum class File { kNone, kLine, kTrain };
  static constexpr size_t kWholeFile = static_cast<size_t>(-1);
  File file = File::kNone;
  size_t offset = 0;
  bool known() const { return file != File::kNone; }
  bool whole_file() const { return known() && offset == kWholeFile; }
  bool operator==(const SourceLocation&) const = default;
};

// --- what the compile pass tells an observer ---------------------------------
// The companion tool builds its reports from these events alone: the model
// says where each problem came from and who put each thing in its place, so
// nobody works the placement out a second time.

// A record set the `tipo` of cell `index`: a signal, a restriction cell, a
// board, an abbattimento, a station cell, a tunnel marker; or the post-pass
// made a code cell there on behalf of the signal or restriction `record`.
struct PlacementEvent {
  int32_t index = 0;
  uint8_t tipo = 0;
  SourceLocation record;
  bool by_post_pass = false;
};

// A record filled slot `slot` of `tabella`, once all its fields were read:
// a station (slots from 1 up) or the text of a board (from 80 down).
struct SlotEvent {
  int32_t slot = 0;
  SourceLocation record;
};

// What the compile pass overwrites without recording a problem.
enum class Overwrite {
  kStationCell,  // a station cell replaced an occupied cell
  kAdvanceCode,  // an advance code replaced another advance code or marker
  kTunnelRange,  // a tunnel range covered cells of an earlier range
};

struct OverwriteEvent {
  Overwrite kind = Overwrite::kStationCell;
  int32_t index = 0;      // the cell overwritten
  cella before;           // as it was before
  SourceLocation record;  // the record that overwrote it
  // Who put there what was overwritten, when a record did: the record that
  // set the cell's tipo (kStationCell), the signal or station whose advance
  // code it was (kAdvanceCode), the earlier tunnel range (kTunnelRange).
  SourceLocation earlier;
  int32_t earlier_cell = -1;  // kAdvanceCode: the cell of that signal or station
  uint8_t earlier_tipo = 0;   // kAdvanceCode: kTipoSegnale or kTipoStazione
  int32_t earlier_range = 0;  // kTunnelRange: that range's index in the tunnel lists
};

// A cell that stood in the way of a placement, as the placement found it.
struct CellInTheWay {
  int32_t index = 0;
  uint8_t tipo = 0;
  SourceLocation placed_by;   // the record that put it there; unknown when none did
  bool by_post_pass = false;  // a code cell the post-pass made for `placed_by`
};

// Why the reading ended in the error trap (problem 25).
struct FaultCause {
  enum class Kind {
    kUnknown,
    kCutShort,       // the file ended inside a record
    kValue,          // a value that does not fit its field or what is made of it
    kTable,          // a table that would overflow
    kCursor,         // a fill cursor that ran past the last cell
    kCell,           // a position whose cell lies outside the track
    kNoRouteLength,  // no route length was read before the cells were needed
    kFile,           // a source that could not be read or deleted
  };
  Kind kind = Kind::kUnknown;
  // The field (kValue, kCell), or where the file ended (kCutShort).
  SourceLocation field;
  // kValue, kCell: the field's name ("tipo", "vas e vad"); kTable: the table
  // ("gallerie", "voci dei cartelli", "planimetria"); kCursor: the cursor
  // ("pendenze", "aderenza"); kFile: the file system's message.
  std::string name;
  std::string value;       // kValue: the value as read or as computed
  int64_t lo = 0, hi = 0;  // kValue: the range; kTable: hi = room; kCursor, kCell: hi = last cell
  int64_t reached = 0;     // kCursor, kCell: the cell; kTable: the index asked for
  int32_t read = 0;        // kCutShort: value fields read
  int32_t expected = 0;    // kCutShort: value fields the record has
  // The record that gave the value, when it is not the record being read
  // (a speed carried on to the next speed record).
  SourceLocation record;
};

// A problem: recorded in cod_errore, or shown by errore (1250, 1251). The
// last one an observer hears of is the run's problem.
struct ProblemEvent {
  int32_t code = 0;
  int32_t position = 0;  // pos_errore once it was recorded; 0 for a box
  // The record it belongs to: the record being read; for the post-pass the
  // signal or restriction; for error 2 the progressiva record; for 1250 and
  // 1251 the record that took cell 1; for a value that faulted later (a
  // speed that fits no cell) the record that gave it.
  SourceLocation record;
  std::vector<CellInTheWay> cells;  // the taken cells that caused it, if any

  // 15: the route length in force, the record it came from (unknown when
  // none was read), and the largest position the record could have had.
  int32_t lunghezza = 0;
  SourceLocation length_record;
  double last_position = 0;
  // 22: the station before it: slot, name (Windows-1252), record, zone end;
  // and the start of this station's zone.
  int32_t earlier_slot = 0;
  std::string earlier_nome;
  SourceLocation earlier_record;
  int32_t earlier_fine = 0;
  int32_t inizio = 0;
  // 25: why.
  FaultCause fault;
};

// The train-run reader stopped at a signal or restriction because a problem
// was already recorded (a record of the line past its end): the problem
// stays the earlier one; pos_errore became `position`.
struct StopEvent {
  int32_t code = 0;
  int32_t position = 0;
  SourceLocation record;
};

// What the readers swallow without recording a problem: the reading goes on
// exactly as without an observer; the events only say where and why.
enum class SourceWarning {
  kEmptySource,         // the source holds nothing but blanks and line ends
  kNoGenerale,          // a train-run source without "[generale]": nothing is read
  kNoStation,           // a train-run source read to its end without a station
  kNoSignal,            // ... without a signal
  kBeforeGenerale,      // text before "[generale]", ignored
  kUnknownField,        // a field at the start of a line that is no keyword: ignored
  kUnknownSection,      // a bracketed header that is no section of this source
  kKeywordInText,       // a field read as a record because its text contains a keyword
  kNotANumber,          // a field read as a number that is none: 0
  kEmptyNumber,         // an empty field read as a number: 0
  kFieldsFromNextLine,  // the record's fields run into the following lines
  kExtraFields,         // fields after the record's last one, read as keyword fields
  kTab,                 // a tab character
  kUtf8,                // bytes that read as UTF-8, not Windows-1252
};

struct WarningEvent {
  SourceWarning kind = SourceWarning::kUnknownField;
  // The field or character; for kFieldsFromNextLine the end of the record's
  // line; the whole file for kEmptySource, kNoGenerale, kNoStation, kNoSignal.
  SourceLocation where;
  // The record's keyword field, when there is a record; kNoGenerale: the
  // first field that looks like a section header, if any.
  SourceLocation record;
  // The field (Windows-1252); kUtf8: the field holding the bytes;
  // kExtraFields: the rest of the line; kNoGenerale: that header.
  std::string text;
  std::string keyword;   // the record read: its name ("segnale", "velocita")
  std::string field;     // kNotANumber, kEmptyNumber: the field's name in the record
  int32_t on_line = 0;   // kFieldsFromNextLine, kKeywordInText: value fields on the record's line
  int32_t expected = 0;  // ... value fields the record reads
};

// Every event has a default that does nothing: an observer overrides what it
// needs, and a new kind of event leaves the existing observers alone.
class CompileObserver {
 public:
  virtual ~CompileObserver() = default;
  virtual void OnPlaced(const PlacementEvent&) {}
  virtual void OnSlot(const SlotEvent&) {}
  virtual void OnOverwrite(const OverwriteEvent&) {}
  virtual void OnProblem(const ProblemEvent&) {}
  virtual void OnStop(const StopEvent&) {}
  virtual void OnWarning(const WarningEvent&) {}
};

// Texts the readers and writers compare against. Written in the sources;
// never change.
inline constexpr char kSentinella[] = "riferimento fine del file";

// How a compile pass, or a step of the run before it, ended. Nothing in the
// model ends the process: the caller shows what there is to show and
// decides.
struct CompileOutcome {
  enum class Kind {
    kDone,     // every file written, no problem recorded
    kProblem,  // every file written; `code` and `position` are the recorded problem
    kStop,     // the run stopped: a file that cannot be written or deleted, or a
               // line without route length; `message` says which. Files finished
               // before stay as they are; later ones are not written.
    kBox,      // errore: the box " Errore n. " + `code` must be shown; no compiled
               // file was written
  };
  Kind kind = Kind::kDone;
  int32_t code = 0;      // kProblem: cod_errore; kBox: the number in the box
  int32_t position = 0;  // kProblem: pos_errore
  std::string message;   // kStop: what stopped the run; kBox: the text of the box
};

class TrackModel {
 public:
  // `fs` is not owned. `folder` is the folder of every file the model reads
  // or writes.
  TrackModel(FileSystem* fs, std::string folder);

  // --- run driver (driver/) ------------------------------------------------
  // Writes `righe` (UTF-8 texts) to `nome_file` as Windows-1252 lines ended
  // by CR LF, up to the sentinel entry (not written). A file that cannot be
  // written stops the run (Halt).
  void scrivi_righe(const std::string& nome_file, const std::vector<std::string>& righe);
  // The box " Errore n. " + a ends the compile pass: nothing of it runs
  // afterwards and no compiled file is written. The pass returns it as its
  // outcome (kBox); whoever called the pass shows the box and ends the
  // program. `a` is normally the number as decimal text.
  void errore(const std::string& a);
  // The smaller of x and y; x on ties.
  static int32_t minimo(int32_t x, int32_t y) { return x > y ? y : x; }

  // --- writers (content/) ----------------------------------------------------
  void dati_linea();
  void dati_treno();
  void dati_note();
  void dati_rallentamenti();
  void dati_scheda();

  // --- compile pass (model/) -------------------------------------------------
  // Clears the slots, reads both sources (deleting them), adds signal codes,
  // stamps the marks and check codes and writes the compiled files; the line
  // file only when j is not 0. Returns how it ended; never ends the process.
  CompileOutcome memorizza_percorso(int32_t j);
  // Reads the line source and then the train-run source into the model.
  void memorizza_dati();

  // --- line record placement (reader/) ----------------------------------------
  void progressive_ordina();
  // REQUIRES: `celle` exists. Returns false on a fault for the error trap
  // (more tunnel ranges than the lists hold).
  bool memo_montagna(int32_t inizio, int32_t fine, int32_t& tipo);
  // REQUIRES: the cell of posizione exists. Sets cod_errore = 21 when the cell
  // is taken. Returns false on a fault for the error trap (a packed value that
  // does not fit 16 bits); the cell then keeps tipo 6 and the values packed
  // before that one.
  bool memo_indicatori_v_max(int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                             int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                             int32_t strisced);

  // --- train record placement (reader/) ---------------------------------------
  // Both return false on a fault for the error trap (a cell outside `celle`,
  // an overflow); conflicts are recorded in cod_errore (16 to 20).
  bool memo_segnale(int32_t posizione, int32_t& sx, int32_t& s1, int32_t& s2, int32_t& s3,
                    int32_t& rapp, int32_t& dx, int32_t& d1, int32_t& d2, int32_t& d3,
                    int32_t& tempo);
  bool memo_rallentamento(int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta,
                          int32_t& d_v);

  // --- check codes (model/) ---------------------------------------------------
  int32_t codice_gara_og();
  int32_t codice_gara_st();

  // --- the model ---------------------------------------------------------------
  std::string linea;
  std::string treno;
  std::vector<cella> celle;  // indices 0 to ultima_cella; empty until the route length is read
  std::array<voce, kVoci> tabella;
  LinePlan planimetria;  // metres 0 to ultimo_metro; empty unless crea_linea
  std::array<int32_t, 81> inizi_montagna{};
  std::array<int32_t, 81> fini_montagna{};
  int32_t n_montagne = 0;
  int32_t crea_linea = 0;
  int32_t ultimo_metro = 0;
  int32_t ultima_cella = 0;
  int32_t cod_errore = 0;
  int32_t pos_errore = 0;
  std::string campo;
  int32_t corrente = 0, passo = 0, conta = 0, indice = 0, occupato = 0, ripeti = 0;
  int32_t voce_cartello = kVoceCartelli;

  // --- our own plumbing ----------------------------------------------------------
  // The record the current cod_errore belongs to, as the ProblemEvent says.
  SourceLocation problem_location;
  // Optional, not owned; told about placements, silent overwrites and
  // problems.
  CompileObserver* observer = nullptr;

  // The full name of one of the model's files: folder, separator, own name.
  std::string FullName(const std::string& own_name) const;
  // Own names of the files, formed from linea and treno.
  std::string LineSourceName() const { return scenario::LineSourceName(linea); }
  std::string TrainSourceName() const { return scenario::TrainSourceName(linea, treno); }
  std::string LineFileName() const { return scenario::LineFileName(linea); }
  std::string RunFileName() const { return scenario::RunFileName(linea, treno); }
  std::string TrackFileName() const { return scenario::TrackFileName(linea, treno); }
  std::string DocumentName(const char* suffix) const {
    return scenario::DocumentName(linea, treno, suffix);
  }

  // True when `celle` has a cell with that index.
  bool HasCell(int64_t n) const { return n >= 0 && n < static_cast<int64_t>(celle.size()); }
  // The free-cell rule: tipo 0 or 11.
  static bool IsFree(const cella& c) { return c.tipo == kTipoLibero || c.tipo == kTipoMarcaGalleria; }

  // Sets the problem record and tells the observer. `where` is the record it
  // belongs to, if known; `cells` the taken cells that caused it. After a
  // record-placement procedure reported a conflict (Conflict), the cells it
  // found taken are used.
  void RecordProblem(int32_t code, const SourceLocation& where, std::vector<int64_t> cells = {});
  void RecordProblem(int32_t code, int32_t position, const SourceLocation& where,
                     std::vector<int64_t> cells = {});
  // The same, with what the observer hears beyond code, position, record
  // and cells (the route length of a 15, the station before a 22, the cause
  // of a 25).
  void RecordProblemWith(int32_t code, const SourceLocation& where, ProblemEvent detail);
  void RecordProblemWith(int32_t code, int32_t position, const SourceLocation& where,
                         ProblemEvent detail);

  // The first stop of the run (kStop or kBox), or kDone while there is none.
  // The run driver looks at it after each step and runs no later step once
  // it is set.
  const CompileOutcome& halt() const { return halt_; }
  bool halted() const { return halt_.kind != CompileOutcome::Kind::kDone; }
  // Stops the run with `message`; a later stop does not replace the first.
  void Halt(const std::string& message);
  // Stops the run: the file at `path` could not be written or deleted.
  void HaltOnFile(const std::string& path, const std::string& err);

  FileSystem* fs() const { return fs_; }
  const std::string& folder() const { return folder_; }

 private:
  // Tests run the stages after reading on a model they filled by hand.
  friend class TrackModelTestPeer;

  enum class ReadOutcome { kDone, kStop, kFault };
  ReadOutcome ReadLineSource(FieldReader* in, SourceChecker* check);
  ReadOutcome ReadTrainSource(FieldReader* in, SourceChecker* check);
  // Why the reading is about to end in the error trap; the first cause
  // given stays. Fault returns false, ReadFault kFault, for the callers'
  // returns.
  bool Fault(FaultCause cause);
  ReadOutcome ReadFault(FaultCause cause) {
    Fault(std::move(cause));
    return ReadOutcome::kFault;
  }
  // A source was read to `outcome`: completes the cause of a fault from the
  // checker and lets it finish.
  void SourceRead(ReadOutcome outcome, FieldReader* in, SourceChecker* check);
  // The detail of a problem 15 for a record whose position needed `margin`
  // metres of track after it.
  ProblemEvent TrackDetail(int32_t margin) const;
  // The train-run reader stops at a signal or restriction because of a
  // problem recorded before it: pos_errore becomes `position`, the problem
  // and its record stay.
  ReadOutcome StopForEarlierProblem(int32_t position);
  // Computes the plan metres [first, last] from the two before each:
  // straight when curvatura is 0, curved otherwise.
  // REQUIRES: 2 <= first, last < planimetria.size(), metres first - 2 and
  // first - 1 hold numbers.
  void ComputeMetres(int64_t first, int64_t last, double curvatura);
  // Runs the plan on from *metro_attuale up to metre `limit`, advancing the
  // cursor. Within a curve record (`at_curve`) the record stops once the
  // cursor passes metre 1000000: error 103, kStop. kFault when the plan ends
  // first; kDone otherwise.
  ReadOutcome RunPlanTo(int64_t* metro_attuale, int64_t limit, double curvatura, bool at_curve);
  void PostPass();
  void StampChecks();
  void WriteCompiledFiles();
  void WriteLineFile();
  // Who put what into a cell, for the events. Kept for the cells of the
  // current `celle`; made anew with it.
  struct CellOrigin {
    SourceLocation tipo;          // the record that set the cell's tipo
    bool by_post_pass = false;    // the post-pass made the code cell for `tipo`
    SourceLocation preavviso;     // the record whose advance code the cell holds
    int32_t preavviso_cell = -1;  // the cell of that signal or station
    uint8_t preavviso_tipo = 0;   // kTipoSegnale or kTipoStazione
    SourceLocation tunnel;        // the last tunnel range covering the cell
    int32_t tunnel_range = 0;     // its index in the tunnel lists
  };
  // REQUIRES: HasCell(index).
  CellOrigin& OriginOf(int64_t index);
  void ResetOrigins();
  // A record (or the post-pass, for `record`) set the tipo of cell `index`.
  void Placed(int64_t index, const SourceLocation& record, bool by_post_pass = false);
  // The record being read filled slot `slot`.
  void SlotFilled(int32_t slot) {
    if (observer != nullptr) observer->OnSlot(SlotEvent{slot, record_});
  }
  // The record being read put an advance code into cell `index` for the
  // signal or station (`owner_tipo`) in cell `owner`.
  void AdvanceCodePlaced(int64_t index, int64_t owner, uint8_t owner_tipo);
  // A record is about to overwrite cell `index` silently.
  void Notify(Overwrite kind, int64_t index);
  // A record-placement procedure found `cells` taken: cod_errore = code.
  void Conflict(int32_t code, std::vector<int64_t> cells);
  void NotifyProblem(ProblemEvent event, const std::vector<int64_t>& cells);

  FileSystem* fs_;
  std::string folder_;
  SourceLocation record_;  // the record being read
  CompileOutcome halt_;
  std::vector<CellOrigin> origins_;
  // The progressiva records behind slots 81, 82 and 83, moved with them.
  std::array<SourceLocation, kProgressive> progressive_records_;
  int32_t conflict_code_ = 0;  // the conflict a placement procedure found
  std::vector<int64_t> conflict_cells_;
  FaultCause fault_;              // why the reading is ending in the error trap
  SourceLocation length_record_;  // the "lunghezza percorso" record in force
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_TRACK_MODEL_H_
