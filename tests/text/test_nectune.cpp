// NecTune.txt: the start and the tuned design side by side in both
// languages, the band table with each side's worst over the sweep and the
// mark of a band that is not usable, the weights, and the file's bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "engine/nec/swr.h"
#include "text/nec_texts.h"
#include "text/reports/neccheck.h"
#include "text/reports/nectune.h"

namespace lorvant::report {
namespace {

// A result of two bands, 3.5 and 14 MHz, each with a two-point sweep, the
// balun settled as the check settles it.
nec::Result TwoBands(std::complex<double> low, std::complex<double> high) {
  nec::Result r;
  r.bands.push_back({{1, 3.65, low, 0}, std::nullopt, true});
  r.bands.push_back({{5, 14.25, high, 0}, std::nullopt, true});
  r.sweep = {{1, 3.5, low * 1.3, 0}, {1, 3.8, low * 0.8, 0}, {5, 14.0, high * 1.1, 0}, {5, 14.35, high, 0}};
  nec::SettleBalun(r, std::nullopt);
  return r;
}

NecTuneReport Report(Language lang, char sep) {
  NecTuneReport r;
  r.language = lang;
  r.sep = sep;
  r.dateText = "09.12.2026 16:30:00";
  r.ground = nec::Ground::Average;
  // The start's 14 MHz band is far off; the tuned design serves both.
  r.start = {39.041096, 6.17, TwoBands({190, -100}, {2000, -1500}), 4.4};
  r.tuned = {41.641, 8.003, TwoBands({250, 80}, {300, -20}), 2.2};
  r.shorteningFactor = 0.95f;
  r.tunedShorteningFactor = 0.95 * 41.641 / 39.041096;
  r.evaluations = 381;
  r.engineRuns = 21;
  r.jobs = 2;
  r.seconds = 190.26;
  r.coarseEvaluations = 300;
  r.engineSeconds = 187.4;
  return r;
}

bool Has(const std::vector<std::string>& lines, const std::string& text) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

std::string LineWith(const std::vector<std::string>& lines, const std::string& start) {
  for (const std::string& l : lines)
    if (l.rfind(start, 0) == 0) return l;
  return {};
}

TEST(NecTuneReport, StartAndTunedSideBySideInEnglish) {
  const NecTuneReport r = Report(Language::English, '.');
  ASSERT_FALSE(r.start.result.bands[1].usable);
  const std::vector<std::string> lines = NecTuneBody(r);
  EXPECT_EQ(LineWith(lines, "Length"), "Length              39.041 m              41.641 m");
  EXPECT_EQ(LineWith(lines, "Feed point"), "Feed point          6.17 m (15.8 %)       8.00 m (19.2 %)");
  EXPECT_EQ(LineWith(lines, "Usable bands"), "Usable bands        1 of 2                2 of 2");
  EXPECT_NE(LineWith(lines, "Balun").find(nec::BalunText(r.tuned.result.balunRatio, '.')), std::string::npos);
  EXPECT_TRUE(Has(lines, "Environment: average ground"));
  EXPECT_TRUE(Has(lines,
                  "Vk = 1.0133 (instead of 0.95; above 1, which the main form does not take: the tuned wire "
                  "is longer than a run can give)"));
  EXPECT_TRUE(Has(lines, "381 designs evaluated, 21 nec2c runs, 190.3 s with 2 processes"));
  EXPECT_TRUE(Has(lines, "Of them 300 over reflection-coefficient ground (the coarse stage only)."));
  EXPECT_TRUE(Has(lines, "nec2c's share of the time: 98 %"));
  EXPECT_FALSE(Has(lines, "Weighted")) << "no weights given";
  EXPECT_FALSE(Has(lines, "no better design"));

  // The band rows: the start's 14 MHz marked, its worst over the sweep.
  const std::string row = LineWith(lines, "14 MHz");
  ASSERT_FALSE(row.empty());
  const std::string startWorst = SwrText(WorstOverSweep(r.start.result, 5), '.') + "*";
  EXPECT_NE(row.find(startWorst), std::string::npos) << row;
  EXPECT_NE(row.find("300.0"), std::string::npos) << row;
  EXPECT_TRUE(Has(lines, "* not usable at this feed point: no balun brings the SWR under 3"));
  // The sweep's worst is the highest of the band's sweep points.
  EXPECT_DOUBLE_EQ(WorstOverSweep(r.tuned.result, 1),
                   std::max(r.tuned.result.sweep[0].swr, r.tuned.result.sweep[1].swr));
  EXPECT_EQ(WorstOverSweep(r.tuned.result, 9), 0);
}

TEST(NecTuneReport, GermanWithWeightsAndATuningThatFoundNothingBetter) {
  NecTuneReport r = Report(Language::German, ',');
  r.tuned = r.start;
  r.tunedShorteningFactor = 0.95;
  r.weights = {{1, 2}, {5, 0.5}};
  const std::vector<std::string> lines = NecTuneBody(r);
  EXPECT_TRUE(Has(lines, "Vk = 0,9500 (statt 0,95; der Lauf ergibt damit die abgestimmte Länge)"));
  EXPECT_EQ(LineWith(lines, "Länge"), "Länge               39,041 m              39,041 m");
  EXPECT_TRUE(Has(lines, "Die Suche fand keinen besseren Entwurf als den Start"));
  EXPECT_EQ(LineWith(lines, "Gewichtet"), "Gewichtet           4,40                  4,40");
  EXPECT_TRUE(Has(lines, "Gewichte (SWV - 1 zählt so oft): 3,5 MHz 2, 14 MHz 0,5"));
  EXPECT_TRUE(Has(lines, "Nutzbare Bänder     1 von 2"));
  EXPECT_TRUE(Has(lines, "Davon 300 über dem Boden mit Reflexionskoeffizienten"));
  EXPECT_TRUE(Has(lines, "Anteil von nec2c an der Zeit: 98 %"));
  // Over a ground without a coarse stage the line is left out.
  r.coarseEvaluations = 0;
  EXPECT_FALSE(Has(NecTuneBody(r), "Davon "));
}

TEST(NecTuneReport, Windows1252WithCrLf) {
  std::ostringstream out;
  WriteNecTuneReport(out, Report(Language::German, ','));
  const std::string bytes = out.str();
  EXPECT_NE(bytes.find("L\xE4nge"), std::string::npos) << "ä as the code page writes it";
  EXPECT_EQ(bytes.find("\xC3\xA4"), std::string::npos) << "no UTF-8 left";
  std::size_t lf = 0, crLf = 0;
  for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
    ++lf;
    crLf += at > 0 && bytes[at - 1] == '\r' ? 1 : 0;
  }
  EXPECT_GT(lf, 20u);
  EXPECT_EQ(crLf, lf);
  EXPECT_NE(bytes.find("09.12.2026 16:30:00"), std::string::npos) << "the closing line";
}

}  // namespace
}  // namespace lorvant::report
