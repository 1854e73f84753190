// The additional dipole: both worked examples to the printed digit, every
// rejection with its suggested value, the validity colour, the activation
// refresh and the report ZusatzDipol.txt (the spacing formula alone:
// tests/engine/calculators).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/version.h"
#include "io/staged_files.h"
#include "session/calculators/dipole.h"
#include "text/format.h"

using namespace lorvant;
using namespace lorvant::dipole;

namespace {

// The worked example: 3.5 MHz exciter, 14.2 MHz additional dipole, 300 ohms,
// 2 mm wires, Vk 0.95, bare wire, calculator inactive, preferred band.
Inputs example(bool windom = false) {
  Inputs in;
  in.windom = windom;
  in.fAdd = "14,2";
  in.fExc = "3,5";
  in.impedance = "300";
  in.dAdd = "2";
  in.dExc = "2";
  in.vk = "0,95";
  in.halfWaves = windom ? "2" : "1";
  in.fraction = windom ? "0,3333" : "0,5";
  in.length.lengthMode = LengthMode::Preferred;
  in.length.bands[1] = BandState::Counted;
  in.length.bands[5] = BandState::Counted;
  return in;
}

}  // namespace

TEST(AdditionalDipole, WorkedExampleDipole) {
  for (char sep : {',', '.'}) {
    Inputs in = example();
    if (sep == '.') {
      in.fAdd = "14.2";
      in.vk = "0.95";
    }
    const Outcome out = Calculate(in, sep);
    ASSERT_TRUE(out.computed);
    EXPECT_EQ(out.beeps, 0);
    EXPECT_NEAR(out.wavelength, 21.12676, 0.000005);
    EXPECT_NEAR(out.s0, 285.98, 0.005);
    EXPECT_NEAR(out.gap, 283.98, 0.005);
    EXPECT_NEAR(out.spacing, 275.11, 0.005);
    EXPECT_EQ(out.spacingText.value_or(""), "275");
    EXPECT_EQ(out.spacingColour, TextColour::Black);
    const std::string s(1, sep);
    EXPECT_EQ(out.lengthText, "10" + s + "035");
    EXPECT_EQ(out.feedPointText, "5" + s + "018");
    // Without the calculator Text6 only changes its format.
    EXPECT_EQ(out.vkText.value_or(""), "0" + s + "95");
    EXPECT_FALSE(out.suggestedDiameter.has_value());
    EXPECT_FALSE(out.suggestedExciterDiameter.has_value());
  }
}

TEST(AdditionalDipole, WorkedExampleWindom) {
  const Outcome out = Calculate(example(true), ',');
  ASSERT_TRUE(out.computed);
  EXPECT_EQ(out.lengthText, "20,599");
  EXPECT_EQ(out.feedPointText, "6,866");
  EXPECT_EQ(out.spacingText.value_or(""), "215");
  // The list entry reads 0,3333, not exactly a third.
  EXPECT_NEAR(out.windomFactor, 0.782807, 0.000002);
  EXPECT_NEAR(out.spacing, 215.357, 0.002);

  // The half-wave field is read without comma conversion: 2,5 counts as 2.
  Inputs twoAndAHalf = example(true);
  twoAndAHalf.halfWaves = "2,5";
  const Outcome same = Calculate(twoAndAHalf, ',');
  ASSERT_TRUE(same.computed);
  EXPECT_EQ(same.lengthText, out.lengthText);
}

TEST(AdditionalDipole, WindomLengthFollowsTheMainFormsLengthMode) {
  Inputs in = example(true);
  in.length.lengthMode = LengthMode::All;
  in.length.bands = {};
  in.length.bands[1] = BandState::Counted;  // 3.5 MHz
  in.length.bands[3] = BandState::Counted;  // 7 MHz
  const Outcome a = Calculate(in, ',');
  in.halfWaves = "3";
  in.fAdd = "21,2";
  const Outcome b = Calculate(in, ',');
  ASSERT_TRUE(a.computed && b.computed);
  EXPECT_EQ(a.lengthText, b.lengthText);  // neither n nor f_add matters
  EXPECT_NEAR(a.length, 39.54, 0.01);
}

TEST(AdditionalDipole, EqualFrequenciesAreRejectedLikeALowerOne) {
  Inputs in = example();
  in.fAdd = "3,5";
  Outcome out = Calculate(in, ',');
  EXPECT_FALSE(out.computed);
  EXPECT_EQ(out.beeps, 1);
  EXPECT_EQ(out.focus, Field::Frequency);
  in.fAdd = "3";
  out = Calculate(in, ',');
  EXPECT_EQ(out.focus, Field::Frequency);
  EXPECT_FALSE(out.spacingText.has_value());
  EXPECT_TRUE(out.lengthText.empty());
}

