#include "session/feedpoint_checks.h"

#include <array>
#include <cmath>

#include "engine/numparse.h"
#include "session/feedpoint_report.h"
#include "session/feedpoint_wire.h"
#include "session/mainform.h"
#include "session/question.h"
#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant::feedpoint {
namespace {

using report::FormatGeneral;
using report::FormatPicture;
using report::LeftField;
using report::RightField;

constexpr const char* kCrLf = "\r\n";

// Says why the check cannot go on and marks the field to fill.
template <class Result>
Result Refused(Result res, Asker& asker, Language lang, Text text, Input field) {
  asker.ask(Question{say(lang, text), say(lang, Text::FeedIncompleteTitle), Icon::Exclamation, Buttons::Ok, 1,
                     QuestionId::FeedPointIncomplete});
  res.refused = field;
  return res;
}

// A feed point that is not inside the wire is refused by a message that
// names the wire's length.
template <class Result>
Result OffTheWire(Result res, Asker& asker, Language lang, float length, char sep) {
  asker.ask(Question{OffWireText(lang, length, sep), say(lang, Text::FeedInvalidTitle), Icon::Exclamation, Buttons::Ok,
                     1, QuestionId::FeedPointOffWire});
  res.refused = Input::Distance;
  return res;
}

void WarnTooShort(Asker& asker, Language lang, const std::string& text) {
  asker.ask(Question{text, say(lang, Text::FeedTooShortTitle), Icon::Exclamation, Buttons::Ok, 1,
                     QuestionId::AntennaTooShort});
}

struct EmptyField {
  Text text;
  Input field;
};

// The first empty field, checked in the window's order: distance, length,
// then the frequency (whose message the mode names).
std::optional<EmptyField> FirstEmpty(const WindowTexts& window, Text enterFrequency) {
  if (window.third.text.empty()) return EmptyField{Text::FeedEnterDistance, Input::Distance};
  if (window.first.text.empty()) return EmptyField{Text::FeedEnterLength, Input::Length};
  if (window.second.text.empty()) return EmptyField{enterFrequency, Input::Frequency};
  return std::nullopt;
}

// A feed point lies inside the wire: at either end there is nothing to feed.
bool insideTheWire(float distance, float length) { return distance > 0 && distance < length; }

}  // namespace

std::string OffWireText(Language lang, float length, char sep) {
  return say(lang, Text::FeedOffWire) + FormatPicture(length, "##0.0##", sep) + " m).";
}

std::string ImpedanceText(float z, char sep) {
  if (z <= 9999.99f) return FormatPicture(z, "###0.0", sep);
  return FormatPicture(sng(z / 1000.0), "###0.0 K", sep);
}

std::string BandRow(std::string_view frequencyText, double s, float z, char sep) {
  return RightField(frequencyText, 6) + "    " + RightField(FormatPicture(s, "##0.000", sep), 12) + " / " +
         LeftField(ImpedanceText(z, sep), 10);
}

std::string SummaryRow(Language lang, double average, char sep) {
  // The averages' impedance is always written in ohms, however large.
  const float z = ImpedanzAusStromsumme(average, 0, CalculatorState{});
  return RightField(say(lang, Text::FeedAverage), 6) + "    " + RightField(FormatPicture(average, "##0.000", sep), 12) +
         " / " + LeftField(FormatPicture(z, "###0.0", sep), 10);
}

