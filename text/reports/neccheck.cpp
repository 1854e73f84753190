#include "text/reports/neccheck.h"

#include <algorithm>
#include <cmath>

#include "engine/nec/deck.h"
#include "engine/nec/swr.h"
#include "text/catalogue.h"
#include "text/format.h"
#include "text/nec_texts.h"
#include "text/reports/neccheck_air.h"
#include "text/reports/strsum.h"

namespace lorvant::report {

namespace {

// Columns of both tables: band, MHz, R, X, SWR and (bands only) the model
// and the conductor's loss.
constexpr int kBandWidth = 10, kFrequencyWidth = 9, kOhmWidth = 10, kSwrWidth = 8, kModelWidth = 14, kLossWidth = 12;
constexpr int kSweepWidth = kBandWidth + kFrequencyWidth + 2 * kOhmWidth + kSwrWidth;
constexpr int kTableWidth = kSweepWidth + kModelWidth + kLossWidth;

std::string Dashes(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += kEmDash;
  return s;
}

std::string Heading(Language lang, bool withModel) {
  std::string line = LeftField("Band", kBandWidth) + RightField("MHz", kFrequencyWidth) +
                     RightField("R [Ohm]", kOhmWidth) + RightField("X [Ohm]", kOhmWidth) +
                     RightField(say(lang, Text::ReportSwr), kSwrWidth);
  if (withModel)
    line += RightField(say(lang, Text::ReportModelOhm), kModelWidth) +
            RightField(say(lang, Text::CheckLossColumn), kLossWidth);
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
  std::string line = say(lang, Text::ReportEnvironment) + nec::GroundName(r.ground, lang);
  if (r.ground == nec::Ground::FreeSpace) return line + say(lang, Text::ReportHeightNoPart);
  if (nec::IsRealGround(r.ground)) {
    const nec::GroundConstants g = nec::ConstantsOf(r.ground);
    line += say(lang, Text::ReportPermittivity) + FormatGeneral(g.permittivity, r.sep) +
            say(lang, Text::ReportConductivity) + FormatGeneral(g.conductivity, r.sep) + " S/m)";
  }
  return line;
}

// What was modelled: the wire, how it hangs, the ground, the conductor,
// the sleeve and the structures.
std::vector<std::string> ModelLines(const NecCheckReport& r) {
  const Language lang = r.language;
  const char sep = r.sep;
  const nec::Model& m = r.model;
  const nec::Hanging& h = m.hanging;
  const auto metres = [sep](double v) { return FormatPicture(v, "#0.0##", sep); };
  std::vector<std::string> lines;
  lines.push_back(say(lang, Text::ReportGeometricLength) + FormatPicture(m.length, "###0.0##", sep) + " m");
  lines.push_back(say(lang, Text::ReportFeedPoint) + FormatPicture(m.feed, "0.00", sep) +
                  say(lang, Text::ReportFromWireStart));

  std::string hanging = say(lang, Text::ReportHanging);
  switch (nec::ShapeOf(h)) {
    case nec::Shape::Flat:
      hanging += say(lang, Text::ReportFlatAt) + metres(h.startHeight) + " m";
      break;
    case nec::Shape::Sloper:
      hanging += say(lang, Text::ReportSlopingFrom) + metres(h.startHeight) + say(lang, Text::ReportSlopingTo) +
                 metres(h.endHeight) + " m";
      break;
    case nec::Shape::InvertedV:
      hanging += say(lang, Text::ReportInvertedVEnds) + metres(h.startHeight) + say(lang, Text::ReportEndsAnd) +
                 metres(h.endHeight) + say(lang, Text::ReportApexOf) + metres(h.apex->height) +
                 say(lang, Text::ReportApexAlong) + metres(nec::BendAt(h, m.feed)) + say(lang, Text::ReportAlongWire);
      break;
  }
  lines.push_back(hanging);
  lines.push_back(say(lang, Text::ReportPlanAngle) + FormatGeneral(h.planAngle, sep) + say(lang, Text::ReportDegrees));
  lines.push_back(GroundLine(r));

  std::string conductor = say(lang, Text::ReportConductorDiameter) + FormatGeneral(r.conductorDiameter, sep);
  if (!m.loads.conductivity) {
    conductor += say(lang, Text::ReportLossless);
  } else {
    const double sigma = *m.loads.conductivity;
    conductor += say(lang, Text::ReportConductivityOf) + FormatGeneral(sigma, sep) + " S/m";
    if (sigma == nec::ConductivityOf(nec::Material::Copper))
      conductor += std::string(" (") + say(lang, Text::HangCopper) + ")";
    else if (sigma == nec::ConductivityOf(nec::Material::Aluminium))
      conductor += std::string(" (") + say(lang, Text::HangAluminium) + ")";
  }
  lines.push_back(conductor);
  if (m.insulationInductance > 0) {
    const nec::Insulation& i = *m.loads.insulation;
    lines.push_back(std::string(say(lang, Text::ReportInsulation)) + "er " + FormatGeneral(i.permittivity, sep) +
                    say(lang, Text::ReportInsulationOver) + FormatGeneral(i.outerDiameterMm, sep) +
                    say(lang, Text::ReportInsulationMethod) +
                    FormatPicture(m.insulationInductance * 1e6, "0.000", sep) + " µH/m)");
  } else {
    lines.push_back(say(lang, Text::ReportNoInsulation));
  }

  int fewest = 0, most = 0;
  for (const nec::Structure& s : m.structures) {
    const int n = s.segmentCount();
    fewest = fewest == 0 ? n : std::min(fewest, n);
    most = std::max(most, n);
  }
  std::string model = say(lang, Text::ReportModel) + std::to_string(m.structures.size()) +
                      say(lang, Text::ReportStructures) + std::to_string(fewest);
  if (most != fewest) model += say(lang, Text::CalcPruningRatioTo) + std::to_string(most);
  const double centre = m.structures.empty() ? m.feed : m.structures.front().sourceCentre();
  model += say(lang, Text::ReportSegmentsRule) + FormatGeneral(nec::kSegmentsPerWavelength, sep) +
           say(lang, Text::ReportSegmentsRuleAfter) + FormatPicture(centre, "0.00", sep) +
           say(lang, Text::ReportAlongWire);
  lines.push_back(model);
  return lines;
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

std::string LossText(const nec::SolvedFrequency& s, char sep) {
  return s.loss ? FormatPicture(100 * *s.loss, "0.0", sep) : "-";
}

std::string LossLine(const NecCheckReport& r) {
  std::string bands;
  for (const nec::BandCheck& b : r.result.bands)
    if (b.solved.loss)
      bands += (bands.empty() ? "" : ", ") + NecBandName(b.solved.band, r.extraFrequency, r.sep) + " " +
               LossText(b.solved, r.sep) + " %";
  return bands.empty() ? bands : say(r.language, Text::CheckLossLine) + bands;
}

std::string BalunAdvice(const NecCheckReport& r) {
  const Language lang = r.language;
  const nec::Result& res = r.result;
  const std::string limit = FormatGeneral(nec::kUsableSwr, r.sep);
  std::string unusable;
  for (const nec::BandCheck& b : res.bands)
    if (!b.usable) unusable += (unusable.empty() ? "" : ", ") + NecBandName(b.solved.band, r.extraFrequency, r.sep);
  if (!unusable.empty() && res.worstBand < 0)
    return say(lang, Text::CheckNoBandUsableBefore) + limit +
           (res.balunChosen ? say(lang, Text::CheckNoBandUsableAfter) : std::string("."));
  const std::string notUsable = unusable.empty() ? "" : say(lang, Text::CheckNotUsableBands) + unusable + ".";

  const std::string balun = nec::BalunText(res.balunRatio, r.sep);
  const std::string worst =
      SwrText(res.worstSwr, r.sep) + " (" + NecBandName(res.worstBand, r.extraFrequency, r.sep) + ")";
  const nec::BalunChoice best = nec::ChooseBalun(nec::ChoosingImpedances(res));
  if (res.balunChosen || best.ratio == res.balunRatio)
    return say(lang, Text::ReportUseBalunBefore) + balun + say(lang, Text::ReportUseBalunAfter) + worst + "." +
           notUsable;
  return say(lang, Text::ReportWithBalunBefore) + balun + say(lang, Text::ReportWithBalunAfter) + worst +
         say(lang, Text::ReportOtherBalunBefore) + nec::BalunText(best.ratio, r.sep) +
         say(lang, Text::ReportOtherBalunAfter) + SwrText(best.worstSwr, r.sep) + "." + notUsable;
}

std::string ResonanceText(const NecCheckReport& r) {
  const Language lang = r.language;
  const nec::Result& res = r.result;
  // The search's band: the lowest counted one (the table's first that is
  // not the additional band).
  const auto searched = std::find_if(res.bands.begin(), res.bands.end(),
                                     [](const nec::BandCheck& b) { return b.solved.band != nec::kExtraBand; });
  if (searched == res.bands.end()) return {};
  std::string band = NecBandName(res.resonance ? res.resonance->band : searched->solved.band, r.extraFrequency, r.sep);
  // German joins "7 MHz" and "Band" into one word: "7-MHz-Bands".
  if (lang == Language::German) std::replace(band.begin(), band.end(), ' ', '-');
  if (res.resonance)
    return say(lang, Text::CheckResonanceBefore) + band + say(lang, Text::CheckResonanceBand) +
           FormatPicture(res.resonance->frequency, "#0.000", r.sep) + say(lang, Text::CheckResonanceFactor) +
           FormatPicture(res.resonance->vk, "0.000", r.sep);
  return say(lang, Text::CheckNoResonanceBefore) + band + say(lang, Text::CheckNoResonanceBand) +
         FormatGeneral(200 * nec::kResonanceStep, r.sep) + say(lang, Text::CheckNoResonanceAround) +
         FormatPicture(searched->solved.frequency, "#0.000", r.sep) + say(lang, Text::CheckNoResonanceAfter);
}

std::vector<std::string> NecCheckBody(const NecCheckReport& r) {
  const Language lang = r.language;
  const char sep = r.sep;
  const nec::Result& res = r.result;
  std::vector<std::string> lines;

  lines.push_back(say(lang, Text::ReportNecTitle));
  for (std::string& line : ModelLines(r)) lines.push_back(std::move(line));
  lines.push_back(std::string("Deck: ") + nec::kDeckFileName + " (nec2c -i " + nec::kDeckFileName + " -o Lorvant.out)");
  lines.push_back("Balun: " + nec::BalunText(res.balunRatio, sep) +
                  (res.balunChosen ? say(lang, Text::ReportBalunChosen) : say(lang, Text::ReportBalunGiven)));
  lines.emplace_back();

  bool anyModel = false;
  for (const nec::BandCheck& b : res.bands) anyModel = anyModel || b.model.has_value();
  lines.push_back(say(lang, Text::ReportFeedImpedances));
  lines.push_back(Heading(lang, true));
  lines.push_back(Dashes(kTableWidth));
  bool anyUnusable = false, anyLoss = false;
  for (const nec::BandCheck& b : res.bands) {
    lines.push_back(Row(r, b.solved) + RightField(b.model ? b.model->cell : "-", kModelWidth) +
                    RightField(LossText(b.solved, sep), kLossWidth) +
                    (b.usable ? "" : say(lang, Text::CheckNotUsableMark)));
    anyLoss = anyLoss || b.solved.loss.has_value();
    anyUnusable = anyUnusable || !b.usable;
  }
  lines.push_back(anyModel ? say(lang, Text::ReportModelNote) : say(lang, Text::ReportNoModelNote));
  if (anyLoss) lines.push_back(say(lang, Text::CheckLossNote));
  if (anyUnusable)
    lines.push_back(say(lang, Text::CheckNotUsableNoteBefore) + FormatGeneral(nec::kUsableSwr, sep) +
                    say(lang, Text::CheckNotUsableNoteAfter));
  lines.push_back(BalunAdvice(r));
  if (const std::string resonance = ResonanceText(r); !resonance.empty()) lines.push_back(resonance);

  if (!res.sweep.empty()) {
    lines.emplace_back();
    lines.push_back(say(lang, Text::CheckSweepBefore) + std::to_string(static_cast<int>(res.region)) + "):");
    lines.push_back(Heading(lang, false));
    lines.push_back(Dashes(kSweepWidth));
    for (const nec::SolvedFrequency& s : res.sweep) lines.push_back(Row(r, s));
  }
  for (std::string& line : AirLines(r)) lines.push_back(std::move(line));
  if (r.measured) {
    lines.emplace_back();
    for (std::string& line : MeasuredCheckLines(*r.measured, lang, sep)) lines.push_back(std::move(line));
  }
  return lines;
}

void WriteNecCheckReport(std::ostream& out, const NecCheckReport& r) {
  WriteFramedReport(out, r.language, r.dateText, kTableWidth, NecCheckBody(r));
}

}  // namespace lorvant::report
