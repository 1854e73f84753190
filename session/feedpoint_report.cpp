#include "session/feedpoint_report.h"

#include <sstream>

#include "io/staged_files.h"
#include "session/mainform.h"
#include "session/messages.h"
#include "text/catalogue.h"
#include "text/reports/speisepkt.h"

namespace lorvant::feedpoint {
namespace {

// The report's fields: the window's captions and texts as the check left
// them, with the frequency's caption as the reports quote it.
report::SpeisePktReport ReportOf(const AllBandsResult& res, const WindowTexts& window, const AllBandsEnv& env) {
  report::SpeisePktReport r;
  r.lang = env.lang;
  r.lengthCaption = window.first.caption;
  r.length = res.length;
  r.frequencyCaption = FrequencyCaption(env.lang);
  r.frequency = window.second.text;
  r.distanceCaption = window.third.caption;
  r.distance = window.third.text;
  r.header = window.header;
  r.rows = res.rows;
  r.dateText = env.dateText;
  return r;
}

}  // namespace

std::string ReportNote(Language lang) { return say(lang, Text::FeedReportNote); }

// The note names the file only when it was really written.
void WriteAllBandsReport(AllBandsResult& res, const WindowTexts& window, const AllBandsEnv& env) {
  if (!env.resultsFolder.empty()) {
    try {
      std::ostringstream bytes;
      report::WriteSpeisePkt(bytes, ReportOf(res, window, env));
      files::WriteFileAtomically(env.resultsFolder + report::kSpeisePktFileName, bytes.str());
      res.reportWritten = true;
    } catch (const files::FileError& e) {
      res.reportError = files::FileErrorText(env.lang, e.error(), e.path());
    }
  }
  const std::string note = ReportNote(env.lang);
  if (res.reportWritten && res.info.find(note) == std::string::npos) res.info += "\r\n" + note;
}

}  // namespace lorvant::feedpoint
