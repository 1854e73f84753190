#include "text/reports/speisepkt.h"

#include <sstream>
#include <string_view>

#include "engine/version.h"
#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant::report {

void WriteSpeisePkt(std::ostream& out, const SpeisePktReport& r) {
  ReportWriter w(out);
  w.text(say(r.lang, Text::ReportFeedPointTitle)).endLine();
  w.rule();
  w.text(r.lengthCaption).text(r.length).endLine();
  w.text(r.frequencyCaption).text(r.frequency).endLine();
  w.text(r.distanceCaption).text(r.distance).endLine();
  w.emptyLine();
  w.text(r.header).endLine();
  w.rule();
  // The result box's own line breaks become report lines; a box that ends
  // with a line break leaves an empty line before the closing rule.
  std::string_view rows = r.rows;
  for (;;) {
    const auto pos = rows.find("\r\n");
    if (pos == std::string_view::npos) {
      w.text(rows).endLine();
      break;
    }
    w.text(rows.substr(0, pos)).endLine();
    rows.remove_prefix(pos + 2);
  }
  w.rule();
  w.text(say(r.lang, Text::ReportCalculatedOnIndented)).text(r.dateText).text(" ").text(kLegalNotice).endLine();
}

}  // namespace lorvant::report
