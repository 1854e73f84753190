#include "session/calculators/dipole.h"

#include <utility>

#include "engine/numparse.h"
#include "io/staged_files.h"
#include "session/mainform.h"
#include "text/catalogue.h"
#include "text/compose.h"
#include "text/format.h"

namespace lorvant::dipole {

using report::FormatGeneral;
using report::FormatPicture;

Texts Captions(Language lang) {
  const auto in = [lang](Text key) { return std::string(say(lang, key)); };
  Texts t;
  t.title = in(Text::CalcDipoleTitle);
  t.additional = in(Text::CalcDipoleAdditional);
  t.frequency = in(Text::CalcDipoleFrequency);
  t.impedance = in(Text::CalcDipoleImpedance);
  t.diameter = in(Text::CalcDipoleDiameter);
  t.exciterDiameter = t.diameter;
  t.feedPointAt = in(Text::CalcDipoleFeedPointAt);
  t.ofTotalLength = in(Text::CalcDipoleOfTotalLength);
  t.spacing = in(Text::CalcDipoleSpacing);
  t.length = in(Text::CalcDipoleLength);
  t.exciter = in(Text::CalcDipoleExciter);
  t.exciterFrequency = in(Text::CalcDipoleExciterFrequency);
  t.vk = in(Text::CalcDipoleVk);
  t.calculate = in(Text::CalculateButton);
  t.type = in(Text::CalcDipoleType);
  t.dipole = in(Text::CalcDipoleDipole);
  t.windom = in(Text::CalcDipoleWindom);
  t.conditions = in(Text::CalcDipoleConditions);
  t.additionalTip = in(Text::CalcDipoleAdditionalTip);
  t.impedanceTip = in(Text::CalcDipoleImpedanceTip);
  t.diameterTip = in(Text::CalcDipoleDiameterTip);
  t.spacingTip = in(Text::CalcDipoleSpacingTip);
  t.lengthTip = in(Text::CalcDipoleLengthTip);
  t.exciterFrequencyTip = in(Text::CalcDipoleExciterFrequencyTip);
  return t;
}

VariantTexts DipoleVariant(Language lang) {
  return {say(lang, Text::CalcDipoleFrequency), say(lang, Text::CalcDipoleVariantAdditional),
          say(lang, Text::CalcDipoleVariantLength)};
}

VariantTexts WindomVariant(Language lang) {
  return {say(lang, Text::CalcWindomFrequency), say(lang, Text::CalcWindomAdditional),
          say(lang, Text::CalcWindomLength)};
}

std::vector<std::string> DipoleFractions(char sep) { return {FormatPicture(0.5f, "0.0##", sep)}; }

std::vector<std::string> WindomFractions(char sep) {
  std::vector<std::string> items;
  for (int i = 3; i <= 8; ++i) items.push_back(FormatPicture(sng(1.0 / i), "0.0###", sep));
  return items;
}

std::string DefaultVkText(char sep) { return FormatPicture(kTypicalShorteningFactor, "0.00##", sep); }

Conditions ConditionsText(Language lang) {
  return {say(lang, Text::CalcDipoleConditionsTitle), say(lang, Text::CalcDipoleConditionsText)};
}

std::string ReportNote(Language lang) { return say(lang, Text::CalcDipoleReportNote); }

Refresh Activation(const std::string& diameterText, const BandValues& bands, char sep) {
  return {FormatPicture(LowestCountedFrequency(bands), "#0.0", sep), diameterText, diameterText};
}

namespace {

// The window's fields as numbers. The half-waves are read without comma
// conversion, as the window always did.
Figures Read(const Inputs& in) {
  Figures v;
  v.windom = in.windom;
  v.fAdd = ParseNumber(in.fAdd);
  v.fExc = ParseNumber(in.fExc);
  v.z = ParseNumber(in.impedance);
  v.dAdd = ParseNumber(in.dAdd);
  v.dExc = ParseNumber(in.dExc);
  v.vk = ParseNumber(in.vk);
  v.n = sng(ReadLeadingNumber(in.halfWaves));
  v.c = ParseNumber(in.fraction);
  v.ins = in.ins;
  v.length = in.length;
  return v;
}

// The input a refusal sends the focus to and why, with the fields it
// rewrites.
std::pair<Field, Reason> Refuse(const Result& r, const Figures& v, Outcome& out, char sep) {
  switch (r.refusal) {
    case Refusal::NoExciterFrequency:
      return {Field::ExciterFrequency, ReasonOf(Text::CalcDipoleNoExciterFrequency)};
    case Refusal::NoFrequency:
      return {Field::Frequency, ReasonOf(Text::CalcNoDesiredFrequency)};
    case Refusal::NoImpedance:
      return {Field::Impedance, ReasonOf(Text::CalcDipoleNoImpedance)};
    case Refusal::NoExciterDiameter:
      return {Field::ExciterDiameter, ReasonOf(Text::CalcDipoleNoExciterDiameter)};
    case Refusal::NoDiameter:
      return {Field::Diameter, ReasonOf(Text::CalcDipoleNoDiameter)};
    case Refusal::VkOutside:
      return {Field::Vk, ReasonOf(Text::CalcDipoleVkOutside)};
    case Refusal::NoHalfWaves:
      return {Field::HalfWaves, ReasonOf(Text::EnterHalfWaves)};
    case Refusal::FrequencyNotAboveExciter:
      return {Field::Frequency,
              Compose({Text::CalcDipoleAboveExciter, FormatGeneral(v.fExc, sep), Text::CalcDipoleAboveExciterEnd})};
    case Refusal::NoSpacing:
      return {Field::Frequency, ReasonOf(Text::CalcDipoleNoSpacing)};
    case Refusal::ExciterTooThick:
      out.suggestedExciterDiameter = FormatPicture(r.exciterLimit, "###0.0#", sep);
      return {Field::ExciterDiameter,
              Compose({Text::CalcDipoleExciterTooThick, *out.suggestedExciterDiameter, Text::CalcMillimetresEnd})};
    case Refusal::GapBelowWire:
      out.spacingText = std::string();
      out.suggestedDiameter = FormatPicture(r.gap, "###0.0#", sep);
      return {Field::Diameter,
              Compose({Text::CalcDipoleGapBelowWire, *out.suggestedDiameter, Text::CalcMillimetresEnd})};
    case Refusal::WiresTooClose:
      if (r.showEstimate) {
        out.spacingColour = TextColour::Red;
        out.spacingText = FormatPicture(r.s0, "###0.0", sep);
      } else {
        out.spacingText = std::string();
      }
      return {Field::Impedance, ReasonOf(Text::CalcDipoleWiresTooClose)};
    case Refusal::NoWindomLength:
      return {Field::HalfWaves, ReasonOf(Text::CalcDipoleNoWindomLength)};
    case Refusal::FeedPointOffWire:
    default:
      return {Field::Fraction, ReasonOf(Text::CalcDipoleFeedPointOffWire)};
  }
}

}  // namespace

Outcome Calculate(const Inputs& in, char sep) {
  const Figures v = Read(in);
  const Result r = Compute(v);
  Outcome out;
  out.wavelength = r.wavelength;
  out.s0 = r.s0;
  out.gap = r.gap;
  if (!r.computed()) {
    auto [field, reason] = Refuse(r, v, out, sep);
    out.beeps = 1;
    out.focus = field;
    out.reason = std::move(reason);
    return out;
  }
  out.computed = true;
  out.vkText = FormatPicture(r.exciterVk, "0.00###", sep);
  out.spacingColour = r.withinRange ? TextColour::Black : TextColour::Red;
  out.spacingText = FormatPicture(r.spacing, r.spacing >= 10 ? "###0" : "###0.0", sep);
  out.lengthText = FormatPicture(r.length, "###0.0##", sep);
  out.feedPointText = FormatPicture(r.feedPoint, "###0.0##", sep);
  out.s1 = r.s1;
  out.s2 = r.s2;
  out.spacing = r.spacing;
  out.length = r.length;
  out.fraction = v.c;
  out.windomFactor = r.windomFactor;
  return out;
}

Texts CaptionsFor(Language lang, bool windom) {
  Texts t = Captions(lang);
  if (windom) {
    const VariantTexts v = WindomVariant(lang);
    t.frequency = v.frequency;
    t.additional = v.additional;
    t.length = v.length;
  }
  return t;
}

ReportData MakeReportData(const Texts& shown, const Inputs& in, const Outcome& out, Language lang,
                          const std::string& dateTime) {
  ReportData d;
  d.lang = lang;
  d.windom = in.windom;
  d.frequencyCaption = shown.frequency;
  d.frequency = in.fAdd;
  d.halfWaves = in.halfWaves;
  d.impedanceCaption = shown.impedance;
  d.impedance = in.impedance;
  d.diameterCaption = shown.diameter;
  d.diameter = out.suggestedDiameter.value_or(in.dAdd);
  d.feedPointCaption = shown.feedPointAt;
  d.fraction = in.fraction;
  d.ofTotalLengthCaption = shown.ofTotalLength;
  d.feedPoint = out.feedPointText;
  d.spacingCaption = shown.spacing;
  d.spacing = out.spacingText.value_or(std::string());
  d.lengthCaption = shown.length;
  d.length = out.lengthText;
  d.exciterFrequencyCaption = shown.exciterFrequency;
  d.exciterFrequency = in.fExc;
  d.exciterDiameterCaption = shown.exciterDiameter;
  d.exciterDiameter = out.suggestedExciterDiameter.value_or(in.dExc);
  d.vkCaption = shown.vk;
  d.vk = out.vkText.value_or(in.vk);
  d.dateTime = dateTime;
  return d;
}

void WriteReport(const std::string& path, const ReportData& data) {
  files::WriteFileAtomically(path, ReportText(data));
}

}  // namespace lorvant::dipole
