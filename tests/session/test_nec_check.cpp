// The NEC-2 check without the engine: a design's deck read back card by
// card, the frequencies, the output parser on a captured nec2c file, the
// SWR and balun arithmetic, the evaluation and NecCheck.txt.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <set>
#include <sstream>

#include "engine/nec/deck.h"
#include "engine/nec/output.h"
#include "engine/nec/swr.h"
#include "engine/version.h"
#include "io/staged_files.h"
#include "session/nec_tune.h"
#include "tests/session/nec_support.h"
#include "text/format.h"
#include "text/nec_texts.h"
#include "text/reports/neccheck.h"

namespace lorvant {
namespace {

using nec::Ground;
using test::Card;
using test::CardsNamed;
using test::ReadCards;

// ---- the deck of a known design -----------------------------------------------

// The form's defaults with 3.5, 7, 14, 21 and 28 MHz, run for real.
struct TypicalDesign {
  test::TempFolder folder;
  RunInput in = test::TypicalInput(folder.str());
  RunOutput out;
  nec::Design design;
  TypicalDesign() {
    test::ScriptedHost host;
    out = RunOptimisation(in, host);
    design = nec::DesignFromRun(in, out);
  }
};

TEST(NecDeck, KnownDesignReadBackCardByCard) {
  const TypicalDesign t;
  ASSERT_EQ(t.out.outcome, RunOutcome::Completed);
  ASSERT_FALSE(t.design.proposedFeeds.empty());
  EXPECT_FLOAT_EQ(t.design.length, t.out.length);
  EXPECT_DOUBLE_EQ(t.design.conductorDiameter, 1.4);

  nec::Settings s;
  s.feed = t.design.proposedFeeds.front().x;  // what the batch tool takes without --feed
  const nec::Plan plan = nec::PrepareCheck(t.design, s);
  const std::vector<Card> cards = ReadCards(plan.deck);
  ASSERT_EQ(plan.model.structures.size(), 5u) << "one structure per counted band";
  EXPECT_NE(plan.deck.find("CM insulation: none"), std::string::npos);

  // Per counted band a structure of its own: comments, its wires, the
  // ground, copper, the source, then its frequency as the run computes it
  // (Table W, band centre) and five points from edge to edge, each card
  // executed by XQ; NX between the structures. The lowest band's resonance
  // search follows its sweep (two cards).
  const struct {
    double own, low, high;
  } bands[] = {{3.65, 3.5, 3.8}, {7.1, 7.0, 7.2}, {14.25, 14.0, 14.35}, {21.225, 21.0, 21.45}, {28.5, 28.0, 29.7}};
  std::size_t i = 0;
  for (std::size_t n = 0; n < 5; ++n) {
    SCOPED_TRACE(bands[n].own);
    const nec::Structure& st = plan.model.structures[n];
    ASSERT_LT(i, cards.size());
    if (n > 0) EXPECT_EQ(cards[i++].text, "NX");
    const std::size_t first = i;
    while (i < cards.size() && cards[i].name == "CM") ++i;
    EXPECT_GE(i - first, 1u) << "comment cards first";
    ASSERT_LT(i + 12, cards.size());
    EXPECT_EQ(cards[i++].name, "CE");
    const std::size_t wires = i;
    while (cards[i].name == "GW") ++i;
    EXPECT_EQ(i - wires, st.wires.size());
    EXPECT_EQ(cards[i++].text, "GE 1");
    EXPECT_EQ(cards[i++].text, "GN 2 0 0 0 13 0.005");
    EXPECT_EQ(cards[i++].text, "LD 5 0 0 0 58000000") << "copper unless told";
    EXPECT_EQ(cards[i++].text, "EX 0 " + std::to_string(st.sourceTag) + " 1 0 1 0");
    EXPECT_EQ(cards[i++].text, "PT -1");
    EXPECT_EQ(cards[i].name, "FR");
    EXPECT_EQ(cards[i].fields, (std::vector<double>{0, 1, 0, 0, bands[n].own, 0}));
    EXPECT_EQ(cards[i + 1].text, "XQ");
    EXPECT_EQ(cards[i + 2].name, "FR");
    const std::vector<double>& f = cards[i + 2].fields;
    ASSERT_EQ(f.size(), 6u);
    EXPECT_EQ(f[1], 5);
    EXPECT_DOUBLE_EQ(f[4], bands[n].low);
    EXPECT_NEAR(f[4] + 4 * f[5], bands[n].high, 1e-9);
    EXPECT_EQ(cards[i + 3].text, "XQ");
    i += 4;
    if (n == 0) i += 4;  // the resonance search
  }
  ASSERT_EQ(i + 1, cards.size());
  EXPECT_EQ(cards[i].text, "EN");
}

TEST(NecDeck, GroundCards) {
  nec::FrequencyPlan plan;
  plan.steps.push_back({5, 14.2, 0, 1});
  const nec::Model m = nec::MakeModel(10.035, 5.0175, {}, 1.4, {}, plan, Ground::Average);
  const auto groundCards = [&](Ground g, nec::RealGroundMethod method = nec::RealGroundMethod::SommerfeldNorton) {
    std::string text;
    for (const Card& c : ReadCards(nec::WriteDeck(m, g, plan, false, method)))
      if (c.name == "GE" || c.name == "GN" || c.text.rfind("CM ground", 0) == 0) text += c.text + ";";
    return text;
  };
  EXPECT_EQ(groundCards(Ground::FreeSpace), "CM ground: free;GE 0;");
  EXPECT_EQ(groundCards(Ground::Perfect), "CM ground: perfect;GE 1;GN 1;");
  EXPECT_EQ(groundCards(Ground::Poor),
            "CM ground: poor (Sommerfeld-Norton, permittivity 5, conductivity 0.001 S/m);GE 1;GN 2 0 0 0 5 0.001;");
  EXPECT_EQ(groundCards(Ground::Average).substr(groundCards(Ground::Average).find(";GE")),
            ";GE 1;GN 2 0 0 0 13 0.005;");
  EXPECT_EQ(groundCards(Ground::Good).substr(groundCards(Ground::Good).find(";GE")), ";GE 1;GN 2 0 0 0 20 0.03;");
  // A tuning's coarse stage: the same ground by reflection coefficients;
  // the method changes nothing where there is no real ground.
  EXPECT_EQ(groundCards(Ground::Average, nec::RealGroundMethod::ReflectionCoefficient),
            "CM ground: average (reflection coefficients, permittivity 13, conductivity 0.005 S/m);GE 1;GN 0 0 0 0 13 "
            "0.005;");
  EXPECT_EQ(groundCards(Ground::Perfect, nec::RealGroundMethod::ReflectionCoefficient), groundCards(Ground::Perfect));
  nec::Settings coarse = *nec::CoarseSearchSettings(test::CapturedSettings());
  EXPECT_EQ(coarse.groundMethod, nec::RealGroundMethod::ReflectionCoefficient);
  EXPECT_NE(nec::PrepareCheck(test::CapturedDesign(), coarse).deck.find("\nGN 0 0 0 0 13 0.005\n"), std::string::npos);
  coarse.ground = Ground::Perfect;
  EXPECT_FALSE(nec::CoarseSearchSettings(coarse));
  EXPECT_FALSE(nec::CoarseSearchSettings(nec::Settings{.ground = Ground::FreeSpace}));
}

TEST(NecDeck, CapturedDeckIsTheOneTheCheckWrites) {
  // tests/data/nec/ocf_7_14.out was made by nec2c from this very deck.
  const nec::Plan plan = nec::PrepareCheck(test::CapturedDesign(), test::CapturedSettings());
  EXPECT_EQ(plan.deck, test::DataFile("nec/ocf_7_14.nec"));
}

// ---- frequencies -----------------------------------------------------------------

TEST(NecFrequencies, CountedBandsAtTheRunsFrequencyAndSweptEdgeToEdge) {
  BandValues bands{};
  bands[1] = BandState::Counted;   // 3.5
  bands[5] = BandState::Counted;   // 14
  bands[7] = BandState::Grey;      // 21: not counted, not checked
  bands[10] = BandState::Counted;  // 50
  // CW: Table W has 50.1 for 50 MHz (Table S 50.09); SSB 3.75 for 3.5 MHz.
  nec::FrequencyPlan cw = nec::PlanFrequencies(bands, Segment::Cw, false, 0, 3);
  ASSERT_EQ(cw.steps.size(), 8u);
  EXPECT_DOUBLE_EQ(cw.steps[0].start, 3.5);
  EXPECT_DOUBLE_EQ(cw.steps[6].start, 50.1);
  EXPECT_EQ(cw.count(), 3 * 4 + 4);
  EXPECT_DOUBLE_EQ(cw.highest(), 52.0);
  // Only the lowest band is searched, after its sweep: 3.5 MHz -10 %, -5 %;
  // +5 %, +10 %.
  EXPECT_TRUE(cw.steps[2].kind == nec::StepKind::Resonance && cw.steps[3].band == 1);
  EXPECT_NEAR(cw.steps[2].frequency(0), 3.15, 1e-9);
  EXPECT_NEAR(cw.steps[3].frequency(1), 3.85, 1e-9);
  const nec::FrequencyPlan ssb = nec::PlanFrequencies(bands, Segment::Ssb, false, 0, 3);
  EXPECT_DOUBLE_EQ(ssb.steps[0].start, 3.75);
  const nec::FrequencyStep& sweep = ssb.steps[5];  // 14 MHz
  EXPECT_EQ(sweep.kind, nec::StepKind::Sweep);
  EXPECT_DOUBLE_EQ(sweep.frequency(0), 14.0);
  EXPECT_DOUBLE_EQ(sweep.frequency(2), 14.35);

  // The additional band takes its place by frequency, without a sweep, and
  // never inside a band's steps (3.6 MHz lies within the search of 3.5);
  // no sweep at all with 0 points.
  const nec::FrequencyPlan extra = nec::PlanFrequencies(bands, Segment::Centre, true, 12.0f, 0);
  ASSERT_EQ(extra.steps.size(), 6u);
  EXPECT_EQ(extra.steps[3].band, nec::kExtraBand);
  EXPECT_DOUBLE_EQ(extra.steps[3].start, 12.0);
  EXPECT_EQ(extra.count(), 4 + 4);
  const nec::FrequencyPlan inside = nec::PlanFrequencies(bands, Segment::Cw, true, 3.6f, 0);
  EXPECT_EQ(inside.steps[3].band, nec::kExtraBand);
}

// ---- the engine's output ---------------------------------------------------------

TEST(NecOutput, CapturedNec2cFile) {
  const std::string out = test::DataFile("nec/ocf_7_14.out");
  const std::vector<nec::InputParameters> p = nec::ParseInputParameters(out);
  ASSERT_EQ(p.size(), 10u);
  const double mhz[] = {7.1, 7.0, 7.2, 6.39, 6.745, 7.455, 7.81, 14.25, 14.0, 14.35};
  for (std::size_t i = 0; i < p.size(); ++i) {
    EXPECT_DOUBLE_EQ(p[i].frequency, mhz[i]);
    EXPECT_EQ(p[i].tag, 4);
    // Counted over all wires of the band's own structure: 5 + 1 + 1 on
    // wires 1 to 3 at 7 MHz, 9 + 1 + 1 at 14 MHz, then the source.
    EXPECT_EQ(p[i].segment, i < 7 ? 8 : 12);
  }
  EXPECT_DOUBLE_EQ(p[0].impedance.real(), 94.877);
  EXPECT_DOUBLE_EQ(p[0].impedance.imag(), -29.836);
  EXPECT_DOUBLE_EQ(p[7].impedance.real(), 154.86);
  EXPECT_DOUBLE_EQ(p[7].impedance.imag(), -168.81);
  EXPECT_DOUBLE_EQ(p[9].impedance.imag(), -133.65);
  // Each frequency's power budget: 7.1 MHz's, and the last one's.
  EXPECT_DOUBLE_EQ(p[0].inputPower, 4.7957e-03);
  EXPECT_DOUBLE_EQ(p[0].structureLoss, 9.8927e-05);
  ASSERT_TRUE(p[9].lossFraction().has_value());
  EXPECT_NEAR(*p[9].lossFraction(), 0.024147, 1e-6);
  // Without a budget there is no loss to give.
  nec::InputParameters none;
  EXPECT_FALSE(none.lossFraction().has_value());
  std::string noBudget = out;
  for (std::size_t at; (at = noBudget.find("INPUT POWER")) != std::string::npos;) noBudget.erase(at, 11);
  for (const nec::InputParameters& q : nec::ParseInputParameters(noBudget)) EXPECT_FALSE(q.lossFraction());
  EXPECT_EQ(nec::SolvedCount(out), 10);
  EXPECT_EQ(nec::LastLine(out), "TOTAL RUN TIME: 180 msec");

  // Stopped after the fourth frequency's heading: three whole rows.
  const std::size_t cut = out.find("FREQUENCY : 6.3900E+00");
  const std::string partial = out.substr(0, out.find("IMPEDANCE (OHMS)", cut)) + "\n  NO SEGMENT HAS AN ITAG OF 7\n\n";
  EXPECT_EQ(nec::ParseInputParameters(partial).size(), 3u);
  EXPECT_EQ(nec::LastLine(partial), "NO SEGMENT HAS AN ITAG OF 7");
  const nec::Plan plan = nec::PrepareCheck(test::CapturedDesign(), test::CapturedSettings());
  try {
    nec::Evaluate(test::CapturedDesign(), test::CapturedSettings(), plan, partial);
    ADD_FAILURE() << "an incomplete output is no result";
  } catch (const nec::OutputError& e) {
    EXPECT_EQ(nec::OutputErrorText(e, Language::English),
              "The output of nec2c is incomplete (3 of 10 frequencies): NO SEGMENT HAS AN ITAG OF 7");
  }
}

// ---- SWR and balun ----------------------------------------------------------------

TEST(NecSwr, HandComputedValues) {
  EXPECT_DOUBLE_EQ(nec::Swr({50, 0}, 1), 1);
  EXPECT_DOUBLE_EQ(nec::Swr({100, 0}, 1), 2);
  EXPECT_DOUBLE_EQ(nec::Swr({25, 0}, 1), 2);
  EXPECT_DOUBLE_EQ(nec::Swr({200, 0}, 4), 1);
  EXPECT_DOUBLE_EQ(nec::Swr({450, 0}, 9), 1);
  // |G| = 50 / |100 + 50j| = 0.44721: SWR = 2.618
  EXPECT_NEAR(nec::Swr({50, 50}, 1), 2.618034, 1e-6);
  // Through 6:1, 300 - 150j is 50 - 25j: |G| = 25 / |100 - 25j| = 0.24254
  EXPECT_NEAR(nec::Swr({300, -150}, 6), 1.640388, 1e-6);
  // Through 2.25:1, 112.5 + 112.5j is 50 + 50j.
  EXPECT_NEAR(nec::Swr({112.5, 112.5}, 2.25), 2.618034, 1e-6);
  EXPECT_TRUE(std::isinf(nec::Swr({0, 100}, 1))) << "a pure reactance takes no power";

  // Worst SWR per ratio for 200, 180 + 40j, 250 - 60j: through 4:1 the worst
  // is 250 - 60j as 62.5 - 15j, |G| = 19.526 / 113.496 = 0.17204, SWR 1.4156;
  // 6:1 makes 200 ohms 33.3 (1.5), 2.25:1 makes it 88.9 (1.78).
  const std::vector<std::complex<double>> z = {{200, 0}, {180, 40}, {250, -60}};
  const nec::BalunChoice best = nec::ChooseBalun(z);
  EXPECT_EQ(best.ratio, 4);
  EXPECT_NEAR(best.worstSwr, nec::Swr({250, -60}, 4), 1e-12);
  EXPECT_NEAR(best.worstSwr, 1.4156, 1e-4);
  // A band no ratio can match makes every ratio equally bad: the smaller
  // ratio wins the tie.
  EXPECT_EQ(nec::ChooseBalun(std::vector<std::complex<double>>{{200, 0}, {0, 100}}).ratio, 1);
  EXPECT_EQ(nec::ChooseBalun(std::vector<std::complex<double>>{{112.5, 0}, {120, 10}}).ratio, 2.25);

  EXPECT_EQ(nec::BalunText(2.25, ','), "2,25:1");
  EXPECT_EQ(nec::BalunText(9, '.'), "9:1");
  EXPECT_EQ(nec::BalunFromText("2,25"), 2.25);
  EXPECT_EQ(nec::BalunFromText("2.25"), 2.25);
  EXPECT_EQ(nec::BalunFromText("4:1"), 4);
  EXPECT_EQ(nec::BalunFromText("3"), std::nullopt);
  EXPECT_EQ(nec::BalunFromText("-4"), std::nullopt);
}

// ---- evaluation ---------------------------------------------------------------------

TEST(NecCheck, EvaluatesTheCapturedOutput) {
  const nec::Design design = test::CapturedDesign();
  nec::Settings settings = test::CapturedSettings();
  const nec::Plan plan = nec::PrepareCheck(design, settings);
  const std::string out = test::DataFile("nec/ocf_7_14.out");

  nec::Result r = nec::Evaluate(design, settings, plan, out);
  ASSERT_EQ(r.bands.size(), 2u);
  EXPECT_EQ(r.bands[0].solved.band, 3);
  EXPECT_DOUBLE_EQ(r.bands[0].solved.frequency, 7.1);
  EXPECT_EQ(r.bands[0].solved.impedance, std::complex<double>(94.877, -29.836));
  EXPECT_EQ(r.bands[1].solved.band, 5);
  EXPECT_FALSE(r.bands[0].model) << "7.06 m is no proposed feed point of this design";
  ASSERT_EQ(r.sweep.size(), 4u);
  EXPECT_DOUBLE_EQ(r.sweep[1].frequency, 7.2);
  EXPECT_DOUBLE_EQ(r.sweep[3].frequency, 14.35);
  EXPECT_EQ(r.sweep[3].impedance, std::complex<double>(153.71, -133.65));
  // By hand, the worst over own and edge frequencies: the 14.0 MHz edge,
  // 160.78 - 261.21j, is 3.91 through 4:1, 3.53 through 6:1 (7.0 MHz 3.49);
  // 9:1 leaves 7.0 MHz at 5.12, 2.25:1 the edge at 5.73.
  EXPECT_TRUE(r.balunChosen);
  EXPECT_EQ(r.balunRatio, 6);
  EXPECT_EQ(r.worstBand, 5);
  EXPECT_NEAR(r.worstSwr, 3.533, 1e-3);
  EXPECT_NEAR(r.bands[0].solved.swr, 3.197, 1e-3);
  EXPECT_NEAR(r.sweep[3].swr, nec::Swr({153.71, -133.65}, 6), 1e-12);
  EXPECT_TRUE(r.bands[0].usable && r.bands[1].usable);
  // -1.6961 ohm at 7.2 MHz, +71.256 at 7.455: 7.2 + 0.255 * 1.6961 / 72.952.
  ASSERT_TRUE(r.resonance);
  EXPECT_EQ(r.resonance->band, 3);
  EXPECT_NEAR(r.resonance->frequency, 7.20593, 1e-5);
  EXPECT_NEAR(r.resonance->vk, 0.95 * 7.20593 / 7.1, 1e-5);

  settings.balunRatio = 9;
  r = nec::Evaluate(design, settings, plan, out);
  EXPECT_FALSE(r.balunChosen);
  EXPECT_EQ(r.balunRatio, 9);
  EXPECT_NEAR(r.bands[0].solved.swr, nec::Swr({94.877, -29.836}, 9), 1e-12);
}

TEST(NecCheck, ModelImpedanceIsTheCurrentSumReportsCell) {
  const TypicalDesign t;
  ASSERT_FALSE(t.design.proposedFeeds.empty());
  // The impedance rows of AntStrSu.txt: position, sum, then the shown bands
  // from 28 MHz down to 3.5 MHz.
  const std::vector<std::string> lines =
      test::Lines(report::FromCp1252(test::ReadBytes(t.folder.file("AntStrSu.txt"))));
  std::size_t row = 0;
  while (row < lines.size() && lines[row].rfind("Impedanzen", 0) != 0) ++row;
  row += 3;
  ASSERT_LT(row, lines.size());
  for (const FeedCandidate& c : t.design.proposedFeeds) {
    std::istringstream cells(lines[row++]);
    std::string position, sum;
    cells >> position >> sum;
    EXPECT_EQ(position, report::FormatPicture(c.x, "0.00", ','));
    for (int band : {9, 7, 5, 3, 1}) {
      std::string cell;
      cells >> cell;
      const auto model = nec::ReportedImpedanceAt(t.design, c.x, band);
      ASSERT_TRUE(model) << position;
      EXPECT_EQ(model->cell, cell) << position << " band " << band;
    }
  }
  // A feed point between the report's rows has none; the centimetre decides.
  const double x = t.design.proposedFeeds.front().x;
  EXPECT_TRUE(nec::ReportedImpedanceAt(t.design, x + 0.004, 5));
  EXPECT_FALSE(nec::ReportedImpedanceAt(t.design, x + 0.01, 5));
  EXPECT_FALSE(nec::ReportedImpedanceAt(t.design, x, 0)) << "the 1.8 MHz band is off: no column";
}

// ---- NecCheck.txt --------------------------------------------------------------------

report::NecCheckReport CapturedReport(Language lang, char sep) {
  const nec::Design design = test::CapturedDesign();
  const nec::Settings settings = test::CapturedSettings();
  const nec::Plan plan = nec::PrepareCheck(design, settings);
  return report::MakeNecCheckReport(design, plan,
                                    nec::Evaluate(design, settings, plan, test::DataFile("nec/ocf_7_14.out")), lang,
                                    sep, "08.12.2026 15:44:35");
}

std::vector<std::string> ReportLines(const report::NecCheckReport& r, std::string* bytes = nullptr) {
  std::ostringstream out;
  report::WriteNecCheckReport(out, r);
  if (bytes) *bytes = out.str();
  return test::Lines(report::FromCp1252(out.str()));
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(NecReport, GermanWindows1252WithCrLf) {
  std::string bytes;
  const std::vector<std::string> lines = ReportLines(CapturedReport(Language::German, ','), &bytes);
  EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1) << "CR LF line ends";
  EXPECT_NE(bytes.find("Pr\xFC"
                       "fung"),
            std::string::npos)
      << "Windows-1252 bytes";
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], std::string(24, ' ') + "Lorvant ");
  EXPECT_TRUE(Has(lines, "Geometrische Antennenlänge: 20,07 m"));
  EXPECT_TRUE(Has(lines, "Speisepunkt: 7,06 m vom Drahtanfang"));
  EXPECT_TRUE(Has(lines, "Aufhängung: waagerecht in 10,0 m"));
  EXPECT_TRUE(Has(lines, "Winkel zwischen den Schenkeln (von oben gesehen): 180 Grad"));
  EXPECT_TRUE(Has(lines, "Leiterdurchmesser: 1,4 mm, Leitfähigkeit 58000000 S/m (Kupfer)"));
  EXPECT_TRUE(Has(lines, "Isolierung: keine"));
  EXPECT_TRUE(Has(lines,
                  "Modell: 2 Strukturen (eine je Band), 19 bis 32 Segmente (höchstens 1/30 der Wellenlänge der "
                  "höchsten Frequenz des Bandes), Quelle mittig bei 7,06 m längs des Drahts"));
  EXPECT_TRUE(Has(lines, "Balun: 6:1 (automatisch gewählt)"));
  EXPECT_TRUE(Has(lines, "Band            MHz   R [Ohm]   X [Ohm]     SWV  Modell [Ohm] Verlust [%]"));
  EXPECT_TRUE(Has(lines, "7 MHz         7,100      94,9     -29,8    3,20             -         2,1"));
  EXPECT_TRUE(Has(lines, "14 MHz       14,250     154,9    -168,8    2,70             -         2,4"));
  EXPECT_TRUE(Has(lines,
                  "Verlust: der Anteil der eingespeisten Leistung, den der Leiter in Wärme umsetzt "
                  "(Leistungsbilanz von nec2c); die Verluste im Boden sind nicht enthalten."));
  EXPECT_TRUE(Has(lines, "Balun 6:1 verwenden: schlechtestes SWV 3,53 (14 MHz)."));
  EXPECT_TRUE(Has(lines, "Resonanz des 7-MHz-Bands im Modell: 7,206 MHz; NEC-2-Verkürzungsfaktor Vk' = 0,964"));
  EXPECT_TRUE(Has(lines, "Verlauf über jedes Band von Bandgrenze zu Bandgrenze (IARU-Region 1):"));
  EXPECT_TRUE(Has(lines, "14 MHz       14,350     153,7    -133,7    2,44"));
  EXPECT_EQ(lines.back(), "Berechnung am 08.12.2026 15:44:35 " + std::string(kLegalNotice));
}