namespace {

// What the all-bands check settles before it computes: the window's and the
// main form's numbers, parsed.
struct AllBandsInputs {
  float vk = 1;
  Segment segment = Segment::Centre;
  double ins = 0;
  float distance = 0;
  float resonance = 0;
  float preferredFrequency = 0;
  float minimumSum = 0;
};

// The bands shown, with their frequency texts, and the lowest of them (the
// loop runs downward).
struct ShownBands {
  std::array<std::string, kBandCount> text;
  std::optional<float> lowest;
  std::string lowestCaption;
};

ShownBands BandsShown(const MainFormValues& main, Segment segment, char sep) {
  ShownBands shown;
  for (int i = kBandCount - 1; i >= 0; --i) {
    if (main.bands[i] == BandState::Off) continue;
    const float f = SegmentFrequenz(segment, BandNennFrequenz(i));
    shown.text[i] = FormatPicture(f, "#0.000", sep);
    shown.lowest = f;
    shown.lowestCaption = BandCaption(i);
  }
  return shown;
}

// The main form's half-wave count for the adapted length; a "~" prefix is
// dropped, and the main form is told so.
float AdaptedHalfWaves(AllBandsResult& res, const MainFormValues& main) {
  std::string halfWaves = main.halfWaves;
  if (const auto tilde = halfWaves.find('~'); tilde != std::string::npos) {
    halfWaves = halfWaves.substr(tilde + 1);
    res.mainHalfWaves = halfWaves;
  }
  const float n = ParseNumber(halfWaves);
  return n == 0 ? 1 : n;
}

// Offers to fit the length to the resonance frequency when either differs
// from what the last run left; res.length is the length the check goes on with.
void OfferAdaptedLength(AllBandsResult& res, const WindowTexts& window, const MainFormValues& main,
                        const AllBandsInputs& in, Language lang, char sep, Asker& asker) {
  if (window.first.text == FormatPicture(main.run.length, "##0.0##", sep) && in.resonance == in.preferredFrequency)
    return;
  res.adaptAsked = true;
  const Question q{say(lang, Text::FeedAdaptQuestion),
                   say(lang, Text::FeedAdaptTitle),
                   Icon::Question,
                   Buttons::YesNo,
                   1,
                   QuestionId::AdaptLength};
  if (asker.ask(q) != Answer::Yes) return;
  res.adapted = true;
  float n = AdaptedHalfWaves(res, main);
  res.selectPreferredLength = true;
  LengthContext ctx = main.lengthContext();
  ctx.segment = in.segment;
  ctx.lengthMode = LengthMode::Preferred;
  try {
    float f = in.resonance;
    res.length = FormatPicture(AntennenLaenge(n, in.vk, in.ins, f, ctx), "##0.0##", sep);
  } catch (const ArithmeticError&) {
    // The length stays as typed; the check goes on with it.
  }
}

// Half-wave check on the lowest band shown. Without any band box set there
// is no lowest band to name, and no warning.
void WarnIfShorterThanHalfWave(AllBandsResult& res, const ShownBands& shown, float length, const AllBandsInputs& in,
                               Language lang, Asker& asker) {
  if (!shown.lowest) return;
  const double wLow = WireWavelength(in.ins, *shown.lowest);
  const float nLow = sng(length / (wLow / 2 * in.vk));
  if (!(nLow < 0.99)) return;
  res.tooShortWarned = true;
  WarnTooShort(asker, lang,
               say(lang, Text::FeedTooShortForBand) + shown.lowestCaption + say(lang, Text::FeedTooShortForBandEnd));
}

// The sums over the bands the averages are made of.
struct BandSums {
  int all = 0, wanted = 0, usable = 0;
  double sumAll = 0, sumWanted = 0, sumUsable = 0;
};

// The averages below the band rows: over all rows, over the counted bands,
// over the bands above the minimum current sum.
std::string AverageRows(const BandSums& sums, float minimumSum, Language lang, char sep) {
  std::string rows = SummaryRow(lang, sums.sumAll / sums.all, sep) + kCrLf;
  if (sums.wanted > 0) {
    rows += std::string(say(lang, Text::FeedWantedBands)) + kCrLf;
    rows += SummaryRow(lang, sums.sumWanted / sums.wanted, sep) + kCrLf;
  }
  if (sums.usable > 0) {
    rows += say(lang, Text::FeedUsableBands) + FormatGeneral(minimumSum, sep) + "):" + kCrLf;
    rows += SummaryRow(lang, sums.sumUsable / sums.usable, sep);
  }
  return rows;
}

// Rows: the resonance frequency first (in the place of the 50 MHz band),
// then every band shown, from the highest down; then the averages.
std::string AllBandsRows(const MainFormValues& main, const ShownBands& shown, float length, const AllBandsInputs& in,
                         Language lang, char sep) {
  BandSums sums;
  std::string rows;
  for (int i = kBandCount - 1; i >= 0; --i) {
    const bool resonanceRow = i == kBandCount - 1;
    if (!resonanceRow && main.bands[i] == BandState::Off) continue;
    const float f = resonanceRow ? in.resonance : SegmentFrequenz(in.segment, BandNennFrequenz(i));
    const double w = WireWavelength(in.ins, f);
    const double s = StromImPunkt(w, length, in.distance, in.vk, in.ins, main.calculator).G;
    const float z = ImpedanzAusStromsumme(s, 0, CalculatorState{});
    sums.sumAll += s;
    ++sums.all;
    if (sng(s) > in.minimumSum) {
      sums.sumUsable += s;
      ++sums.usable;
    }
    if (main.bands[i] == BandState::Counted) {
      sums.sumWanted += s;
      ++sums.wanted;
    }
    rows += BandRow(resonanceRow ? FormatPicture(in.resonance, "#0.000", sep) : shown.text[i], s, z, sep);
    rows += kCrLf;
  }
  return rows + AverageRows(sums, in.minimumSum, lang, sep);
}

}  // namespace

