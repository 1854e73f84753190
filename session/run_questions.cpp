// What the optimisation run says besides its reports: the questions it puts
// before it writes anything and the sizes they quote, its status texts and
// the short names of its outcomes.
#include <cmath>
#include <optional>
#include <string>

#include "session/question.h"
#include "session/run.h"
#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant {

namespace runtext {
std::string StatusReady(Language lang) { return say(lang, Text::RunStatusReady); }
std::string StatusFilesMissing(Language lang) { return say(lang, Text::RunStatusFilesMissing); }
}  // namespace runtext

const char* RunOutcomeName(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::Completed:
      return "completed";
    case RunOutcome::NoHalfWave:
      return "no-half-wave";
    case RunOutcome::SegmentCancelled:
      return "segment-cancelled";
    case RunOutcome::TooFewBands:
      return "too-few-bands";
    case RunOutcome::DielectricRejected:
      return "dielectric-rejected";
    case RunOutcome::DiameterTooSmall:
      return "diameter-too-small";
    case RunOutcome::Aborted:
      return "aborted";
    case RunOutcome::Cancelled:
      return "cancelled";
    case RunOutcome::FilesMissing:
      return "files-missing";
    case RunOutcome::TableTooLarge:
      return "table-too-large";
    case RunOutcome::LargeTableDeclined:
      return "large-table-declined";
  }
  return "unknown";
}

std::uint64_t EstimatedSpecialTableBytes(std::int32_t steps, bool extraBand) {
  // One row per centimetre (129 or 135 characters and CR LF, one more for
  // each digit the position gains from 100 m on); the header and the closing
  // lines stay below a few kilobytes.
  constexpr std::uint64_t kHeaderAndClosing = 4096;
  const std::uint64_t rows = steps > 0 ? static_cast<std::uint64_t>(steps) + 1 : 1;
  std::uint64_t longer = 0;
  for (std::uint64_t from = 10000; from < rows; from *= 10) longer += rows - from;
  return rows * (extraBand ? 137 : 131) + longer + kHeaderAndClosing;
}

std::string SizeText(std::uint64_t bytes, char sep) {
  const double b = static_cast<double>(bytes);
  if (b >= 1e9) return report::FormatPicture(b / 1e9, "0.0", sep) + " GB";
  if (b >= 1e6) return report::FormatPicture(b / 1e6, "0.0", sep) + " MB";
  return report::FormatPicture(std::ceil(b / 1e3), "0", sep) + " KB";
}

namespace {

Question LargeFileQuestion(QuestionId id, Language lang, Text willTake, std::uint64_t bytes,
                           std::optional<std::uint64_t> freeBytes, char sep) {
  Question q;
  q.id = id;
  q.text = say(lang, willTake) + SizeText(bytes, sep) + say(lang, Text::RunLargeSize);
  if (freeBytes)
    q.text += say(lang, Text::RunLargeFreeBefore) + SizeText(*freeBytes, sep) + say(lang, Text::RunLargeFreeAfter);
  q.text += say(lang, Text::RunLargeAnyway);
  q.title = say(lang, Text::RunLargeFileTitle);
  q.icon = Icon::Question;
  q.buttons = Buttons::YesNo;
  q.defaultButton = 2;
  return q;
}

}  // namespace

Question LargeTableQuestion(Language lang, std::uint64_t tableBytes, std::optional<std::uint64_t> freeBytes, char sep) {
  return LargeFileQuestion(QuestionId::LargeTable, lang, Text::RunLargeTableWillTake, tableBytes, freeBytes, sep);
}

Question LargeReportQuestion(Language lang, std::uint64_t reportBytes, std::optional<std::uint64_t> freeBytes,
                             char sep) {
  return LargeFileQuestion(QuestionId::LargeReport, lang, Text::RunLargeReportWillTake, reportBytes, freeBytes, sep);
}

Question DielectricQuestion(Language lang) {
  return {say(lang, Text::RunDielectricQuestion),
          say(lang, Text::RunDielectricTitle),
          Icon::Question,
          Buttons::YesNo,
          1,
          QuestionId::Dielectric};
}

}  // namespace lorvant
