#include "session/run_files.h"

#include <vector>

#include "text/bilingual.h"
#include "text/reports/spezi.h"
#include "text/reports/strsum.h"

namespace lorvant {

namespace {

constexpr const char* kReportName = "AntStrSu.txt";
constexpr const char* kSpecialName = "AntSpezi.txt";
constexpr const char* kPictureName = "AntKurve.BMP";

}  // namespace

RunFiles::RunFiles(const RunInput& in, RunHost& host, RunErrors& errors)
    : folder_(in.resultsFolder), lang_(in.language), sep_(in.decimalSeparator), host_(host), errors_(errors) {
  for (RunFile* f : {&report, &special}) f->buffer.setInterrupt([this] { return host_.stopRequested(); });
}

void RunFiles::aim(bool specialTable) {
  report.staged.setTarget(folder_ + kReportName);
  report.wanted = true;
  if (!specialTable) return;
  special.staged.setTarget(folder_ + kSpecialName);
  special.wanted = true;
  specialOn_ = true;
}

bool RunFiles::lock(std::chrono::system_clock::time_point started) {
  if (!errors_.attempt([&] {
        if (!lock_.tryLock(folder_)) throw FolderBusy{folder_};
      })) {
    filesOff_ = true;
    report.drop();
    if (specialOn_) dropSpecial();
    return false;
  }
  files::RemoveStaleTemporaries(folder_, started);
  return true;
}

void RunFiles::dropSpecial() {
  special.drop();
  specialOn_ = false;
}

void RunFiles::Weigh(std::uint64_t bytes, const SizeTexts& texts, LargeFileQuestion largeQuestion) {
  const std::optional<std::uint64_t> free = files::FreeBytes(folder_);
  if (free && bytes > *free) {
    Question q;
    q.text = say(lang_, texts.wouldTake) + SizeText(bytes, sep_) + say(lang_, Text::RunRoomBeforeFolder) + folder_ +
             say(lang_, Text::RunRoomAfterFolder) + SizeText(*free, sep_) + say(lang_, Text::RunRoomFree) +
             say(lang_, texts.advice);
    q.title = say(lang_, Text::RunNotEnoughRoomTitle);
    q.icon = Icon::Critical;
    q.buttons = Buttons::Ok;
    q.id = QuestionId::NotEnoughRoom;
    host_.ask(q);
    throw RunStopped{RunOutcome::TableTooLarge, q.text};
  }
  if (bytes > kLargeTableBytes && host_.ask(largeQuestion(lang_, bytes, free, sep_)) != Answer::Yes)
    throw RunStopped{RunOutcome::LargeTableDeclined,
                     say(lang_, texts.declined) + SizeText(bytes, sep_) + say(lang_, Text::RunNotConfirmed)};
}

void RunFiles::weighSpecialTable(std::uint64_t bytes) {
  Weigh(bytes, {Text::RunSpecialTableWouldTake, Text::RunSpecialTableAdvice, Text::RunSpecialTableDeclined},
        LargeTableQuestion);
}

void RunFiles::weighReport(std::uint64_t bytes) {
  Weigh(bytes, {Text::RunReportWouldTake, Text::RunReportAdvice, Text::RunReportDeclined}, LargeReportQuestion);
}

void RunFiles::startSpecial(const report::ReportData& d, const WireCurrents& currents, std::int64_t upTo) {
  special.start();
  report::SpecialTableWriter writer(special.stream, d);
  writer.header();
  for (std::int64_t q = 0; q <= upTo && special.stream.good(); ++q) {
    const StepCurrents v = currents.at(static_cast<std::int32_t>(q));
    writer.row(static_cast<std::int32_t>(q), v.currentSum, v.current, v.extra.G);
  }
  special.check();
}

void RunFiles::writeReport(const report::ReportData& d, std::span<const FeedCandidate> reported) {
  if (report.dropped) return;  // opening was ignored
  bool first = true;
  const bool ok = errors_.attempt([&] {
    if (!first || !report.staged.isOpen()) report.start();
    first = false;
    report::WriteCurrentSumReport(report.stream, d, reported);
    report.finish();
  });
  if (!ok) report.drop();
}

// The user looks for the picture beside the reports, an installed program's
// folder takes no files, and two users or two folders must not share one
// picture.
void RunFiles::stagePicture(const CurvePicture& curve) {
  if (!curve.keepsImage()) return;
  picture.wanted = true;
  if (filesOff_) {
    picture.drop();
    return;
  }
  const std::string bytes = curve.bitmap();
  const bool ok = errors_.attempt([&] {
    if (bytes.empty()) throw files::FileError(EIO, folder_ + kPictureName);
    picture.staged.setTarget(folder_ + kPictureName);
    picture.staged.open();
    picture.staged.write(bytes);
    picture.staged.finish();
  });
  if (!ok) picture.drop();
}

// A failure of the renames puts the earlier files back, so the folder holds
// the old set or the new one.
void RunFiles::commit(RunOutput& out) {
  std::vector<files::StagedFile*> set;
  for (RunFile* f : {&report, &special, &picture})
    if (f->ready()) set.push_back(&f->staged);
  if (!set.empty() && !errors_.attempt([&] { files::CommitFiles(set); }))
    for (RunFile* f : {&report, &special, &picture})
      if (f->ready()) f->drop();
  if (!special.ready() && specialOn_) specialOn_ = false;
  NoteWritten(out);
  NoteUnwritten(out);
}

void RunFiles::NoteWritten(RunOutput& out) const {
  if (report.staged.isCommitted()) {
    out.reportPath = report.staged.target();
    out.files.push_back(out.reportPath);
    // With the special table dropped after an error, the message names the
    // one file that exists.
    for (Language lang : kBothLanguages)
      out.note.in(lang) = report::WithFileMessageLine(out.note.in(lang), report::TableFileMessage(lang, specialOn_));
  }
  if (special.staged.isCommitted()) out.files.push_back(special.staged.target());
  if (picture.staged.isCommitted()) {
    const std::string saved = picture.staged.target();
    out.picturePath = saved;
    out.files.push_back(saved);
    // The full path, so that the user finds the picture without knowing
    // where the program keeps it.
    for (Language lang : kBothLanguages) {
      const std::string message = say(lang, Text::RunCurveSavedBefore) + saved + say(lang, Text::RunCurveSavedAfter);
      if (out.note.in(lang).find(message) == std::string::npos) out.note.in(lang) += message;
    }
  }
}

void RunFiles::NoteUnwritten(RunOutput& out) const {
  for (const RunFile* f : {&report, &special, &picture}) {
    if (!f->wanted || f->staged.isCommitted()) continue;
    const std::string target = !f->staged.target().empty() ? f->staged.target() : folder_ + kPictureName;
    out.unwrittenFiles.push_back(target);
    for (Language lang : kBothLanguages)
      out.note.in(lang) +=
          say(lang, Text::RunFileNotWrittenBefore) + files::NameOf(target) + say(lang, Text::RunFileNotWrittenAfter);
  }
}

void RunFiles::discardAll() {
  report.staged.discard();
  special.staged.discard();
  picture.staged.discard();
}

}  // namespace lorvant