TEST(NecReport, EnglishWithModelColumnAndAGivenBalun) {
  report::NecCheckReport r = CapturedReport(Language::English, '.');
  nec::SettleBalun(r.result, 9.0);
  r.result.region = nec::Region::Two;
  r.result.bands[1].model = nec::ReportedImpedance{286.2f, "(286)"};
  const std::vector<std::string> lines = ReportLines(r);
  EXPECT_TRUE(Has(lines, "Conductor diameter: 1.4 mm, conductivity 58000000 S/m (copper)"));
  EXPECT_TRUE(Has(lines,
                  "Environment: average ground (Sommerfeld-Norton: relative permittivity 13, conductivity "
                  "0.005 S/m)"));
  EXPECT_TRUE(Has(lines, "Band            MHz   R [Ohm]   X [Ohm]     SWR   Model [Ohm]    Loss [%]"));
  EXPECT_TRUE(Has(lines, "14 MHz       14.250     154.9    -168.8    3.36         (286)         2.4"));
  EXPECT_TRUE(Has(lines, "Balun: 9:1 (as given)"));
  EXPECT_TRUE(Has(lines, "With a 9:1 balun: worst SWR 5.12 (7 MHz); a 6:1 balun would give 3.53."));
  EXPECT_TRUE(Has(lines, "Resonance of the 7 MHz band in the model: 7.206 MHz; NEC-2 shortening factor Vk' = 0.964"));
  EXPECT_TRUE(Has(lines, "Across each band from edge to edge (IARU Region 2):"));
  EXPECT_EQ(report::LossLine(r), "Loss in the conductor: 7 MHz 2.1 %, 14 MHz 2.4 %");
  for (nec::BandCheck& b : r.result.bands) b.solved.loss.reset();
  EXPECT_EQ(report::LossLine(r), "");
  EXPECT_FALSE(Has(ReportLines(r),
                   "Loss: the share of the power fed in that the conductor turns into heat "
                   "(nec2c's power budget); the losses in the ground are not included."));
  EXPECT_TRUE(Has(lines,
                  "Model: the approximation of AntStrSu.txt at this feed point (almost exact only in the "
                  "resonance case)."));

  EXPECT_EQ(report::SwrText(99.994, '.'), "99.99");
  EXPECT_EQ(report::SwrText(99.995, '.'), ">99");
  EXPECT_EQ(report::SwrText(std::numeric_limits<double>::infinity(), ','), ">99");
  EXPECT_EQ(report::NecBandName(8, 0, ','), "24,9 MHz");
  EXPECT_EQ(report::NecBandName(nec::kExtraBand, 12.345f, '.'), "12.345 MHz");
}