AllBandsResult CheckAllBands(const WindowTexts& window, const MainFormValues& main, const AllBandsEnv& env,
                             Asker& asker) {
  const Language lang = env.lang;
  const char sep = env.sep;
  AllBandsResult res;
  res.length = window.first.text;
  res.info = main.note;

  auto refuse = [&](Text text, Input field) { return Refused(res, asker, lang, text, field); };
  if (const auto empty = FirstEmpty(window, Text::FeedEnterResonance)) return refuse(empty->text, empty->field);

  AllBandsInputs in;
  in.vk = MainVk(main);
  if (in.vk == 0) in.vk = 1;
  in.segment = SegmentOrCentre(main.segment);
  in.ins = main.run.insulation;

  const float typedLength = ParseNumber(window.first.text);
  if (typedLength == 0) return refuse(Text::FeedEnterLength, Input::Length);
  in.distance = ParseNumber(window.third.text);
  if (in.distance == 0) return refuse(Text::FeedEnterDistance, Input::Distance);
  if (!insideTheWire(in.distance, typedLength)) return OffTheWire(res, asker, lang, typedLength, sep);
  in.resonance = ParseNumber(window.second.text);
  if (in.resonance == 0) return refuse(Text::FeedEnterResonance, Input::Frequency);
  in.preferredFrequency = ParseNumber(main.preferredFrequency);
  in.minimumSum = ParseNumber(main.minimumSum);
  if (in.minimumSum == 0) return refuse(Text::FeedEnterMinimum, Input::None);

  const ShownBands shown = BandsShown(main, in.segment, sep);
  OfferAdaptedLength(res, window, main, in, lang, sep, asker);

  const float length = ParseNumber(res.length);
  // The adapted wire may end before the feed point.
  if (!insideTheWire(in.distance, length)) return OffTheWire(res, asker, lang, length, sep);

  WarnIfShorterThanHalfWave(res, shown, length, in, lang, asker);
  res.rows = AllBandsRows(main, shown, length, in, lang, sep);
  res.done = true;
  WriteAllBandsReport(res, window, env);
  return res;
}

namespace {

// The currents at one frequency on either side of the feed point.
struct SideCurrents {
  float right = 0;  // the wire's length right of the feed point
  double left = 0, rightCurrent = 0, mean = 0, difference = 0;
};

SideCurrents CurrentsAt(float length, float d, float vk, double w) {
  SideCurrents c;
  c.right = sng(static_cast<double>(length) - d);
  c.left = std::fabs(std::cos((d / w - vk / 4.0) * kTwoPi));
  c.rightCurrent = std::fabs(std::cos((c.right / w - vk / 4.0) * kTwoPi));
  c.mean = std::sqrt(c.left * c.rightCurrent);
  c.difference = std::fabs(c.left - c.rightCurrent);
  return c;
}

std::string OneFrequencyRows(const SideCurrents& c, float d, float vk, Language lang, char sep) {
  std::string t;
  t += say(lang, Text::FeedLengthLeft) + FormatPicture(d, "##0.0##", sep) + " m" + kCrLf;
  t += say(lang, Text::FeedLengthRight) + FormatPicture(c.right, "##0.0##", sep) + " m" + kCrLf;
  t += say(lang, Text::FeedShorteningFactor) + FormatPicture(vk, "##0.0###", sep) + kCrLf;
  t += say(lang, Text::FeedCurrentLeft) + FormatPicture(c.left, "0.0####", sep) + kCrLf;
  t += say(lang, Text::FeedCurrentRight) + FormatPicture(c.rightCurrent, "0.0####", sep) + kCrLf;
  t += say(lang, Text::FeedGeometricMean) + FormatPicture(c.mean, "0.0####", sep) + kCrLf;
  t += say(lang, Text::FeedCurrentDifference) + FormatPicture(c.difference, "0.0####", sep);
  if (c.difference <= 0.001) t += say(lang, Text::FeedOptimal);
  return t;
}

}  // namespace

OneFrequencyResult CheckOneFrequency(const WindowTexts& window, const MainFormValues& main, Language lang, char sep,
                                     Asker& asker) {
  OneFrequencyResult res;
  auto refuse = [&](Text text, Input field) { return Refused(res, asker, lang, text, field); };
  if (const auto empty = FirstEmpty(window, Text::EnterFrequency)) return refuse(empty->text, empty->field);

  const float vk = MainVk(main);
  const float length = ParseNumber(window.first.text);
  const float f = ParseNumber(window.second.text);
  const float d = ParseNumber(window.third.text);
  if (length == 0) return refuse(Text::FeedEnterLength, Input::Length);
  if (d == 0) return refuse(Text::FeedEnterDistance, Input::Distance);
  // At either end one side has no wire at all: what the formula gives for
  // it, and so the difference of the two sides, means nothing there.
  if (!insideTheWire(d, length)) return OffTheWire(res, asker, lang, length, sep);
  // A zero frequency or Vk would divide by zero below: refused like an empty field.
  if (f == 0) return refuse(Text::EnterFrequency, Input::Frequency);
  if (vk == 0) return refuse(Text::FeedEnterVk, Input::None);

  const double w = WireWavelength(main.run.insulation, f);
  const float n = sng(length / (w / 2 * vk));
  if (n < 0.99) {
    res.tooShortWarned = true;
    WarnTooShort(asker, lang, say(lang, Text::FeedTooShort));
  }
  res.rows = OneFrequencyRows(CurrentsAt(length, d, vk, w), d, vk, lang, sep);
  res.done = true;
  return res;
}

ImpedanceResult ImpedanceFromCurrentSum(std::string_view currentSum, char sep) {
  const double s = ParseNumber(currentSum);
  if (s > 2 || s < 0.0000135)
    return ImpedanceResult{true, {}, {both(Text::FeedSumOutOfRange).german, both(Text::FeedSumOutOfRange).english}};
  return ImpedanceResult{false, ImpedanceText(ImpedanzAusStromsumme(s, 0, CalculatorState{}), sep), {}};
}

}  // namespace lorvant::feedpoint
