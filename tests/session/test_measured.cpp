// A measured sweep read from its file: the reader by the name, and every
// refusal naming the file, in both languages.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "engine/sweep/model_sweep.h"
#include "session/measured.h"
#include "session/measured_check.h"
#include "session/messages.h"
#include "tests/session/nec_support.h"
#include "tests/session/run_support.h"

namespace lorvant::sweep {
namespace {

using test::TempFolder;
using test::WriteBytes;

TEST(MeasuredFile, TheNameChoosesTheReaderAndTheBandsFollow) {
  TempFolder dir;
  const std::string touchstone = "# MHZ Z RI R 50\n7.00 1 -0.2\n7.10 1 0.2\n";
  const std::string csv = "frequency_mhz,r,x\n7.00,50,-10\n7.10,50,10\n";
  WriteBytes(dir.file("a.s1p"), touchstone);
  WriteBytes(dir.file("b.CSV"), csv);
  // A Touchstone file under any other name is read as one.
  WriteBytes(dir.file("c.txt"), touchstone);
  WriteBytes(dir.file("d.s1p"), csv);
  for (const char* name : {"a.s1p", "b.CSV", "c.txt"}) {
    SCOPED_TRACE(name);
    const MeasuredFile m = ReadMeasured(dir.file(name).string());
    ASSERT_TRUE(m.read) << m.refusal.en;
    ASSERT_EQ(m.sweep.size(), 2u);
    ASSERT_EQ(m.bands.size(), 1u);
    ASSERT_EQ(m.bands[0].resonances->size(), 1u);
    EXPECT_NEAR((*m.bands[0].resonances)[0], 7.05, 1e-12);
  }
  const MeasuredFile wrong = ReadMeasured(dir.file("d.s1p").string());
  EXPECT_FALSE(wrong.read);
  EXPECT_NE(wrong.refusal.en.find("d.s1p, line 1: expected are 3 values, the line has 1"), std::string::npos)
      << wrong.refusal.en;
  EXPECT_NE(wrong.refusal.de.find("d.s1p, Zeile 1: erwartet werden 3 Werte, die Zeile hat 1"), std::string::npos)
      << wrong.refusal.de;
  // The region's edges: 7.25 MHz is in 40 m only in region 2.
  WriteBytes(dir.file("e.s1p"), "# MHZ Z RI\n7.15 1 0\n7.25 1 0\n");
  EXPECT_TRUE(ReadMeasured(dir.file("e.s1p").string(), nec::Region::One).bands.empty());
  EXPECT_EQ(ReadMeasured(dir.file("e.s1p").string(), nec::Region::Two).bands.size(), 1u);
}

TEST(MeasuredFile, AFileThatCannotBeReadIsNamedWithItsCause) {
  TempFolder dir;
  const MeasuredFile missing = ReadMeasured(dir.file("none.s1p").string());
  EXPECT_FALSE(missing.read);
  EXPECT_EQ(missing.refusal.en.rfind("The measurement cannot be read: " + dir.file("none.s1p").string() + ": ", 0), 0u)
      << missing.refusal.en;
  EXPECT_EQ(missing.refusal.de.rfind("Die Messung kann nicht gelesen werden: ", 0), 0u) << missing.refusal.de;
  EXPECT_NE(missing.refusal.en, missing.refusal.de);

  EXPECT_EQ(missing.refusal.en, "The measurement cannot be read: " + dir.file("none.s1p").string() + ": " +
                                    files::FileErrorCause(Language::English, ENOENT));

  const MeasuredFile folder = ReadMeasured(dir.str());
  EXPECT_FALSE(folder.read);
  EXPECT_EQ(folder.refusal.en,
            "The measurement cannot be read: " + dir.str() + ": " + files::FileErrorCause(Language::English, EISDIR));
  // A pipe nobody writes into would hold the reader for ever.
  ASSERT_EQ(::mkfifo(dir.file("pipe.s1p").c_str(), 0600), 0);
  const MeasuredFile pipe = ReadMeasured(dir.file("pipe.s1p").string());
  EXPECT_FALSE(pipe.read);
  EXPECT_EQ(pipe.refusal.de, "Die Messung kann nicht gelesen werden: " + dir.file("pipe.s1p").string() + ": " +
                                 files::FileErrorCause(Language::German, files::kNotRegularFile));

  WriteBytes(dir.file("empty.s1p"), "");
  const MeasuredFile empty = ReadMeasured(dir.file("empty.s1p").string());
  EXPECT_FALSE(empty.read);
  EXPECT_EQ(empty.refusal.en, "The measurement cannot be read: " + dir.file("empty.s1p").string() +
                                  ": the file holds no measured values");

  WriteBytes(dir.file("huge.s1p"), std::string(kMaxMeasuredBytes + 1, '!'));
  const MeasuredFile huge = ReadMeasured(dir.file("huge.s1p").string());
  EXPECT_FALSE(huge.read);
  EXPECT_NE(huge.refusal.en.find("the file is larger than 16 MiB"), std::string::npos) << huge.refusal.en;
  // Exactly at the limit the file is read (and here refused for its content).
  WriteBytes(dir.file("huge.s1p"), std::string(kMaxMeasuredBytes, '!'));
  EXPECT_NE(ReadMeasured(dir.file("huge.s1p").string()).refusal.en.find("no measured values"), std::string::npos);
}

// An engine that asks the stop once and answers nothing.
struct StoppedEngine final : nec::Engine {
  int runs = 0;
  std::vector<bool> answers;
  nec::EngineResult run(const std::string&, const nec::EngineProgress& progress) override {
    ++runs;
    answers.push_back(progress(0));
    nec::EngineResult r;
    r.status = nec::EngineResult::Status::Cancelled;
    return r;
  }
};

// The sweep's bands beside the captured check of 7 and 14 MHz: a band the
// check did not model has no model's resonances; the fit takes the lowest
// counted band with a measured resonance and runs on the engine it is
// given, which a stop ends without a length.
TEST(MeasuredCheck, TheBandsStandBesideTheModelAndTheFitRunsOnTheEngineGiven) {
  const nec::Design design = test::CapturedDesign();
  const nec::Settings settings = test::CapturedSettings();
  const nec::Plan plan = nec::PrepareCheck(design, settings);
  const nec::Result result = nec::Evaluate(design, settings, plan, test::DataFile("nec/ocf_7_14.out"));
  MeasuredFile m;
  m.read = true;
  m.bands.push_back({.band = 3, .resonances = std::vector<double>{7.01, 7.15}, .minSwr = 1.2});
  m.bands.push_back({.band = 5, .resonances = std::nullopt, .minSwr = 1.9});
  m.bands.push_back({.band = 7, .resonances = std::vector<double>{21.2}, .minSwr = 2.5});

  const report::MeasuredCheck bands = nec::CompareMeasuredBands("a.s1p", m, design, result);
  EXPECT_EQ(bands.file, "a.s1p");
  EXPECT_DOUBLE_EQ(bands.designLength, nec::TypedDecimal(design.length));
  ASSERT_EQ(bands.bands.size(), 3u);
  EXPECT_TRUE(bands.bands[0].counted && bands.bands[1].counted);
  EXPECT_FALSE(bands.bands[2].counted);
  EXPECT_EQ(bands.bands[0].model, ModelResonances(result, 3));
  EXPECT_EQ(bands.bands[1].model, ModelResonances(result, 5));
  EXPECT_TRUE(bands.bands[2].model.empty());
  EXPECT_FALSE(bands.bands[1].measured);
  EXPECT_EQ(bands.fitBand, -1);

  for (const bool go : {false, true}) {
    StoppedEngine engine;
    const report::MeasuredCheck fitted =
        nec::CompareMeasured("a.s1p", m, design, settings, result, engine, [go](int) { return go; });
    EXPECT_EQ(fitted.bands.size(), 3u);
    EXPECT_EQ(fitted.fitBand, 3);
    // Of the two crossings the one nearer the band's 7.1 MHz.
    EXPECT_DOUBLE_EQ(fitted.fitMeasured, 7.15);
    EXPECT_FALSE(fitted.fittedLength);
    EXPECT_EQ(engine.answers, std::vector<bool>{go});
  }
}

}  // namespace
}  // namespace lorvant::sweep
