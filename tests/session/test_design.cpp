// Design files: every input survives writing and reading, and a file that
// is not a design of this version is refused at its line.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "session/design.h"
#include "session/mainform.h"

namespace lorvant::design {
namespace {

struct FieldCase {
  const char* line;  // as the file writes it
  std::function<void(Design&)> set;
};

// One non-default value per input; the line each writes.
const FieldCase kFields[] = {
    {"frequency = 7.05", [](Design& d) { d.main.frequency = "7.05"; }},
    {"half-waves = ~6", [](Design& d) { d.main.halfWaves = "~6"; }},
    {"wire-length = 41.5", [](Design& d) { d.main.wireLength = "41.5"; }},
    {"shortening-factor = 0.962", [](Design& d) { d.main.shorteningFactor = "0.962"; }},
    {"tolerance = 7.5", [](Design& d) { d.main.tolerance = "7.5"; }},
    {"material = pvc", [](Design& d) { d.main.material = "pvc"; }},
    {"dielectric = 3.1", [](Design& d) { d.main.material.clear(), d.main.dielectric = "3.1"; }},
    {"outer-diameter = 2.8", [](Design& d) { d.main.outerDiameter = "2.8"; }},
    {"conductor-diameter = 0.977 (0.75 mm\xCB\x9B)",
     [](Design& d) { d.main.conductorDiameter = "0.977 (0.75 mm\xCB\x9B)"; }},
    {"minimum-sum = 0.35", [](Design& d) { d.main.minimumSum = "0.35"; }},
    {"band-1.8 = grey", [](Design& d) { d.main.bands[kBand1_8] = BandState::Grey; }},
    {"band-3.5 = counted", [](Design& d) { d.main.bands[kBand3_5] = BandState::Counted; }},
    {"band-5.3 = counted", [](Design& d) { d.main.bands[kBand5_3] = BandState::Counted; }},
    {"band-7 = grey", [](Design& d) { d.main.bands[kBand7] = BandState::Grey; }},
    {"band-10 = counted", [](Design& d) { d.main.bands[kBand10] = BandState::Counted; }},
    {"band-14 = counted", [](Design& d) { d.main.bands[kBand14] = BandState::Counted; }},
    {"band-18 = counted", [](Design& d) { d.main.bands[kBand18] = BandState::Counted; }},
    {"band-21 = grey", [](Design& d) { d.main.bands[kBand21] = BandState::Grey; }},
    {"band-24 = counted", [](Design& d) { d.main.bands[kBand24] = BandState::Counted; }},
    {"band-28 = counted", [](Design& d) { d.main.bands[kBand28] = BandState::Counted; }},
    {"band-50 = grey", [](Design& d) { d.main.bands[kBand50] = BandState::Grey; }},
    {"all-bands = yes", [](Design& d) { d.main.allBands = true; }},
    {"windom = yes", [](Design& d) { d.main.windom = true; }},
    {"special-table = yes", [](Design& d) { d.main.specialTable = true; }},
    {"segment = ssb", [](Design& d) { d.main.segment = Segment::Ssb; }},
    {"length-mode = highest-lowest", [](Design& d) { d.main.lengthMode = LengthMode::HighestLowest; }},
    {"feed-point = equal-impedances", [](Design& d) { d.main.equalImpedances = true; }},
    {"all-bands-length = 41.72",
     [](Design& d) {
       d.feedPoint.emplace().allBands = FeedRows{"41.72", "", ""};
     }},
    {"all-bands-frequency = 3.6",
     [](Design& d) {
       d.feedPoint.emplace().allBands = FeedRows{"", "3.6", ""};
     }},
    {"all-bands-distance = 8.3",
     [](Design& d) {
       d.feedPoint.emplace().allBands = FeedRows{"", "", "8.3"};
     }},
    {"one-frequency-length = 20",
     [](Design& d) {
       d.feedPoint.emplace().oneFrequency = FeedRows{"20", "", ""};
     }},
    {"one-frequency-frequency = 14.1",
     [](Design& d) {
       d.feedPoint.emplace().oneFrequency = FeedRows{"", "14.1", ""};
     }},
    {"one-frequency-distance = 6",
     [](Design& d) {
       d.feedPoint.emplace().oneFrequency = FeedRows{"", "", "6"};
     }},
    {"current-sum = 0.45", [](Design& d) { d.feedPoint.emplace().currentSum = "0.45"; }},
    {"scan-from = 1",
     [](Design& d) {
       d.feedPoint.emplace().scan = FeedRows{"1", "", ""};
     }},
    {"scan-to = 20.5",
     [](Design& d) {
       d.feedPoint.emplace().scan = FeedRows{"", "20.5", ""};
     }},
    {"scan-step = 0.01",
     [](Design& d) {
       d.feedPoint.emplace().scan = FeedRows{"", "", "0.01"};
     }},
    {"active = yes", [](Design& d) { d.calculator.emplace().active = true; }},
    {"frequency = 3.65", [](Design& d) { d.calculator.emplace().frequency = "3.65"; }},
    {"height = 12.5", [](Design& d) { d.calculator.emplace().height = "12.5"; }},
    {"diameter = 1.128(1mm\xCB\x9B)", [](Design& d) { d.calculator.emplace().diameter = "1.128(1mm\xCB\x9B)"; }},
    {"ground-correction = yes", [](Design& d) { d.calculator.emplace().groundCorrection = true; }},
    {"nec-ground = perfect", [](Design& d) { d.calculator.emplace().necGround = "perfect"; }},
    {"measured-length = 40.2", [](Design& d) { d.pruning.emplace().measuredLength = "40.2"; }},
    {"measured-frequency = 3.55", [](Design& d) { d.pruning.emplace().measuredFrequency = "3.55"; }},
    {"desired-frequency = 3.65", [](Design& d) { d.pruning.emplace().desiredFrequency = "3.65"; }},
    {"type = windom", [](Design& d) { d.dipole.emplace().windom = true; }},
    {"frequency = 10.1", [](Design& d) { d.dipole.emplace().frequency = "10.1"; }},
    {"exciter-frequency = 7.05", [](Design& d) { d.dipole.emplace().exciterFrequency = "7.05"; }},
    {"impedance = 600", [](Design& d) { d.dipole.emplace().impedance = "600"; }},
    {"diameter = 2", [](Design& d) { d.dipole.emplace().diameter = "2"; }},
    {"exciter-diameter = 1.4", [](Design& d) { d.dipole.emplace().exciterDiameter = "1.4"; }},
    {"shortening-factor = 0.97", [](Design& d) { d.dipole.emplace().shorteningFactor = "0.97"; }},
    {"half-waves = 2", [](Design& d) { d.dipole.emplace().halfWaves = "2"; }},
    {"feed-fraction = 0.36", [](Design& d) { d.dipole.emplace().feedFraction = "0.36"; }},
    {"feed-point = 13.9", [](Design& d) { d.nec.emplace().feedPoint = "13.9"; }},
    {"height = 8", [](Design& d) { d.nec.emplace().height = "8"; }},
    {"ground = poor", [](Design& d) { d.nec.emplace().ground = "poor"; }},
    {"balun = 4", [](Design& d) { d.nec.emplace().balun = "4"; }},
    {"points = 21", [](Design& d) { d.nec.emplace().points = "21"; }},
    {"shape = inverted-v", [](Design& d) { d.nec.emplace().shape = "inverted-v"; }},
    {"end-height = 3.5", [](Design& d) { d.nec.emplace().endHeight = "3.5"; }},
    {"apex-height = 12", [](Design& d) { d.nec.emplace().apexHeight = "12"; }},
    {"apex-at = 16.2", [](Design& d) { d.nec.emplace().apexAt = "16.2"; }},
    {"plan-angle = 120", [](Design& d) { d.nec.emplace().planAngle = "120"; }},
    {"conductor = lossless", [](Design& d) { d.nec.emplace().conductor = "lossless"; }},
    {"conductivity = 35000000", [](Design& d) { d.nec.emplace().conductivity = "35000000"; }},
    {"region = 2", [](Design& d) { d.nec.emplace().region = "2"; }},
    {"pattern = yes", [](Design& d) { d.nec.emplace().pattern = true; }},
    {"feedline = yes", [](Design& d) { d.nec.emplace().feedline = true; }},
    {"feedline-diameter = 4.5", [](Design& d) { d.nec.emplace().feedlineDiameter = "4.5"; }},
    {"choke = 1000", [](Design& d) { d.nec.emplace().choke = "1000"; }},
};

TEST(Design, EveryInputIsWrittenAndReadBack) {
  for (const FieldCase& f : kFields) {
    SCOPED_TRACE(f.line);
    Design d;
    f.set(d);
    const std::string text = Serialise(d);
    EXPECT_NE(text.find("\n" + std::string(f.line) + "\n"), std::string::npos) << text;
    const ReadResult r = Parse(text, Language::English);
    ASSERT_TRUE(r.design) << r.refusal.line << ": " << r.refusal.reason;
    EXPECT_TRUE(*r.design == d);
  }
}

TEST(Design, FileStartsWithItsFormatAndVersion) {
  const std::string text = Serialise(Design{});
  EXPECT_NE(text.find("[design]\nformat = lorvant-design\nversion = 1\n"), std::string::npos) << text;
  // A window that gave nothing writes no section.
  EXPECT_EQ(text.find("[nec]"), std::string::npos);
}

TEST(Design, NumbersAreKeptWithThePointAndShownWithTheSeparator) {
  EXPECT_EQ(Stored("14,2"), "14.2");
  EXPECT_EQ(Shown("14.2", ','), "14,2");
  EXPECT_EQ(Shown("14.2", '.'), "14.2");
}

TEST(Design, ListEntriesOfTheDielectricAreKeptAsWords) {
  MainInputs m;
  SetDielectric(m, MaterialList(Language::German, ',')[4]);  // "2,35 Öl"
  EXPECT_EQ(m.material, "oil");
  EXPECT_EQ(DielectricText(m, Language::English, '.'), MaterialList(Language::English, '.')[4]);
  SetDielectric(m, AirEntry(Language::English, '.'));
  EXPECT_EQ(DielectricText(m, Language::German, ','), AirEntry(Language::German, ','));
  SetDielectric(m, "3,1");
  EXPECT_EQ(m.material, "");
  EXPECT_EQ(DielectricText(m, Language::German, ','), "3,1");
  SetDielectric(m, std::string(8, ' '));
  EXPECT_EQ(m.material, "none");
}

struct RefusalCase {
  const char* text;
  int line;
  const char* reason;  // part of the English reason
};

const RefusalCase kRefusals[] = {
    {"[design]\nformat = other-program\nversion = 1\n[main]\n", 2, "not a Lorvant design"},
    {"[design]\nformat = lorvant-design\nversion = 2\n[main]\n", 3, "newer version"},
    {"[main]\nfrequency = 7\n", 1, "[design] missing"},
    {"frequency = 7\n", 1, "[design] missing"},
    {"[design]\nformat = lorvant-design\n[main]\n", 3, "\"version\" missing"},
    {"[design]\nformat = lorvant-design\nversion = 1\n", 3, "[main] missing"},
    {"[design]\nformat = lorvant-design\nversion = 1\n[main]\nfrequency = 14,2\n", 5, "characters the field"},
    {"[design]\nformat = lorvant-design\nversion = 1\n[main]\nfrequency = 14.20000\n", 5, "more characters"},
    {"[design]\nformat = lorvant-design\nversion = 1\n[main]\nband-14 = 1\n", 5, "unknown choice"},
    {"[design]\nformat = lorvant-design\nversion = 1\n[main]\ncolour = red\n", 5, "unknown entry"},
    {"[design]\nformat = lorvant-design\nversion = 1\n[main]\nband-7 = off\nband-7 = counted\n", 6, "given twice"},
    {"[design]\nformat = lorvant-design\nversion = 1\n[main\n", 4, "\"]\" missing"},
    {"[design]\nformat = lorvant-design\nversion = 1\n[main]\nfrequency 7\n", 5, "\"=\" missing"},
    {"[design]\nformat = lorvant-design\nversion = 1\n[main]\n[radio]\n", 5, "unknown section"},
    {"[design]\nformat = lorvant-design\nversion = 1\n[main]\n[nec]\nground = sand\n", 6, "unknown ground"},
    {"[design]\nformat = lorvant-design\nversion = 1\n[main]\nmaterial = cheese\n", 5, "unknown material"},
    {"[design]\nformat = lorvant-design\nversion = 1\n[main]\n[nec]\nshape = spiral\n", 6, "unknown choice"},
    {"[design]\nformat = lorvant-design\nversion = 1\n[main]\n[nec]\nregion = 4\n", 6, "unknown choice"},
    {"{\"format\": \"lorvant-design\"}\n", 1, "[design] missing"},
};

TEST(Design, DamagedForeignAndNewerFilesAreRefusedAtTheirLine) {
  for (const RefusalCase& c : kRefusals) {
    SCOPED_TRACE(c.text);
    const ReadResult r = Parse(c.text, Language::English);
    EXPECT_FALSE(r.design);
    EXPECT_EQ(r.refusal.line, c.line);
    EXPECT_NE(r.refusal.reason.find(c.reason), std::string::npos) << r.refusal.reason;
  }
  EXPECT_FALSE(Parse(std::string("[design]\n\0", 10), Language::English).design);
  const Refusal bad{5, "x"};
  EXPECT_EQ(RefusalText(Language::English, "/home/a/b.lorvant", bad),
            "The design cannot be opened: /home/a/b.lorvant, line 5: x");
}

TEST(Design, CommentsBlankLinesAndWindowsLineEndsAreRead) {
  const ReadResult r = Parse(
      "; kept by hand\r\n[design]\r\nformat = lorvant-design\r\nversion = 1\r\n\r\n[main]\r\n# 40 m\r\nfrequency = "
      "7.1\r\n",
      Language::German);
  ASSERT_TRUE(r.design) << r.refusal.reason;
  EXPECT_EQ(r.design->main.frequency, "7.1");
  EXPECT_EQ(r.design->main.halfWaves, "4");  // not given: as after loading
}

// A check's section written before the wire could slope or bend reads as
// the straight, level copper wire those checks modelled, with neither the
// far field nor the feed line that they did not ask for.
TEST(Design, AnEarlierCheckSectionHangsFlatOverCopperInRegionOne) {
  const ReadResult r =
      Parse("[design]\nformat = lorvant-design\nversion = 1\n[main]\n[nec]\nheight = 8\n", Language::English);
  ASSERT_TRUE(r.design && r.design->nec) << r.refusal.reason;
  EXPECT_TRUE(*r.design->nec == NecInputs{.height = "8"});
}

}  // namespace
}  // namespace lorvant::design