TEST(AdditionalDipole, ZeroAndUndefinedInputsRejectInReadingOrder) {
  struct Case {
    std::string Inputs::*field;
    const char* value;
    Field focus;
  };
  const Case cases[] = {
      {&Inputs::fExc, "", Field::ExciterFrequency},
      {&Inputs::fAdd, "0", Field::Frequency},
      {&Inputs::impedance, "", Field::Impedance},
      {&Inputs::dExc, "0", Field::ExciterDiameter},
      {&Inputs::dAdd, "", Field::Diameter},
      {&Inputs::vk, "0", Field::Vk},
      {&Inputs::halfWaves, "x", Field::HalfWaves},  // checked also for the dipole
      {&Inputs::dExc, "-2", Field::ExciterDiameter},
      {&Inputs::dAdd, "-1,5", Field::Diameter},
      {&Inputs::fAdd, "-14", Field::Frequency},
      {&Inputs::fExc, "-3,5", Field::ExciterFrequency},
      // A shortening factor outside 0 .. 1 is no shortening factor.
      {&Inputs::vk, "-5", Field::Vk},
      {&Inputs::vk, "1,0001", Field::Vk},
      {&Inputs::vk, "1E38", Field::Vk},
  };
  for (const Case& c : cases) {
    Inputs in = example();
    in.*(c.field) = c.value;
    const Outcome out = Calculate(in, ',');
    EXPECT_FALSE(out.computed) << c.value;
    EXPECT_EQ(out.beeps, 1) << c.value;
    EXPECT_EQ(out.focus, c.focus) << c.value;
    EXPECT_FALSE(out.vkText.has_value());
  }
  Inputs one = example();
  one.vk = "1";
  EXPECT_TRUE(Calculate(one, ',').computed);
  // Everything empty: the exciter frequency is read first.
  EXPECT_EQ(Calculate(Inputs{}, ',').focus, Field::ExciterFrequency);
}

TEST(AdditionalDipole, WindomFractionThatLeavesNoWireOnOneSideIsRejected) {
  for (const char* fraction : {"0", "1", "1,5", "-0,25"}) {
    Inputs in = example(true);
    in.fraction = fraction;
    const Outcome out = Calculate(in, ',');
    EXPECT_FALSE(out.computed) << fraction;
    EXPECT_EQ(out.focus, Field::Fraction) << fraction;
    EXPECT_EQ(out.beeps, 1);
  }
}

TEST(AdditionalDipole, ExciterThickerThanHalfTheHeightSuggestsTheLimit) {
  Inputs in = example();
  in.length.calc.active = true;
  in.length.calc.height = 0.001f;  // 1 mm above ground
  in.length.calc.diameter = 2;
  const Outcome out = Calculate(in, ',');
  EXPECT_FALSE(out.computed);
  EXPECT_EQ(out.focus, Field::ExciterDiameter);
  EXPECT_EQ(out.suggestedExciterDiameter.value_or(""), "0,5");

  // Without the calculator the limit is W * 100 / 2 metres: never reached.
  Inputs fat = example();
  fat.dExc = "120";
  EXPECT_TRUE(Calculate(fat, ',').computed);
}

TEST(AdditionalDipole, ClearGapOfOneMillimetreOrLess) {
  // Z = 1 ohm with 2 mm wires: a gap of about 0,95 mm, thinner than the
  // additional wire: suggest it as the additional wire's diameter.
  Inputs in = example();
  in.impedance = "1";
  Outcome out = Calculate(in, ',');
  EXPECT_FALSE(out.computed);
  EXPECT_EQ(out.beeps, 1);
  EXPECT_EQ(out.focus, Field::Diameter);
  EXPECT_GT(out.gap, 0);
  EXPECT_LE(out.gap, 1);
  EXPECT_EQ(out.spacingText.value_or("unset"), "");
  EXPECT_EQ(out.suggestedDiameter.value_or(""), report::FormatPicture(out.gap, "###0.0#", ','));

  // A negative impedance gives no gap at all: focus on the impedance.
  in.impedance = "-50";
  out = Calculate(in, ',');
  EXPECT_EQ(out.focus, Field::Impedance);
  EXPECT_EQ(out.spacingText.value_or("unset"), "");
  EXPECT_FALSE(out.suggestedDiameter.has_value());

  // 0,5 mm wires at 1 ohm: the gap (about 0,95 mm) is wider than the wire
  // but still too small; the first estimate is shown in red.
  in.impedance = "1";
  in.dAdd = "0,5";
  in.dExc = "0,5";
  out = Calculate(in, ',');
  EXPECT_FALSE(out.computed);
  EXPECT_EQ(out.focus, Field::Impedance);
  EXPECT_GT(out.gap, 0.5f);
  EXPECT_GT(out.s0, 1.02f);
  EXPECT_EQ(out.spacingColour, TextColour::Red);
  EXPECT_EQ(out.spacingText.value_or(""), report::FormatPicture(out.s0, "###0.0", ','));
}

