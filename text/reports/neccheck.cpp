#include "text/reports/neccheck.h"

#include <cmath>

#include "engine/nec/deck.h"
#include "engine/nec/swr.h"
#include "text/bilingual.h"
#include "text/format.h"
#include "text/nec_texts.h"
#include "text/reports/strsum.h"

namespace lorvant::report {

namespace {

// Columns of both tables: band, MHz, R, X, SWR and (bands only) the model.
constexpr int kBandWidth = 10, kFrequencyWidth = 9, kOhmWidth = 10, kSwrWidth = 8, kModelWidth = 14;
constexpr int kTableWidth = kBandWidth + kFrequencyWidth + 2 * kOhmWidth + kSwrWidth + kModelWidth;

std::string Dashes(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += kEmDash;
  return s;
}

std::string Heading(Language lang, bool withModel) {
  std::string line = LeftField("Band", kBandWidth) + RightField("MHz", kFrequencyWidth) +
                     RightField("R [Ohm]", kOhmWidth) + RightField("X [Ohm]", kOhmWidth) +
                     RightField(tr(lang, "SWV", "SWR"), kSwrWidth);
  if (withModel) line += RightField(tr(lang, "Modell [Ohm]", "Model [Ohm]"), kModelWidth);
  return line;
}

std::string Row(const NecCheckReport& r, const nec::SolvedFrequency& s) {
  const char sep = r.sep;
  return LeftField(NecBandName(s.band, r.extraFrequency, sep), kBandWidth) +
         RightField(FormatPicture(s.frequency, "#0.000#", sep), kFrequencyWidth) +
         RightField(FormatPicture(s.impedance.real(), "0.0", sep), kOhmWidth) +
         RightField(FormatPicture(s.impedance.imag(), "0.0", sep), kOhmWidth) +
         RightField(SwrText(s.swr, sep), kSwrWidth);
}

std::string GroundLine(const NecCheckReport& r) {
  const Language lang = r.language;
  std::string line = tr(lang, "Umgebung: ", "Environment: ") + nec::GroundName(r.ground, lang);
  if (r.ground == nec::Ground::FreeSpace)
    return line + tr(lang, ", die Höhe spielt keine Rolle", ", the height plays no part");
  if (nec::IsRealGround(r.ground)) {
    const nec::GroundConstants g = nec::ConstantsOf(r.ground);
    line += tr(lang, " (Sommerfeld-Norton: Dielektrizitätszahl ", " (Sommerfeld-Norton: relative permittivity ") +
            FormatGeneral(g.permittivity, r.sep) + tr(lang, ", Leitfähigkeit ", ", conductivity ") +
            FormatGeneral(g.conductivity, r.sep) + " S/m)";
  }
  return line;
}

}  // namespace

std::string NecBandName(int band, float extraFrequency, char sep) {
  const float f = nec::BandLabelFrequency(band, extraFrequency);
  const char* picture = std::floor(f) == f ? "0" : band == nec::kExtraBand ? "#0.0##" : "#0.#";
  return FormatPicture(f, picture, sep) + " MHz";
}

std::string SwrText(double swr, char sep) {
  // Rounded as shown: 99.996 already counts as 100.
  if (!(swr < 99.995)) return ">99";
  return FormatPicture(swr, "0.00", sep);
}

std::string BalunAdvice(const NecCheckReport& r) {
  const Language lang = r.language;
  const nec::Result& res = r.result;
  const std::string balun = nec::BalunText(res.balunRatio, r.sep);
  const std::string worst =
      SwrText(res.worstSwr, r.sep) + " (" + NecBandName(res.worstBand, r.extraFrequency, r.sep) + ")";

  std::vector<std::complex<double>> impedances;
  for (const nec::BandCheck& b : res.bands) impedances.push_back(b.solved.impedance);
  const nec::BalunChoice best = nec::ChooseBalun(impedances);
  if (res.balunChosen || best.ratio == res.balunRatio)
    return tr(lang, "Balun ", "Use a ") + balun + tr(lang, " verwenden: schlechtestes SWV ", " balun: worst SWR ") +
           worst + ".";
  return tr(lang, "Mit Balun ", "With a ") + balun + tr(lang, ": schlechtestes SWV ", " balun: worst SWR ") + worst +
         tr(lang, "; Balun ", "; a ") + nec::BalunText(best.ratio, r.sep) +
         tr(lang, " käme auf ", " balun would give ") + SwrText(best.worstSwr, r.sep) + ".";
}

std::vector<std::string> NecCheckBody(const NecCheckReport& r) {
  const Language lang = r.language;
  const char sep = r.sep;
  const nec::Model& m = r.model;
  const nec::Result& res = r.result;
  std::vector<std::string> lines;

  lines.push_back(
      tr(lang, "NEC-2-Prüfung der berechneten Antenne mit nec2c", "NEC-2 check of the calculated antenna with nec2c"));
  lines.push_back(tr(lang, "Geometrische Antennenlänge: ", "Geometric antenna length: ") +
                  FormatPicture(m.length, "###0.0##", sep) + " m");
  lines.push_back(tr(lang, "Speisepunkt: ", "Feed point: ") + FormatPicture(m.feed, "0.00", sep) +
                  tr(lang, " m vom Drahtanfang", " m from the start of the wire"));
  lines.push_back(tr(lang, "Höhe über Grund: ", "Height above ground: ") + FormatPicture(m.height, "#0.0##", sep) +
                  " m");
  lines.push_back(GroundLine(r));
  lines.push_back(tr(lang, "Leiterdurchmesser: ", "Conductor diameter: ") + FormatGeneral(r.conductorDiameter, sep) +
                  tr(lang, " mm (die Drahtisolierung ist im Modell nicht berücksichtigt)",
                     " mm (the wire's insulation is not modelled)"));
  lines.push_back(tr(lang, "Modell: ", "Model: ") + std::to_string(m.wires.size()) + tr(lang, " Drähte, ", " wires, ") +
                  std::to_string(m.segmentCount()) + tr(lang, " Segmente (höchstens ", " segments (at most ") +
                  FormatPicture(m.maxSegment, "0.000", sep) +
                  tr(lang, " m lang), Quelle auf Draht ", " m long), source on wire ") + std::to_string(m.sourceTag) +
                  tr(lang, ", Segment ", ", segment ") + std::to_string(m.sourceSegment));
  lines.push_back(std::string("Deck: ") + nec::kDeckFileName + " (nec2c -i " + nec::kDeckFileName + " -o Lorvant.out)");
  lines.push_back("Balun: " + nec::BalunText(res.balunRatio, sep) +
                  (res.balunChosen ? tr(lang, " (automatisch gewählt)", " (chosen automatically)")
                                   : tr(lang, " (vorgegeben)", " (as given)")));
  lines.emplace_back();

  bool anyModel = false;
  for (const nec::BandCheck& b : res.bands) anyModel = anyModel || b.model.has_value();
  lines.push_back(tr(lang, "Speiseimpedanz auf den gezählten Bändern (SWV an 50 Ohm über den Balun):",
                     "Feed impedance on the counted bands (SWR on 50 Ohm through the balun):"));
  lines.push_back(Heading(lang, true));
  lines.push_back(Dashes(kTableWidth));
  for (const nec::BandCheck& b : res.bands)
    lines.push_back(Row(r, b.solved) + RightField(b.model ? b.model->cell : "-", kModelWidth));
  lines.push_back(anyModel
                      ? tr(lang,
                           "Modell: die Näherung aus AntStrSu.txt an diesem Speisepunkt (annähernd exakt nur im "
                           "Resonanzfall).",
                           "Model: the approximation of AntStrSu.txt at this feed point (almost exact only in the "
                           "resonance case).")
                      : tr(lang,
                           "Modell: AntStrSu.txt nennt an diesem Speisepunkt keine Impedanz (kein vorgeschlagener "
                           "Speisepunkt).",
                           "Model: AntStrSu.txt shows no impedance at this feed point (not one of its proposed feed "
                           "points)."));
  lines.push_back(BalunAdvice(r));

  if (!res.sweep.empty()) {
    lines.emplace_back();
    lines.push_back(tr(lang, "Verlauf über jedes Band von Bandgrenze zu Bandgrenze (IARU Region 1):",
                       "Across each band from edge to edge (IARU Region 1):"));
    lines.push_back(Heading(lang, false));
    lines.push_back(Dashes(kTableWidth - kModelWidth));
    for (const nec::SolvedFrequency& s : res.sweep) lines.push_back(Row(r, s));
  }
  return lines;
}

void WriteNecCheckReport(std::ostream& out, const NecCheckReport& r) {
  ReportWriter w(out);
  w.emptyLine();
  WriteTitleLine(w, r.language);
  w.separator(kTableWidth);
  for (const std::string& line : NecCheckBody(r)) w.text(line).endLine();
  w.emptyLine();
  ReportData closing;
  closing.language = r.language;
  closing.dateText = r.dateText;
  w.text(ClosingLine(closing)).endLine();
}

}  // namespace lorvant::report