TEST(NecReport, BandsNoBalunServesAndNoResonance) {
  // As if 14 MHz met the current minimum at the feed: 4 kOhm, which even 9:1
  // leaves at SWR 10. The balun then follows 7 MHz alone (2.25:1; its 7.0 MHz
  // edge, 89.4 - 57.8j, is the worst at 1.84).
  for (const auto& [lang, sep] : {std::pair{Language::German, ','}, std::pair{Language::English, '.'}}) {
    report::NecCheckReport r = CapturedReport(lang, sep);
    r.result.bands[1].solved.impedance = {4000, 1500};
    nec::SettleBalun(r.result, std::nullopt);
    r.result.resonance.reset();
    const std::vector<std::string> lines = ReportLines(r);
    const bool de = lang == Language::German;
    // The band's row carries the mark, the sweep's rows do not.
    const std::string mark = de ? "  nicht nutzbar" : "  not usable";
    const auto marked = [&](const std::string& l) { return l.size() > mark.size() && l.ends_with(mark); };
    ASSERT_EQ(std::count_if(lines.begin(), lines.end(), marked), 1);
    EXPECT_EQ(std::find_if(lines.begin(), lines.end(), marked)->rfind("14 MHz ", 0), 0u);
    EXPECT_TRUE(Has(lines, de ? "Nicht nutzbar: an diesem Speisepunkt bringt kein Balun das SWV unter 3; diese Bänder "
                                "zählen nicht bei der Wahl des Baluns."
                              : "Not usable: at this feed point no balun brings the SWR under 3; these bands do not "
                                "count in the choice of the balun."));
    EXPECT_TRUE(Has(lines, de ? "Balun 2,25:1 verwenden: schlechtestes SWV 1,84 (7 MHz). An diesem Speisepunkt nicht "
                                "nutzbar: 14 MHz."
                              : "Use a 2.25:1 balun: worst SWR 1.84 (7 MHz). Not usable at this feed point: 14 MHz."));
    EXPECT_TRUE(Has(lines, de ? "Keine Resonanz des 7-MHz-Bands im Modell innerhalb von 10 % um 7,100 MHz (der "
                                "Blindwiderstand wechselt dort nicht von kapazitiv zu induktiv)."
                              : "No resonance of the 7 MHz band in the model within 10 % of 7.100 MHz (its reactance "
                                "does not turn from capacitive to inductive there)."));

    r.result.bands[0].solved.impedance = {4000, 1500};
    nec::SettleBalun(r.result, std::nullopt);
    EXPECT_EQ(report::BalunAdvice(r),
              de ? "Kein Band ist an diesem Speisepunkt nutzbar: mit keinem Balun kommt das SWV unter 3; der Balun "
                   "bleibt 1:1."
                 : "No band is usable at this feed point: no balun brings the SWR under 3; the balun stays at 1:1.");
  }
}

