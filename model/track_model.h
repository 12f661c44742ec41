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

namespace scenario {

class FileSystem;
class FieldReader;

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

// Kind of a plan element as stored in the line file. Written to disk; never
// change.
enum class PlanKind : uint16_t { kEmpty = 0, kInt16 = 2, kDouble = 5 };

// One coordinate of the plan: empty, a 16-bit integer or a double.
struct PlanNumber {
  PlanKind kind = PlanKind::kEmpty;
  double value = 0;  // an exact integer when kind is kInt16
};

// Where in a source file a record starts (its keyword field). Line and column
// count from 1; 0 means unknown.
struct SourceLocation {
  enum class File { kNone, kLine, kTrain };
  File file = File::kNone;
  size_t offset = 0;  // byte offset of the keyword field
  bool known() const { return file != File::kNone; }
};

// What the compile pass overwrites without recording a problem; reported to
// an observer so that the companion tool can warn about it.
enum class Overwrite {
  kStationCell,   // a station cell replaced an occupied cell
  kAdvanceCode,   // an advance code replaced another advance code or marker
  kTunnelRange,   // a tunnel range covered cells of an earlier range
};

class CompileObserver {
 public:
  virtual ~CompileObserver() = default;
  // `cell` is the overwritten cell as it was before; `where` the record that
  // overwrote it.
  virtual void OnOverwrite(Overwrite kind, int32_t index, const cella& before,
                           const SourceLocation& where) = 0;
  // A record set the `tipo` of cell `index` (signal, restriction, board,
  // station cell, code cell).
  virtual void OnPlaced(int32_t index, const SourceLocation& where) = 0;
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
  std::array<voce, 87> tabella;
  std::vector<std::array<PlanNumber, 2>> planimetria;  // [metre][0 = x, 1 = y]
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
  int32_t voce_cartello = 80;

  // --- our own plumbing ----------------------------------------------------------
  // The record that caused the current cod_errore, when a reader recorded it.
  SourceLocation problem_location;
  // Optional; told about silent overwrites.
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

  // Sets the problem record; `where` is the record that caused it, if known.
  void RecordProblem(int32_t code, const SourceLocation& where);
  void RecordProblem(int32_t code, int32_t position, const SourceLocation& where);

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
  ReadOutcome ReadLineSource(FieldReader* in);
  ReadOutcome ReadTrainSource(FieldReader* in);
  // Computes plan metre m from the two before it; false when m is outside
  // the plan.
  bool ComputeMetre(int64_t m, double curvatura);
  void PostPass();
  void StampChecks();
  void WriteCompiledFiles();
  void Notify(Overwrite kind, int32_t index, const SourceLocation& where);
  void NotifyPlaced(int64_t index);

  FileSystem* fs_;
  std::string folder_;
  SourceLocation record_;  // the record being read
  CompileOutcome halt_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_TRACK_MODEL_H_
