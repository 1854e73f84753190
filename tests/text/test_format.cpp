#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

#include "text/format.h"

using namespace lorvant::report;

namespace {

// Runs a check in both separators: `expected` is written with ',' and the
// point variant is derived from it.
std::string withPoint(std::string s) {
  for (char& c : s)
    if (c == ',') c = '.';
  return s;
}

#define EXPECT_PIC(value, picture, expected)                                         \
  do {                                                                               \
    EXPECT_EQ(FormatPicture(value, picture, ','), expected) << (picture);            \
    EXPECT_EQ(FormatPicture(value, picture, '.'), withPoint(expected)) << (picture); \
  } while (0)

#define EXPECT_GEN(value, expected)                            \
  do {                                                         \
    EXPECT_EQ(FormatGeneral(value, ','), expected);            \
    EXPECT_EQ(FormatGeneral(value, '.'), withPoint(expected)); \
  } while (0)

std::string bytes(std::initializer_list<int> codes) {
  std::string s;
  for (int c : codes) s += static_cast<char>(c);
  return s;
}

}  // namespace

TEST(Picture, RoundsHalvesAwayFromZeroAtTheLastDigit) {
  EXPECT_PIC(0.005f, "0.00", "0,01");  // binary value just below 0.005
  EXPECT_PIC(0.005, "0.00", "0,01");
  EXPECT_PIC(-0.005f, "0.00", "-0,01");
  EXPECT_PIC(-0.005, "0.00", "-0,01");
  EXPECT_PIC(0.00499, "0.00", "0,00");
  EXPECT_PIC(2.5, "0", "3");
  EXPECT_PIC(-2.5, "0", "-3");
  EXPECT_PIC(3.5f, "0", "4");
  EXPECT_PIC(0.5, "0", "1");
  EXPECT_PIC(9999.995f, "###0.00", "10000,00");
  EXPECT_PIC(9999.995, "###0.00", "10000,00");
  EXPECT_PIC(9999.99499, "###0.00", "9999,99");
  EXPECT_PIC(99.96, "#0.0", "100,0");
  EXPECT_PIC(0.99996, "0.0###", "1,0");
}

TEST(Picture, RoundsTheDecimalTextOfTheValuesPrecision) {
  // 12.3455f is 12.34549999..., its 7-digit text 12.34550.
  EXPECT_PIC(12.3455f, "0.000", "12,346");
  EXPECT_PIC(12.3455, "0.000", "12,346");
  EXPECT_PIC(12.3454999, "0.000", "12,345");
  EXPECT_PIC(7.0235f, "#0.000", "7,024");
  // The same number is a float with text 0.1234500 but a double below half.
  EXPECT_PIC(0.12344999f, "0.0000", "0,1235");
  EXPECT_PIC(0.12344999, "0.0000", "0,1234");
  EXPECT_PIC(0.1235f, "##0.0##", "0,124");
  // A float shows only 7 significant digits, even in the integer part.
  EXPECT_PIC(12345678.0f, "0", "12345680");
  EXPECT_PIC(12345678.0, "0", "12345678");
  // An exact half at the 7th (15th) digit goes away from zero as well.
  EXPECT_PIC(12345665.0f, "0", "12345670");
  EXPECT_PIC(1000000000000005.0, "0", "1000000000000010");
  EXPECT_PIC(1000000000000004.0, "0", "1000000000000000");
}