TEST(NecReport, DescribesTheHangingTheConductorAndTheSleeve) {
  nec::Design design = test::CapturedDesign();
  design.insulation = nec::Insulation{3.5, 2.8};
  nec::Settings settings = test::CapturedSettings();
  settings.hanging = {6, 5, nec::Apex{12, {}}, 120};
  settings.material = nec::Material::Aluminium;
  report::NecCheckReport r;
  r.language = Language::English;
  r.sep = '.';
  r.conductorDiameter = design.conductorDiameter;
  r.model = nec::PrepareCheck(design, settings).model;
  const std::vector<std::string> lines = report::NecCheckBody(r);
  EXPECT_TRUE(
      Has(lines, "Hanging: inverted-V, ends at 6.0 m and 5.0 m, apex at 12.0 m height at 7.06 m along the wire"));
  EXPECT_TRUE(Has(lines, "Angle between the legs (seen from above): 120 degrees"));
  EXPECT_TRUE(Has(lines, "Conductor diameter: 1.4 mm, conductivity 35000000 S/m (aluminium)"));
  EXPECT_TRUE(Has(lines,
                  "Insulation: er 3.5 over 2.8 mm, as a distributed series inductance per metre from the sleeve's "
                  "permittivity and diameters (0.099 µH/m)"));
  // A conductivity given wins over the material; lossless has none.
  settings.conductivity = 1e7;
  r.model = nec::PrepareCheck(design, settings).model;
  EXPECT_TRUE(Has(report::NecCheckBody(r), "Conductor diameter: 1.4 mm, conductivity 10000000 S/m"));
  settings.conductivity.reset();
  settings.material = nec::Material::Lossless;
  design.insulation.reset();
  r.language = Language::German;
  r.sep = ',';
  r.model = nec::PrepareCheck(design, settings).model;
  EXPECT_TRUE(Has(report::NecCheckBody(r), "Leiterdurchmesser: 1,4 mm, verlustfrei (idealer Leiter)"));
  EXPECT_TRUE(Has(report::NecCheckBody(r), "Isolierung: keine"));
  EXPECT_EQ(nec::PrepareCheck(design, settings).deck.find("LD "), std::string::npos);
}

