// The current-curve picture in user coordinates: curves, ticks, labels,
// marks, as the drawing steps hand them to the canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "picture/curve_picture.h"
#include "session/question.h"
#include "tests/session/run_support.h"
#include "text/format.h"

namespace lorvant {
namespace {

struct Dot {
  double x, y;
  int colour;
};
struct Text {
  double x, y;
  std::string text;
  int colour;
};

class RecordingCanvas : public Canvas {
 public:
  std::vector<Dot> dots;
  std::vector<Text> texts;
  int setups = 0, clears = 0;
  void setup() override {
    ++setups;
    dots.clear();
    texts.clear();
  }
  void clear() override {
    ++clears;
    dots.clear();
    texts.clear();
  }
  void point(double x, double y, int colour) override { dots.push_back({x, y, colour}); }
  void text(double x, double y, std::string_view t, int colour) override {
    texts.push_back({x, y, std::string(t), colour});
  }
  double textWidth(std::string_view t) const override { return 7.0 * report::CharCount(t); }
  std::string bitmap() const override { return "BM"; }

  const Text* find(const std::string& t) const {
    for (const Text& x : texts)
      if (x.text == t) return &x;
    return nullptr;
  }
};

std::array<bool, kBandCount> Shown(std::initializer_list<int> bands) {
  std::array<bool, kBandCount> s{};
  for (int b : bands) s[static_cast<std::size_t>(b)] = true;
  return s;
}

// Draws a whole scan with constant currents.
void Scan(CurvePicture& pic, std::int32_t N, const std::array<bool, kBandCount>& shown, double i1 = 0.5,
          double T = 0.25, bool extra = false) {
  std::array<double, kBandCount> currents{};
  currents.fill(i1);
  for (std::int32_t p = 0; p <= N; ++p) pic.step(p, currents, shown, extra, i1, T);
}

TEST(CurveSteps, WireEndsAtTheSameWidthForEveryLength) {
  for (float length : {5.3f, test::worked::kLength, 43.0f, 1000.0f}) {
    RecordingCanvas canvas;
    CurvePicture pic(canvas);
    pic.setup();
    ASSERT_TRUE(pic.setScale(length));
    const auto N = static_cast<std::int32_t>(std::lround(length * 100.0));
    Scan(pic, N, Shown({5}));
    pic.labels(N, length, false, 0, Language::German, ',');
    double last = -1;
    for (const Dot& d : canvas.dots)
      if (d.y == 150 && d.colour == kColourBlack) last = std::max(last, d.x);
    EXPECT_NEAR(last, 1280, 1280.0 / N + 1e-3) << length;
    EXPECT_DOUBLE_EQ(last, N / static_cast<double>(pic.scale())) << length;
    // Start, centre and end marks on one line.
    std::vector<double> marks;
    for (const Text& t : canvas.texts)
      if (t.text == "|") {
        EXPECT_EQ(t.y, 180);
        marks.push_back(t.x);
      }
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[0], 0);
    EXPECT_DOUBLE_EQ(marks[1], last / 2);
    EXPECT_DOUBLE_EQ(marks[2], last);
    ASSERT_NE(canvas.find("m"), nullptr);
    EXPECT_DOUBLE_EQ(canvas.find("m")->x, last + 22);
  }
}

TEST(CurveSteps, TicksAndLabelsOfA43MetreWire) {
  RecordingCanvas canvas;
  CurvePicture pic(canvas);
  ASSERT_TRUE(pic.setScale(43));
  Scan(pic, 4300, Shown({}));
  const float k = pic.scale();
  for (int m = 0; m <= 43; ++m) {
    const double x = m * 100 / static_cast<double>(k);
    int below = 0;  // tick points below the base line at this x
    for (const Dot& d : canvas.dots)
      if (d.x == x && d.y > 150) {
        EXPECT_EQ(d.colour, kColourBlack);
        ++below;
      }
    const int length = m % 10 == 0 ? 10 : m % 5 == 0 ? 7 : 5;
    EXPECT_EQ(below, length + 1) << m << " m";
  }
  std::vector<std::string> labels;
  for (const Text& t : canvas.texts) {
    EXPECT_EQ(t.y, 165);
    labels.push_back(t.text);
  }
  EXPECT_EQ(labels, (std::vector<std::string>{" 0", " 10", " 20", " 30", " 40"}));
  EXPECT_DOUBLE_EQ(canvas.texts[1].x, 1000 / static_cast<double>(k) - 15);
}

// The picture at its pixel size (804 pixels across), its 8-point digits
// about ten units wide.
class WindowCanvas : public RecordingCanvas {
 public:
  double textWidth(std::string_view t) const override { return 10.0 * report::CharCount(t); }
};

struct Scale {
  std::vector<double> ticks;        // x of every tick, left to right
  std::vector<int> tickLengths;     // points below the base line, minus one
  std::vector<const Text*> labels;  // the metre labels, left to right
};

Scale ScaleOf(const RecordingCanvas& canvas) {
  std::map<double, int> below;
  for (const Dot& d : canvas.dots)
    if (d.y > 150 && d.y <= 161) ++below[d.x];
  Scale s;
  for (const auto& [x, n] : below) {
    s.ticks.push_back(x);
    s.tickLengths.push_back(n - 1);
  }
  for (const Text& t : canvas.texts)
    if (t.y == 165 && t.text != "m") s.labels.push_back(&t);
  std::sort(s.labels.begin(), s.labels.end(), [](const Text* a, const Text* b) { return a->x < b->x; });
  return s;
}

TEST(CurveSteps, LongWiresKeepTheirScaleReadable) {
  for (float length : {200.0f, 400.0f, 1000.0f}) {
    WindowCanvas canvas;
    CurvePicture pic(canvas);
    pic.setup();
    ASSERT_TRUE(pic.setScale(length));
    const auto N = static_cast<std::int32_t>(std::lround(length * 100.0));
    Scan(pic, N, Shown({}));
    const Scale s = ScaleOf(canvas);
    const double pixel = canvas.unitsPerPixel();
    // Labels stand side by side without touching, at a whole number of tens
    // of metres apart, starting with 0.
    ASSERT_GE(s.labels.size(), 5u) << length;
    EXPECT_EQ(s.labels.front()->text, " 0");
    const int first = std::stoi(s.labels[1]->text);
    EXPECT_EQ(first % 10, 0) << length;
    for (std::size_t i = 0; i + 1 < s.labels.size(); ++i) {
      EXPECT_GE(s.labels[i + 1]->x, s.labels[i]->x + canvas.textWidth(s.labels[i]->text))
          << length << " m: " << s.labels[i]->text << " and" << s.labels[i + 1]->text;
      EXPECT_EQ(std::stoi(s.labels[i + 1]->text) - std::stoi(s.labels[i]->text), first) << length;
    }
    // Ticks at least three pixels apart, the longest under every label.
    for (std::size_t i = 0; i + 1 < s.ticks.size(); ++i)
      EXPECT_GE(s.ticks[i + 1] - s.ticks[i], 3 * pixel - 1e-9) << length << " m, tick " << i;
    int longest = 0;
    for (std::size_t i = 0; i < s.ticks.size(); ++i)
      if (s.tickLengths[i] == 10) {
        ++longest;
        const double metre = s.ticks[i] * pic.scale() / 100;
        EXPECT_EQ(std::lround(metre) % first, 0) << length << " m, tick at " << metre;
      }
    EXPECT_EQ(longest, static_cast<int>(s.labels.size())) << length;
    if (length == 200.0f) {
      // Readable as it was: a tick at every metre, a label at every 10 m.
      EXPECT_EQ(s.ticks.size(), 201u);
      EXPECT_EQ(first, 10);
    }
  }
}

TEST(CurveLabels, CrossesCloserThanThreePixelsMerge) {
  WindowCanvas canvas;
  CurvePicture pic(canvas);
  auto crosses = [&canvas] {
    std::vector<double> x;
    for (const Text& t : canvas.texts)
      if (t.text == "X") x.push_back(t.x);
    return x;
  };
  pic.setup();
  ASSERT_TRUE(pic.setScale(1000));
  // 1 cm and 1 m apart stand on the same pixels; 10 m is about 8 pixels.
  for (double x : {100.0, 100.01, 101.0, 110.0}) pic.candidate(x);
  EXPECT_EQ(crosses(), (std::vector<double>{100.0 * 100 / pic.scale() - 5, 110.0 * 100 / pic.scale() - 5}));

  // On a 43 m wire three pixels are about 17 cm.
  pic.setup();
  ASSERT_TRUE(pic.setScale(43));
  for (double x : {8.0, 8.15, 8.35}) pic.candidate(x);
  EXPECT_EQ(crosses().size(), 2u);
  EXPECT_DOUBLE_EQ(crosses()[1], 8.35 * 100 / pic.scale() - 5);
}

TEST(CurveSteps, CurvesInTheirColoursAndTheLegendMark) {
  RecordingCanvas canvas;
  CurvePicture pic(canvas);
  ASSERT_TRUE(pic.setScale(10));
  std::array<double, kBandCount> i1{};
  for (std::size_t b = 0; b < i1.size(); ++b) i1[b] = 0.1 * static_cast<double>(b);
  const auto shown = Shown({0, 5, 10});  // 1.8 and 14 counted or grey, 50 too
  pic.step(7, i1, shown, true, 0.75, 0.5);
  // 50, 14, 1.8 MHz, the additional band, base line, sum curve.
  ASSERT_EQ(canvas.dots.size(), 6u);
  const double x = 7 / static_cast<double>(pic.scale());
  EXPECT_EQ(canvas.dots[0].colour, 11);
  EXPECT_DOUBLE_EQ(canvas.dots[0].y, 150 - 80 * 1.0);
  EXPECT_EQ(canvas.dots[1].colour, 14);
  EXPECT_DOUBLE_EQ(canvas.dots[1].y, 150 - 80 * 0.5);
  EXPECT_EQ(canvas.dots[2].colour, 1);
  EXPECT_DOUBLE_EQ(canvas.dots[2].y, 150);
  EXPECT_EQ(canvas.dots[3].colour, kColourExtraBand);
  EXPECT_DOUBLE_EQ(canvas.dots[3].y, 150 - 80 * 0.75);
  EXPECT_EQ(canvas.dots[4].colour, kColourBlack);
  EXPECT_DOUBLE_EQ(canvas.dots[4].y, 150);
  EXPECT_EQ(canvas.dots[5].colour, kColourSum);
  EXPECT_DOUBLE_EQ(canvas.dots[5].y, 150 - 160 * 0.5);
  for (const Dot& d : canvas.dots) EXPECT_DOUBLE_EQ(d.x, x);

  // The legend mark: p itself as x, from 541 to 569.
  canvas.dots.clear();
  Scan(pic, 1000, Shown({}));
  std::vector<double> legend;
  for (const Dot& d : canvas.dots)
    if (d.y == 10) {
      EXPECT_EQ(d.colour, kColourSum);
      legend.push_back(d.x);
    }
  ASSERT_EQ(legend.size(), 29u);
  EXPECT_EQ(legend.front(), 541);
  EXPECT_EQ(legend.back(), 569);
}

TEST(CurveLabels, TextsAndPlaces) {
  RecordingCanvas canvas;
  CurvePicture pic(canvas);
  const float length = test::worked::kLength;
  const int steps = test::worked::kSteps;
  ASSERT_TRUE(pic.setScale(length));
  pic.labels(steps, length, true, 14.25f, Language::German, ',');
  const double end = steps / static_cast<double>(pic.scale());

  const Text* legend = canvas.find(" Stromsummen:");
  ASSERT_NE(legend, nullptr);
  EXPECT_EQ(legend->x, 575);
  EXPECT_EQ(legend->y, 4);
  const Text* extra = canvas.find("\u2014 Zusatzband 14,25 MHz");
  ASSERT_NE(extra, nullptr);
  EXPECT_EQ(extra->x, 900);
  const Text* start = canvas.find("Anfang");
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(start->x, 0);
  EXPECT_EQ(start->y, 195);
  const Text* centre = canvas.find("Mitte 20,863 m");
  ASSERT_NE(centre, nullptr);
  EXPECT_DOUBLE_EQ(centre->x + canvas.textWidth(centre->text) / 2, end / 2);
  const Text* total = canvas.find("Gesamtlänge " + test::worked::LengthText(',') + " m");
  ASSERT_NE(total, nullptr);
  EXPECT_DOUBLE_EQ(total->x, end - (canvas.textWidth(total->text) - 40));
  EXPECT_EQ(total->y, 195);

  canvas.texts.clear();
  pic.labels(steps, length, false, 0, Language::English, '.');
  EXPECT_NE(canvas.find(" Current sums:"), nullptr);
  EXPECT_NE(canvas.find("Start"), nullptr);
  EXPECT_NE(canvas.find("Center 20.863 m"), nullptr);
  EXPECT_NE(canvas.find("Total length " + test::worked::LengthText('.') + " m"), nullptr);
  for (const Text& t : canvas.texts) EXPECT_EQ(t.text.find("Additional"), std::string::npos);

  canvas.texts.clear();
  pic.candidate(8.29);
  ASSERT_EQ(canvas.texts.size(), 1u);
  EXPECT_EQ(canvas.texts[0].text, "X");
  EXPECT_DOUBLE_EQ(canvas.texts[0].x, 8.29 * 100 / pic.scale() - 5);
  EXPECT_EQ(canvas.texts[0].y, 180);
}

TEST(CurveLabels, NoScaleDrawsOnlyTheLegend) {
  RecordingCanvas canvas;
  CurvePicture pic(canvas);
  EXPECT_FALSE(pic.setScale(0));
  Scan(pic, 10, Shown({1, 2}));
  pic.labels(0, 0, true, 12, Language::German, ',');
  pic.candidate(1);
  EXPECT_TRUE(canvas.dots.empty());
  ASSERT_EQ(canvas.texts.size(), 2u);
  EXPECT_EQ(canvas.texts[0].text, " Stromsummen:");
  EXPECT_EQ(canvas.texts[1].text, "\u2014 Zusatzband 12,0 MHz");
}

TEST(CurveRun, RunDrawsMarksForTheReportedCandidates) {
  test::TempFolder dir;
  RunInput in = test::TypicalInput(dir.str());
  RecordingCanvas canvas;
  test::ScriptedHost host;
  host.drawing = &canvas;
  RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_EQ(canvas.setups, 1);
  std::vector<double> marks;
  for (const Text& t : canvas.texts)
    if (t.text == "X") marks.push_back(t.x);
  ASSERT_EQ(marks.size(), out.candidates.size());
  const double k = out.length * 100 / 1280.0;
  for (std::size_t i = 0; i < marks.size(); ++i) EXPECT_NEAR(marks[i], out.candidates[i].x * 100 / k - 5, 1e-3);
  // Five counted bands, base line and sum curve at every step; ticks on top.
  const auto N = std::lround(out.length * 100);
  EXPECT_GE(canvas.dots.size(), static_cast<std::size_t>(7 * (N + 1)));

  // An early end clears the picture instead.
  in.halfWaves = "0";
  out = RunOptimisation(in, host);
  EXPECT_EQ(canvas.clears, 1);
  EXPECT_TRUE(canvas.dots.empty());
}

// A language switch draws the run's picture again: in the run's language
// the very picture the run drew, with an additional band and a calculator
// height too; in the other one the same curves, marks and numbers, and the
// labels of that language.
TEST(CurveRun, DrawnAgainItIsTheRunsPictureWithTheLabelsOfTheLanguage) {
  test::TempFolder dir;
  for (bool extra : {false, true}) {
    RunInput in = test::TypicalInput(dir.str());
    RecordingCanvas ran;
    test::ScriptedHost host;
    host.drawing = &ran;
    if (extra) {
      in.preferredFrequency = "12";  // in no band: Yes makes it the additional band
      host.answers = {Answer::Yes};
    }
    const RunOutput out = RunOptimisation(in, host);
    ASSERT_EQ(out.outcome, RunOutcome::Completed);
    ASSERT_EQ(out.extraBand, extra);
    ASSERT_FALSE(out.candidates.empty());

    RecordingCanvas again;
    DrawRunPicture(again, out.reportData, out.candidates, Language::German);
    ASSERT_EQ(again.dots.size(), ran.dots.size());
    for (std::size_t i = 0; i < ran.dots.size(); ++i) {
      EXPECT_EQ(again.dots[i].x, ran.dots[i].x);
      EXPECT_EQ(again.dots[i].y, ran.dots[i].y);
      EXPECT_EQ(again.dots[i].colour, ran.dots[i].colour);
    }
    std::vector<std::string> ranTexts, againTexts;
    for (const Text& t : ran.texts) ranTexts.push_back(t.text);
    for (const Text& t : again.texts) againTexts.push_back(t.text);
    EXPECT_EQ(againTexts, ranTexts);

    RecordingCanvas english;
    DrawRunPicture(english, out.reportData, out.candidates, Language::English);
    EXPECT_EQ(english.dots.size(), ran.dots.size());
    EXPECT_TRUE(english.find("Start"));
    EXPECT_TRUE(english.find(" Current sums:"));
    EXPECT_FALSE(english.find("Anfang"));
    EXPECT_EQ(std::count_if(english.texts.begin(), english.texts.end(), [](const Text& t) { return t.text == "X"; }),
              std::count(ranTexts.begin(), ranTexts.end(), "X"));
  }
}

}  // namespace
}  // namespace lorvant
