#include "text/reports/zusatzdipol.h"

#include <sstream>

#include "engine/version.h"
#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant::dipole {

std::string ReportText(const ReportData& d) {
  const Language lang = d.lang;
  std::ostringstream bytes;
  report::ReportWriter w(bytes);

  w.text(say(lang, Text::ReportDipoleTitle)).endLine();
  w.rule();
  w.text(say(lang, Text::ReportDipoleType)).text(d.windom ? "WINDOM" : "Dipol").endLine();
  w.text(d.frequencyCaption).text(" ").text(d.frequency);
  if (d.windom) w.text(" | ").text(d.halfWaves);
  w.endLine();
  w.text(d.impedanceCaption).text(" ").text(d.impedance).endLine();
  w.text(d.diameterCaption).text(" ").text(d.diameter).endLine();
  w.text(d.feedPointCaption)
      .text(" ")
      .text(d.fraction)
      .text(" ")
      .text(d.ofTotalLengthCaption)
      .text(" ")
      .text(d.feedPoint)
      .endLine();
  w.text(d.spacingCaption).text(" ").text(d.spacing).endLine();
  w.text(d.lengthCaption).text(" ").text(d.length).endLine();
  w.emptyLine();
  w.text(say(lang, Text::ReportDipoleExciter)).endLine();
  w.rule();
  w.text(d.exciterFrequencyCaption).text(" ").text(d.exciterFrequency).endLine();
  w.text(d.exciterDiameterCaption).text(" ").text(d.exciterDiameter).endLine();
  w.text(d.vkCaption).text(" ").text(d.vk).endLine();
  w.rule();
  w.text(say(lang, Text::ReportCalculatedOnIndented)).text(d.dateTime).text(" ").text(kLegalNotice).endLine();
  return bytes.str();
}

}  // namespace lorvant::dipole