TEST(Picture, DigitSlotsAndLiterals) {
  EXPECT_PIC(14.2f, "##0.0##", "14,2");
  EXPECT_PIC(0.0f, "##0.0##", "0,0");
  EXPECT_PIC(123.4567f, "##0.0##", "123,457");
  EXPECT_PIC(3.456f, "#0.0#", "3,46");
  EXPECT_PIC(10.0f, "#0.0#", "10,0");
  EXPECT_PIC(0.05f, "0.0##", "0,05");
  EXPECT_PIC(0.1f, "0.00#", "0,10");
  EXPECT_PIC(0.1234f, "0.00#", "0,123");
  EXPECT_PIC(1.00059f, "0.00##", "1,0006");
  EXPECT_PIC(0.123456789, "#0.00000", "0,12346");
  EXPECT_PIC(0.5, "##0.000", "0,500");
  EXPECT_PIC(123.4567, "####0.0##", "123,457");
  EXPECT_PIC(0.000012345, "0.0####", "0,00001");
  EXPECT_PIC(123456.78, "#####0.0", "123456,8");
  EXPECT_PIC(7.04f, " #0.0#", " 7,04");
  EXPECT_PIC(50.0f, " 0", " 50");
  EXPECT_PIC(7.0f, " 0", " 7");
  EXPECT_PIC(24.9f, "#0.#", "24,9");
  EXPECT_PIC(5.3f, "#0.#", "5,3");
  // "#" after the point drops the zero but the separator stays.
  EXPECT_PIC(5.0f, "#0.#", "5,");
  // No digit slot before the separator: no zero for values below one.
  EXPECT_PIC(0.5, "#.00", ",50");
  EXPECT_PIC(12.5, "#.00", "12,50");
  EXPECT_PIC(0.0, "#.00", ",00");
  // The integer part is never cut.
  EXPECT_PIC(1234567.8, "#####0.0", "1234567,8");
  EXPECT_PIC(54321.0f, "0", "54321");
  EXPECT_PIC(54321.0f, "0.0", "54321,0");
  EXPECT_PIC(1e20, "0.0", "100000000000000000000,0");
  // A comma in a picture is copied, not a grouping.
  EXPECT_EQ(FormatPicture(1234.5, "#,##0.0", '.'), "1,234.5");
  // Quoted and escaped literals.
  EXPECT_PIC(3.0, "0\" m\"", "3 m");
  EXPECT_PIC(3.0, "0\\#", "3#");
}

TEST(Picture, ImpedancePicturesWithKiloSuffix) {
  EXPECT_PIC(70.0f, "###0.0", "70,0");
  EXPECT_PIC(1000.0f, "###0.0 K", "1000,0 K");
  EXPECT_PIC(10.05f, "###0.0 K", "10,1 K");
  EXPECT_PIC(1000000.0f, "###0.0", "1000000,0");
  EXPECT_PIC(1000.0f, "###0K;;-", "1000K");
  EXPECT_PIC(12.5f, "###0K;;-", "13K");
  EXPECT_PIC(0.0f, "###0K;;-", "-");
  EXPECT_PIC(1234.5f, "###0;;-", "1235");
  EXPECT_PIC(0.0f, "###0;;-", "-");
}

TEST(Picture, Sections) {
  EXPECT_PIC(0.0f, "0.00;;-", "-");
  EXPECT_PIC(-0.0f, "0.00;;-", "-");
  EXPECT_PIC(0.456f, "0.00;;-", "0,46");
  EXPECT_PIC(-0.456f, "0.00;;-", "-0,46");
  EXPECT_PIC(0.0, "  #0.0##;;  -", "  -");
  EXPECT_PIC(1.5, "  #0.0##;;  -", "  1,5");
  EXPECT_PIC(12.34567, "  #0.0##;;  -", "  12,346");
  // The minus of an empty negative section stands before everything.
  EXPECT_PIC(-1.5, "  #0.0##;;  -", "-  1,5");
  EXPECT_PIC(12.34f, "+ ##0.0;- ##0.0", "+ 12,3");
  EXPECT_PIC(-5.55f, "+ ##0.0;- ##0.0", "- 5,6");
  EXPECT_PIC(0.0f, "+ ##0.0;- ##0.0", "+ 0,0");
  // Two sections: zero takes the positive one.
  EXPECT_PIC(0.0, "0.0;(0.0)", "0,0");
  EXPECT_PIC(-2.25, "0.0;(0.0)", "(2,3)");
  // An empty zero section falls back to the positive one.
  EXPECT_PIC(0.0, "0.0;-0.0;", "0,0");
  // A negative zero is zero.
  EXPECT_PIC(-0.0, "0.00", "0,00");
}

TEST(Picture, ZeroSectionOnlyForAValueThatIsZero) {
  // As a classic Format function: a value that only rounds to zero keeps
  // the section of its sign.
  EXPECT_PIC(0.001f, "0.00;;-", "0,00");
  EXPECT_PIC(-0.001f, "0.00;;-", "-0,00");
  EXPECT_PIC(1e-10, "0.00;;-", "0,00");
  EXPECT_PIC(-1e-10, "0.00", "-0,00");
  EXPECT_PIC(-0.04f, "+ ##0.0;- ##0.0", "- 0,0");
  EXPECT_PIC(0.0004, "###0;;-", "0");
}

