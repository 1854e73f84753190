#include <gtest/gtest.h>

#include "engine/numparse.h"

using namespace lorvant;

TEST(NumberParse, CommaOrPointAsSeparator) {
  EXPECT_EQ(ParseNumber("14,25"), 14.25f);
  EXPECT_EQ(ParseNumber("14.25"), 14.25f);
  EXPECT_EQ(ParseNumber("0,95"), 0.95f);
  EXPECT_EQ(ParseNumber(",5"), 0.5f);
  EXPECT_EQ(ParseNumber("-,5"), -0.5f);
  EXPECT_EQ(ParseNumber("7,"), 7.0f);
}

TEST(NumberParse, OnlyTheFirstCommaBecomesAPoint) {
  EXPECT_EQ(ParseNumber("1,5,3"), 1.5f);
  EXPECT_EQ(ParseNumber("1.000,5"), 1.0f);   // the comma is a second point
  EXPECT_EQ(ReadLeadingNumber("1,5"), 1.0);  // the plain read knows no comma
}

TEST(NumberParse, TrailingTextAndBlanks) {
  EXPECT_EQ(ParseNumber("1,00059 Luft"), 1.00059f);
  EXPECT_EQ(ParseNumber("2,04   FEP Ethylenpropylen"), 2.04f);
  EXPECT_EQ(ParseNumber("0,977(0,75mm\xC2\xB2)"), 0.977f);
  EXPECT_EQ(ParseNumber(" 1 4,\t2\n5"), 14.25f);  // blanks, tabs, line feeds vanish
  EXPECT_EQ(ParseNumber("+3"), 3.0f);
  EXPECT_EQ(ParseNumber("3\r5"), 3.0f);  // a carriage return ends the number
}

TEST(NumberParse, NothingReadableIsZero) {
  EXPECT_EQ(ParseNumber(""), 0.0f);
  EXPECT_EQ(ParseNumber("abc"), 0.0f);
  EXPECT_EQ(ParseNumber("-"), 0.0f);
  EXPECT_EQ(ParseNumber(","), 0.0f);
  EXPECT_EQ(ParseNumber("E5"), 0.0f);
  EXPECT_EQ(ParseNumber("~2"), 0.0f);
}

TEST(NumberParse, ExponentsWithEOrD) {
  EXPECT_EQ(ParseNumber("1,5E2"), 150.0f);
  EXPECT_EQ(ParseNumber("1.5e-1"), 0.15f);
  EXPECT_EQ(ParseNumber("2D3"), 2000.0f);
  EXPECT_EQ(ParseNumber("2d+1"), 20.0f);
  EXPECT_EQ(ParseNumber("25E-3"), 0.025f);
  // A letter without exponent digits is where the number stops.
  EXPECT_EQ(ParseNumber("2,1 Delrin"), 2.1f);
  EXPECT_EQ(ParseNumber("3E+"), 3.0f);
  EXPECT_EQ(ParseNumber("4e-x"), 4.0f);
}

TEST(NumberParse, HexAndOctalIntegers) {
  EXPECT_EQ(ParseNumber("&H1F"), 31.0f);
  EXPECT_EQ(ParseNumber("&hff"), 255.0f);
  EXPECT_EQ(ParseNumber("&O17"), 15.0f);
  EXPECT_EQ(ParseNumber("&o178"), 15.0f);  // 8 is no octal digit
  EXPECT_EQ(ParseNumber("&H1,8"), 1.0f);
  EXPECT_EQ(ParseNumber("&H"), 0.0f);
  EXPECT_EQ(ParseNumber("&X12"), 0.0f);
}

TEST(NumberParse, ResultIsSinglePrecision) {
  EXPECT_EQ(ParseNumber("0,0000135"), 0.0000135f);
  EXPECT_GT(static_cast<double>(ParseNumber("0,0000135")), 0.0000135);
  EXPECT_EQ(ReadLeadingNumber("0.1"), 0.1);
  EXPECT_NE(static_cast<double>(ParseNumber("0,1")), 0.1);
}

TEST(NumberParse, BeyondTheRangeGivesZero) {
  EXPECT_EQ(ParseNumber("3,4E38"), 3.4e38f);
  EXPECT_EQ(ParseNumber("3,5E38"), 0.0f);
  EXPECT_EQ(ParseNumber("-1E39"), 0.0f);
  EXPECT_EQ(ParseNumber("1E400"), 0.0f);
  EXPECT_EQ(ReadLeadingNumber("1E400"), 0.0);
  EXPECT_EQ(ReadLeadingNumber("1D300"), 1e300);
  EXPECT_EQ(ParseNumber("1E-60"), 0.0f);
}

TEST(KeyFilter, OnlyTheKeySetAndBackspacePass) {
  for (char32_t k : std::u32string_view(U"0123456789,."))
    EXPECT_TRUE(KeyAccepted(k, kDecimalKeys)) << static_cast<int>(k);
  EXPECT_FALSE(KeyAccepted(U',', kWholeKeys));
  EXPECT_FALSE(KeyAccepted(U'.', kWholeKeys));
  for (auto set : {kDecimalKeys, kWholeKeys}) {
    EXPECT_TRUE(KeyAccepted(8, set));
    EXPECT_FALSE(KeyAccepted(22, set));  // Ctrl+V
    EXPECT_FALSE(KeyAccepted(13, set));
    EXPECT_FALSE(KeyAccepted(U'-', set));
    EXPECT_FALSE(KeyAccepted(U' ', set));
    EXPECT_FALSE(KeyAccepted(U'e', set));
    EXPECT_FALSE(KeyAccepted(0, set));
  }
  EXPECT_TRUE(KeyAccepted(8, U""));
}