// The files made from a deck go with it: a new set without them removes
// the earlier ones; a set that fails leaves every file as it was.
TEST(NecFiles, AnEarlierModelSweepAndSheetGoWithTheirDeck) {
  test::TempFolder dir;
  const std::string deck = dir.str() + nec::kDeckFileName, report = dir.str() + "NecCheck.txt";
  const auto earlier = [&] {
    for (const char* name : {"Lorvant.nec", "NecCheck.txt", "Lorvant.s1p", "Lorvant-Sheet.pdf"})
      test::WriteBytes(dir.file(name), std::string("old ") + name);
  };
  const auto names = [&] {
    std::set<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) found.insert(e.path().filename().string());
    return found;
  };

  earlier();
  nec::CommitCheckFiles({{deck, "deck"}, {report, "report"}, {dir.str() + "Lorvant.s1p", "sweep"}});
  EXPECT_EQ(names(), (std::set<std::string>{"Lorvant.nec", "NecCheck.txt", "Lorvant.s1p"}));
  EXPECT_EQ(test::ReadBytes(dir.file("Lorvant.s1p")), "sweep");

  // Files of another name, and a set without a deck, keep what lies beside.
  earlier();
  nec::CommitCheckFiles({{dir.str() + "swr.svg", "picture"}});
  EXPECT_EQ(names().size(), 5u);
  std::filesystem::remove(dir.file("swr.svg"));

  EXPECT_TRUE(nec::CommitDeckAlone(deck, "alone", report));
  EXPECT_EQ(names(), std::set<std::string>{"Lorvant.nec"});

  // The report cannot be renamed into place (a folder of that name): the
  // sweep and the sheet of the earlier deck stay with it.
  earlier();
  std::filesystem::remove(dir.file("NecCheck.txt"));
  std::filesystem::create_directories(dir.file("NecCheck.txt") / "inside");
  EXPECT_THROW(nec::CommitCheckFiles({{deck, "deck"}, {report, "report"}}), files::FileError);
  EXPECT_EQ(test::ReadBytes(dir.file("Lorvant.s1p")), "old Lorvant.s1p");
  EXPECT_EQ(test::ReadBytes(dir.file("Lorvant-Sheet.pdf")), "old Lorvant-Sheet.pdf");
  EXPECT_EQ(names().size(), 4u) << "no temporary left behind";
}

}  // namespace
}  // namespace lorvant