TEST(AdditionalDipole, SpacingTurnsRedOutsideTheFormulasRange) {
  auto colour = [](const char* dExc, const char* dAdd, const char* z) {
    Inputs in = example();
    in.dExc = dExc;
    in.dAdd = dAdd;
    in.impedance = z;
    const Outcome out = Calculate(in, ',');
    EXPECT_TRUE(out.computed) << dExc << " " << dAdd << " " << z;
    return out.spacingColour.value_or(TextColour::Black);
  };
  EXPECT_EQ(colour("120", "2", "300"), TextColour::Red);
  EXPECT_EQ(colour("120", "2", "50"), TextColour::Red);
  EXPECT_EQ(colour("20,5", "20,5", "300"), TextColour::Red);
  EXPECT_EQ(colour("20,5", "20,5", "72"), TextColour::Black);
  EXPECT_EQ(colour("20", "20", "300"), TextColour::Black);
  EXPECT_EQ(colour("0,4", "2", "72"), TextColour::Red);
  EXPECT_EQ(colour("2", "0,5", "72"), TextColour::Black);
}

TEST(AdditionalDipole, InsulationAndTheCalculatorEnterTheResult) {
  Inputs insulated = example();
  insulated.ins = 0.01;
  const Outcome a = Calculate(insulated, ',');
  ASSERT_TRUE(a.computed);
  EXPECT_NEAR(a.wavelength, (1 - 2 * 0.01) * 300 / static_cast<double>(14.2f), 1e-12);
  EXPECT_LT(a.length, 10.035f);

  Inputs calc = example();
  calc.length.calc.active = true;
  calc.length.calc.height = 10;
  calc.length.calc.diameter = 2;
  const Outcome b = Calculate(calc, ',');
  ASSERT_TRUE(b.computed);
  // The exciter's shortening comes from slenderness and height: Text6 shows
  // the factor the calculator estimates, no longer the typed 0,95.
  EXPECT_EQ(b.s1, VerkuerzungProzent(3.5f, 2, 5, calc.length.calc));
  EXPECT_NE(b.vkText.value_or(""), "0,95");
}

TEST(AdditionalDipole, ActivationRefresh) {
  BandValues bands{};
  bands[3] = BandState::Grey;  // grey bands do not count
  bands[5] = BandState::Counted;
  bands[9] = BandState::Counted;
  const Refresh r = Activation("1,4", bands, ',');
  EXPECT_EQ(r.exciterFrequency, "14,0");
  EXPECT_EQ(r.diameter, "1,4");
  EXPECT_EQ(r.exciterDiameter, "1,4");
  bands[0] = BandState::Counted;
  EXPECT_EQ(Activation("2", bands, '.').exciterFrequency, "1.8");
  EXPECT_EQ(Activation("2", BandValues{}, ',').exciterFrequency, "0,0");
}

TEST(ZusatzDipolReport, DipoleReportLineByLine) {
  const Inputs in = example();
  const Outcome out = Calculate(in, ',');
  ASSERT_TRUE(out.computed);
  const ReportData data =
      MakeReportData(CaptionsFor(Language::German, false), in, out, Language::German, "01.02.2024 10:00:00");
  const std::string macrons(60 * 1, '\xAF');
  const std::string expected = std::string("                Zusatz-Dipol (strahlungsgekoppelt)\r\n") + macrons +
                               "\r\n"
                               "Typ: Zusatz-Dipol\r\n"
                               "gew\xFCnschte Resonanzfrequenz [MHz]: 14,2\r\n"
                               "gew\xFCnschte Speisepunkt-Impedanz [Ohm]: 300\r\n"
                               "Draht-Durchmesser [mm]: 2\r\n"
                               "Speise-Pkt bei: 0,5 der Ges.-L\xE4nge [m]: 5,018\r\n"
                               "Abstand zwischen den Antennendr\xE4hten [mm]: 275\r\n"
                               "Ges.-L\xE4nge Zusatzdipol [m]: 10,035\r\n"
                               "\r\n"
                               "Erreger-Dipol (Stromsummenantenne o.\xE4.)\r\n" +
                               macrons +
                               "\r\n"
                               "unterste Resonanzfrequenz [MHz]: 3,5\r\n"
                               "Draht-Durchmesser [mm]: 2\r\n"
                               "Verk\xFCrzungsfaktor: 0,95\r\n" +
                               macrons + "\r\n Berechnung am 01.02.2024 10:00:00 " + report::ToCp1252(kLegalNotice) +
                               "\r\n";
  EXPECT_EQ(ReportText(data), expected);
}

TEST(ZusatzDipolReport, WritesTheFileAndReportsFailure) {
  const Inputs in = example();
  const Outcome out = Calculate(in, ',');
  const ReportData data = MakeReportData(Captions(Language::German), in, out, Language::German, "now");
  const auto dir = std::filesystem::temp_directory_path() / "lorvant_zusatzdipol_test";
  std::filesystem::create_directories(dir);
  const auto path = (dir / kReportFile).string();
  {
    std::ofstream old(path);
    old << "an older, much longer report that must be replaced entirely ...........................\n"
        << std::string(4000, 'x');
  }
  WriteReport(path, data);
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, ReportText(data));
  std::filesystem::remove_all(dir);

  try {
    WriteReport((dir / "missing" / kReportFile).string(), data);
    ADD_FAILURE() << "written into a missing folder";
  } catch (const files::FileError& e) {
    EXPECT_EQ(e.error(), ENOENT);
    EXPECT_EQ(e.path(), (dir / "missing" / kReportFile).string());
  }
}
