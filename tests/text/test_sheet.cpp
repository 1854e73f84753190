// The build sheet as a PDF: a well-formed one-page document whose text
// names both legs (as designed and to cut, in metres and in feet and
// inches), the heights, the balun and each band's SWR and pruning, in both
// languages; eleven bands still fit the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/bands.h"
#include "engine/nec/hanging.h"
#include "tests/support/PdfReader.h"
#include "text/format.h"
#include "text/pdf.h"
#include "text/reports/sheet.h"

namespace lorvant {
namespace {

using report::SheetData;
using test::ReadPdf;
using test::Shows;

// A 20 m wire fed 6.4 m from its start, hung as an inverted-V over an
// apex at the feed point, with `bands` counted bands from 1.8 MHz up.
SheetData Sheet(Language lang, char sep, int bands) {
  SheetData d;
  report::NecCheckReport& r = d.check;
  r.language = lang;
  r.sep = sep;
  r.dateText = "09.12.2026 17:00:00";
  r.model.length = 20;
  r.model.feed = 6.4;
  r.model.hanging.startHeight = 6;
  r.model.hanging.endHeight = 7;
  r.model.hanging.apex = nec::Apex{11, std::nullopt};
  r.model.corners = nec::HangingPoints(r.model.hanging, 20, 6.4);
  r.result.balunRatio = 4;
  for (int band = 0; band < bands; ++band) {
    nec::BandCheck b;
    b.solved.band = band;
    b.solved.frequency = BandNennFrequenz(band);
    b.solved.swr = 1.25 + 0.5 * band;
    r.result.bands.push_back(b);
  }
  return d;
}

TEST(SheetFigures, LengthsInMetresAndFeetAndInches) {
  EXPECT_EQ(report::MetresText(12.345, '.'), "12.35 m");
  EXPECT_EQ(report::MetresText(0.5, ','), "0,50 m");
  EXPECT_EQ(report::FeetInchesText(1.0, '.'), "3 ft 3.4 in");  // 39.37 in
  EXPECT_EQ(report::FeetInchesText(0.3048, ','), "1 ft 0,0 in");
  // 11.99 in rounds into the next foot, not to "0 ft 12.0 in".
  EXPECT_EQ(report::FeetInchesText(0.30455, '.'), "1 ft 0.0 in");
  // 40 m resonant at 7 MHz: 0.1 MHz is 1/70 of it, 57 cm of the wire.
  EXPECT_NEAR(report::CentimetresPer100kHz(40, 7), 57.14, 0.01);
}

TEST(SheetPdf, AWellFormedPageWithTheLegsBalunAndBandsInBothLanguages) {
  for (const auto& [lang, sep] : {std::pair(Language::English, '.'), std::pair(Language::German, ',')}) {
    SCOPED_TRACE(sep);
    SheetData d = Sheet(lang, sep, 4);
    d.allowance = 0.2;
    const test::PdfContents pdf = ReadPdf(report::WriteSheet(d));
    EXPECT_EQ(pdf.pages, 1);
    const auto num = [sep](const char* s) {
      std::string t = s;
      for (char& c : t)
        if (c == '.') c = sep;
      return t;
    };
    // Legs of 6.4 and 13.6 m; cut 40 cm longer (20 cm at each end).
    for (const char* m : {"6.40 m", "6.80 m", "13.60 m", "14.00 m", "20.00 m"}) EXPECT_TRUE(Shows(pdf, num(m))) << m;
    for (const char* ft : {"21 ft 0.0 in", "22 ft 3.7 in", "44 ft 7.4 in", "45 ft 11.2 in"})
      EXPECT_TRUE(Shows(pdf, num(ft))) << ft;
    EXPECT_TRUE(Shows(pdf, "4:1"));
    EXPECT_TRUE(Shows(pdf, num("11.00 m")));  // the apex, which is also the feed point's height
    for (const char* swr : {"1.3", "1.8", "2.3", "2.8"}) EXPECT_TRUE(Shows(pdf, num(swr))) << swr;
    // The pruning of the 80 m band: 20 m * 0.1 / 3.5 MHz.
    EXPECT_TRUE(Shows(pdf, num("57.1")));
    EXPECT_TRUE(Shows(pdf, "1.1.") || Shows(pdf, "Lorvant "));
    if (lang == Language::German) {
      EXPECT_TRUE(Shows(pdf, "Gesamtl\xE4nge"));  // Windows-1252, as WinAnsiEncoding reads it
      EXPECT_TRUE(Shows(pdf, "H\xF6he des Speisepunkts"));
    } else {
      EXPECT_TRUE(Shows(pdf, "Leg to the start"));
      EXPECT_TRUE(Shows(pdf, "Common-mode choke"));
    }
  }
}

TEST(SheetPdf, TheChokeComesFromTheFeedLineAnalysis) {
  SheetData d = Sheet(Language::English, '.', 4);
  EXPECT_TRUE(Shows(ReadPdf(report::WriteSheet(d)), "Common-mode choke: open (no feed-line analysis yet)"));
  nec::AirResult air;
  air.feedline = nec::Feedline{6, 1000};
  air.chokeSearched = true;
  air.chokeRecommendation = 5000;
  d.check.air = air;
  const test::PdfContents pdf = ReadPdf(report::WriteSheet(d));
  EXPECT_TRUE(Shows(pdf,
                    "Common-mode choke: at least 5000 ohm (keeps every band under 10 % on the shield); "
                    "modelled with 1000 ohm"));
  d.check.air->chokeRecommendation.reset();
  d.check.language = Language::German;
  EXPECT_TRUE(Shows(ReadPdf(report::WriteSheet(d)),
                    "Mantelwellensperre: keine der gepr\xFC"
                    "ften bis 10000 Ohm h\xE4lt jedes Band unter 10 %"));
}

TEST(SheetPdf, ElevenBandsStillFitOnePage) {
  const SheetData d = Sheet(Language::German, ',', kBandCount);
  const test::PdfContents pdf = ReadPdf(report::WriteSheet(d));
  EXPECT_EQ(pdf.pages, 1);
  for (const nec::BandCheck& b : d.check.result.bands)
    EXPECT_TRUE(Shows(pdf, report::NecBandName(b.solved.band, 0, ','))) << b.solved.band;
  // Every line above the bottom margin of the A4 page.
  EXPECT_GE(pdf.lowestText, 30);
  EXPECT_LE(pdf.lowestText, 50);  // the closing line sits at the foot
}

// The side view draws the wire to one scale on both axes, labels the
// supports' heights and the legs' lengths, and keeps every mark on the
// page; the page a printer gets holds the document's strings.
TEST(SheetPdf, TheSideViewIsToScaleAndLabelled) {
  const SheetData d = Sheet(Language::English, '.', 3);
  const pdf::Page page = report::SheetPage(d);
  std::vector<const pdf::Mark*> wire;
  std::vector<std::string> texts;
  for (const pdf::Mark& m : page.marks()) {
    if (m.isText) {
      texts.push_back(m.cp1252);
      EXPECT_GE(m.x1, 0) << m.cp1252;
      EXPECT_LE(m.x1 + 0.6 * m.size * m.cp1252.size(), page.width()) << m.cp1252;
    } else if (m.width == 1.2) {
      wire.push_back(&m);
    }
  }
  EXPECT_EQ(texts, ReadPdf(page.document("t")).text);
  // Start, apex, end: two pieces, rising 5 m over the first leg's run and
  // falling 4 m over the second's.
  const std::vector<nec::Point>& c = d.check.model.corners;
  ASSERT_EQ(c.size(), 3u);
  ASSERT_EQ(wire.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    const double run = std::hypot(c[i + 1].x - c[i].x, c[i + 1].y - c[i].y);
    const double rise = c[i + 1].z - c[i].z;
    const pdf::Mark& m = *wire[static_cast<std::size_t>(i)];
    EXPECT_NEAR((m.y2 - m.y1) / (m.x2 - m.x1), rise / run, 1e-9) << i;
  }
  for (const char* label : {"6.00 m", "11.00 m", "7.00 m", "6.40 m", "13.60 m"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), label), texts.end()) << label;
}

TEST(PdfWriter, StringsAreEscapedAndReadBack) {
  pdf::Page page;
  page.text(10, 20, pdf::Font::Bold, 12, "a (b) \\c\td");
  page.line(0, 0, 100, 100, 1, 2);
  const test::PdfContents pdf = ReadPdf(page.document("t"));
  ASSERT_EQ(pdf.text.size(), 1u);  // the title lies in the info object, not in the page
  EXPECT_EQ(pdf.text[0], "a (b) \\c\td");
  EXPECT_EQ(pdf.pages, 1);
  EXPECT_EQ(pdf::EscapeString("()\\\n"), "\\(\\)\\\\\\012");
}

}  // namespace
}  // namespace lorvant