TEST(Picture, NonFiniteValuesAndEmptyPictureGiveTheGeneralFormat) {
  EXPECT_EQ(FormatPicture(std::numeric_limits<double>::infinity(), "0.00", ','), "Inf");
  EXPECT_EQ(FormatPicture(std::numeric_limits<float>::quiet_NaN(), "0.00", ','), "NaN");
  EXPECT_EQ(FormatPicture(-std::numeric_limits<float>::infinity(), "0.00;;-", ','), "-Inf");
  EXPECT_EQ(FormatPicture(2.5f, "", ','), "2,5");
}

TEST(General, SignificantDigitsAndTrailingZeros) {
  EXPECT_GEN(14.2f, "14,2");
  EXPECT_GEN(0.1f, "0,1");
  EXPECT_GEN(100.0f, "100");
  EXPECT_GEN(0.0f, "0");
  EXPECT_GEN(-2.5f, "-2,5");
  EXPECT_GEN(1.0f / 3.0f, "0,3333333");
  EXPECT_GEN(1.0 / 3.0, "0,333333333333333");
  EXPECT_GEN(0.1 + 0.2, "0,3");
  EXPECT_GEN(2.0f / 3.0f, "0,6666667");
  EXPECT_GEN(9999999.0f, "9999999");
  EXPECT_GEN(999999999999999.0, "999999999999999");
  EXPECT_GEN(10000000.0, "10000000");
  EXPECT_GEN(0.0001f, "0,0001");  // binary just below 1E-4, text 1E-4
  EXPECT_GEN(0.00012345, "0,00012345");
}

TEST(General, ExponentFormOutsideTheRange) {
  EXPECT_GEN(0.00001f, "1E-05");
  EXPECT_GEN(1.5e-5, "1,5E-05");
  EXPECT_GEN(9.9999999e-5, "9,9999999E-05");
  EXPECT_GEN(10000000.0f, "1E+07");
  EXPECT_GEN(12345678.0f, "1,234568E+07");
  EXPECT_GEN(9999999.5f, "1E+07");  // float 10000000
  EXPECT_GEN(1e15, "1E+15");
  EXPECT_GEN(1.5e100, "1,5E+100");
  EXPECT_GEN(-1e-300, "-1E-300");
  EXPECT_GEN(12345665.0f, "1,234567E+07");
  EXPECT_GEN(1000000000000005.0, "1,00000000000001E+15");
}

TEST(General, LeadingZeroOnlyInFields) {
  EXPECT_EQ(FormatGeneral(0.1f, ',', false), ",1");
  EXPECT_EQ(FormatGeneral(-0.25, '.', false), "-.25");
  EXPECT_EQ(FormatGeneral(1.25f, ',', false), "1,25");
  EXPECT_EQ(FormatGeneral(0.0f, ',', false), "0");
  EXPECT_EQ(FormatGeneral(1e-5f, ',', false), "1E-05");
}

TEST(PlainNumberItem, SignSpaceAndTrailingBlank) {
  EXPECT_EQ(PlainNumber(14.2f, ','), " 14,2 ");
  EXPECT_EQ(PlainNumber(14.2f, '.'), " 14.2 ");
  EXPECT_EQ(PlainNumber(0.1f, ','), " ,1 ");
  EXPECT_EQ(PlainNumber(-0.25, ','), "-,25 ");
  EXPECT_EQ(PlainNumber(0.0f, ','), " 0 ");
  EXPECT_EQ(PlainNumber(-0.0, ','), " 0 ");
  EXPECT_EQ(PlainNumber(-3.0f, ','), "-3 ");
  EXPECT_EQ(PlainNumber(1e-5, '.'), " 1E-05 ");
  EXPECT_EQ(PlainNumber(41.3333333333333, ','), " 41,3333333333333 ");
  EXPECT_EQ(PlainNumber(static_cast<float>(41.3333333333333), ','), " 41,33333 ");
}

TEST(Fields, PadAndCutByCharacters) {
  EXPECT_EQ(RightField("12,5", 6), "  12,5");
  EXPECT_EQ(RightField("1234567", 4), "1234");
  EXPECT_EQ(LeftField("1000,0 K", 10), "1000,0 K  ");
  EXPECT_EQ(LeftField("Ø 2", 5), "Ø 2  ");
  EXPECT_EQ(RightField("Ø²", 3), " Ø²");
  EXPECT_EQ(LeftField("ÄÖÜäöü", 3), "ÄÖÜ");
  EXPECT_EQ(LeftField("abc", 0), "");
  EXPECT_EQ(RightField("", 2), "  ");
  EXPECT_EQ(CharCount("Ø²—x"), 4);
  EXPECT_EQ(CharCount(""), 0);
}

