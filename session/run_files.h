// The run's result files: the current-sum report AntStrSu.txt, the special
// table AntSpezi.txt and the picture AntKurve.BMP. Each is written under a
// temporary name in the results folder, which the run locks for itself;
// none is renamed into place before every one is complete, and a file that
// cannot fit the folder is refused before it is started.
#pragma once

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>

#include "engine/candidates.h"
#include "engine/scan.h"
#include "io/staged_files.h"
#include "picture/curve_picture.h"
#include "session/question.h"
#include "session/run.h"
#include "session/run_errors.h"
#include "text/catalogue.h"
#include "text/reports/reportdata.h"

namespace lorvant {

// One result file of the run. It is written under a temporary name and
// renamed into place only when every file of the run is complete.
struct RunFile {
  files::StagedFile staged;
  files::StagedStreamBuf buffer{staged};
  std::ostream stream{&buffer};
  bool wanted = false;   // the run means to write it
  bool dropped = false;  // given up with Ignore; a note says it was not written

  // (Re)creates the temporary file.
  void start() {
    stream.clear();
    buffer.reset();
    staged.open();
  }
  // Throws the first write failure, if any; a stop request ends the run.
  void check() {
    stream.flush();
    if (buffer.failure() && buffer.failure()->error() == ECANCELED) throw RunStopped{RunOutcome::Cancelled, {}};
    if (buffer.failure()) throw *buffer.failure();
    if (!stream.good()) throw files::FileError(EIO, staged.target());
  }
  // Flushed to the disk and closed, ready for the rename.
  void finish() {
    check();
    staged.finish();
  }
  void drop() {
    staged.discard();
    dropped = true;
  }
  bool ready() const { return wanted && !dropped && staged.isFinished(); }
};

class RunFiles {
 public:
  RunFiles(const RunInput& in, RunHost& host, RunErrors& errors);

  RunFile report;
  RunFile special;
  RunFile picture;

  // Aims the report, and the special table when it is wanted, at the
  // results folder.
  void aim(bool specialTable);
  // Locks the results folder for this run and clears it of the temporaries
  // that crashed runs left (older than `started`). False when the user
  // ignored a failing lock: the run goes on, but writes none of its files.
  bool lock(std::chrono::system_clock::time_point started);
  void unlock() { lock_.unlock(); }

  // The special table is wanted and not given up.
  bool specialOn() const { return specialOn_; }
  void dropSpecial();

  // A file that cannot fit the folder's free space ends the run with a
  // message giving both sizes; one above kLargeTableBytes is written only
  // when the user agrees.
  void weighSpecialTable(std::uint64_t bytes);
  void weighReport(std::uint64_t bytes);

  // (Re)starts the special table: its header, then the rows 0..upTo.
  void startSpecial(const report::ReportData& d, const WireCurrents& currents, std::int64_t upTo);
  // The current-sum report, unless its opening was ignored; a Retry writes
  // it anew.
  void writeReport(const report::ReportData& d, std::span<const FeedCandidate> reported);

  // The picture is encoded in memory and staged in the results folder with
  // the reports.
  void stagePicture(const CurvePicture& curve);

  // Renames every complete file into place at once and tells `out` which
  // files were written and which not.
  void commit(RunOutput& out);

  // Nothing of this run reaches the folder; the earlier files stay.
  void discardAll();

 private:
  struct SizeTexts {
    Text wouldTake;  // "Die Spezial-Tabelle AntSpezi.txt würde etwa "
    Text advice;     // what to change
    Text declined;   // "Spezial-Tabelle von etwa "
  };
  using LargeFileQuestion = Question (*)(Language, std::uint64_t, std::optional<std::uint64_t>, char);
  void Weigh(std::uint64_t bytes, const SizeTexts& texts, LargeFileQuestion largeQuestion);
  void NoteWritten(RunOutput& out) const;
  void NoteUnwritten(RunOutput& out) const;

  const std::string folder_;
  const Language lang_;
  const char sep_;
  RunHost& host_;
  RunErrors& errors_;
  files::FolderLock lock_;
  bool specialOn_ = false;
  bool filesOff_ = false;  // the folder lock was ignored: no file is written
};

}  // namespace lorvant
