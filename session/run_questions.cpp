// The questions the optimisation run puts before it writes anything, and the
// sizes they quote.
#include <cmath>
#include <optional>
#include <string>

#include "session/question.h"
#include "session/run.h"
#include "text/bilingual.h"
#include "text/format.h"

namespace lorvant {

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

Question LargeFileQuestion(QuestionId id, Language lang, std::string text, std::uint64_t bytes,
                           std::optional<std::uint64_t> freeBytes, char sep) {
  Question q;
  q.id = id;
  q.text = std::move(text) + SizeText(bytes, sep) + tr(lang, " groß", "");
  if (freeBytes)
    q.text += tr(lang, " (im Ordner sind ", " (") + SizeText(*freeBytes, sep) +
              tr(lang, " frei)", " are free in the folder)");
  q.text += ".\r\n";
  q.text += tr(lang, "Trotzdem erstellen?", "Create it anyway?");
  q.title = tr(lang, " Große Datei", " Large file");
  q.icon = Icon::Question;
  q.buttons = Buttons::YesNo;
  q.defaultButton = 2;
  return q;
}

}  // namespace

Question LargeTableQuestion(Language lang, std::uint64_t tableBytes, std::optional<std::uint64_t> freeBytes, char sep) {
  return LargeFileQuestion(
      QuestionId::LargeTable, lang,
      tr(lang, "Die Spezial-Tabelle AntSpezi.txt wird etwa ", "The special table AntSpezi.txt will take about "),
      tableBytes, freeBytes, sep);
}

Question LargeReportQuestion(Language lang, std::uint64_t reportBytes, std::optional<std::uint64_t> freeBytes,
                             char sep) {
  return LargeFileQuestion(QuestionId::LargeReport, lang,
                           tr(lang, "Der Bericht AntStrSu.txt wird etwa ", "The report AntStrSu.txt will take about "),
                           reportBytes, freeBytes, sep);
}

Question DielectricQuestion(Language lang) {
  return {tr(lang, "Ist die Eingabe der relative Dielektrizitätszahl korrekt ?",
             "Is the input of the relative dielectric constant correkt ?"),
          tr(lang, " Schlechtes Isoliermaterial ?", " Poor insulating material ?"),
          Icon::Question,
          Buttons::YesNo,
          1,
          QuestionId::Dielectric};
}

}  // namespace lorvant
