#include "calc/reports/zusatzdipol.h"

#include <sstream>

#include "calc/filecommit.h"
#include "calc/reports/text.h"
#include "calc/version.h"

namespace lorvant::dipole {

std::string ReportText(const ReportData& d) {
  const Language lang = d.lang;
  std::ostringstream bytes;
  report::ReportWriter w(bytes);

  w.text(tr(lang, "                Zusatz-Dipol (strahlungsgekoppelt)",
            "                Additional dipole (radiation-coupled)"))
      .endLine();
  w.rule();
  w.text(tr(lang, "Typ: Zusatz-", "Typ: Additional-")).text(d.windom ? "WINDOM" : "Dipol").endLine();
  w.text(d.label1).text(" ").text(d.text1);
  if (d.windom) w.text(" | ").text(d.text7);
  w.endLine();
  w.text(d.label3).text(" ").text(d.text3).endLine();
  w.text(d.label4).text(" ").text(d.text4).endLine();
  w.text(d.label12).text(" ").text(d.combo1).text(" ").text(d.label13).text(" ").text(d.label11).endLine();
  w.text(d.label7).text(" ").text(d.label8).endLine();
  w.text(d.label9).text(" ").text(d.label10).endLine();
  w.emptyLine();
  w.text(tr(lang, "Erreger-Dipol (Stromsummenantenne o.ä.)", "Exciter-Dipole (current sum antenna or similar)"))
      .endLine();
  w.rule();
  w.text(d.label2).text(" ").text(d.text2).endLine();
  w.text(d.label5).text(" ").text(d.text5).endLine();
  w.text(d.label6).text(" ").text(d.text6).endLine();
  w.rule();
  w.text(tr(lang, " Berechnung am ", " Calculation on ")).text(d.dateTime).text(" ").text(kLegalNotice).endLine();
  return bytes.str();
}

void WriteReport(const std::string& path, const ReportData& data) { files::WriteFileAtomically(path, ReportText(data)); }

}  // namespace lorvant::dipole