TEST(Cp1252, ConvertsBothWays) {
  EXPECT_EQ(ToCp1252("Ø"), bytes({0xD8}));
  EXPECT_EQ(ToCp1252("mm²"), "mm" + bytes({0xB2}));
  EXPECT_EQ(ToCp1252("≈ 5"), "? 5");
  EXPECT_EQ(ToCp1252("Länge €"), "L" + bytes({0xE4}) + "nge " + bytes({0x80}));
  EXPECT_EQ(ToCp1252(kEmDash), bytes({151}));
  EXPECT_EQ(ToCp1252(kMacron), bytes({175}));
  EXPECT_EQ(ToCp1252("\u00A0\u00FF"), bytes({0xA0, 0xFF}));
  EXPECT_EQ(ToCp1252("\U0001F600"), "?");
  EXPECT_EQ(ToCp1252("\u0080"), "?");  // would read back as the euro sign
  // Malformed UTF-8 does not swallow the following text.
  EXPECT_EQ(ToCp1252("a\xFF"
                     "b\xC3"),
            "a?b?");
  EXPECT_EQ(ToCp1252("\xC0\xAF"), "??");  // overlong
  EXPECT_EQ(FromCp1252(bytes({0xD8, 0xB2, 0x97, 0xAF, 0x80})), "Ø²—¯€");
}

TEST(Cp1252, AllSpecialCodesOfTheHighRowRoundTrip) {
  int special = 0;
  for (int b = 0x80; b <= 0xFF; ++b) {
    const std::string one = bytes({b});
    const std::string utf8 = FromCp1252(one);
    EXPECT_EQ(ToCp1252(utf8), one) << b;
    const std::string latin1 = bytes({b < 0xC0 ? 0xC2 : 0xC3, 0x80 + (b & 0x3F)});  // U+00xx in UTF-8
    if (utf8 != latin1) ++special;
  }
  EXPECT_EQ(special, 27);
  EXPECT_EQ(FromCp1252(bytes({0x85, 0x99, 0x9F})), "…™Ÿ");
}

TEST(Writer, TabToColumnAndItsWrapRule) {
  std::ostringstream out;
  {
    ReportWriter w(out);
    w.text("ab").tab(5).text("c").endLine();      // spaces up to column 5
    w.text("abcd").tab(5).text("x").endLine();    // already at 5: nothing
    w.text("abcdef").tab(3).text("y").endLine();  // past 3: new line to 3
    w.tab(1).text("z").endLine();
    EXPECT_EQ(w.column(), 1);
    w.text("ØØ").tab(4).text("|");
    EXPECT_EQ(w.column(), 5);
    w.endLine();
  }
  EXPECT_EQ(out.str(), "ab  c\r\nabcdx\r\nabcdef\r\n  y\r\nz\r\n" + bytes({0xD8, 0xD8}) + " |\r\n");
}

TEST(Writer, HeaderColumnsOfTheBandLabels) {
  // c = 6, then c + 8 per band: the first label starts in column 14.
  std::ostringstream out;
  {
    ReportWriter w(out);
    w.text("MHz:");
    int c = 6;
    for (float f : {1.8f, 50.0f}) {
      c += 8;
      w.tab(c).text(f == 50.0f ? FormatPicture(f, " 0", ',') : FormatPicture(f, "#0.#", ',')).text(" MHz");
    }
    w.endLine();
  }
  EXPECT_EQ(out.str(), "MHz:         1,8 MHz  50 MHz\r\n");
}

TEST(Writer, SeparatorRuleLineBreaksAndOpenLine) {
  std::ostringstream out;
  {
    ReportWriter w(out);
    w.separator(3).rule();
    w.text("a\r\nbc").tab(2).text("d\ne").endLine();
    w.text("offen");
  }
  const std::string s = out.str();
  EXPECT_EQ(s.substr(0, 5), bytes({151, 151, 151, '\r', '\n'}));
  EXPECT_EQ(s.substr(5, 62), std::string(60, '\xAF') + "\r\n");
  EXPECT_EQ(s.substr(67), "a\r\nbc\r\n d\r\ne\r\noffen");
}
