// Files that hold no sweep are refused with the line and the reason; any
// bytes at all end in a sweep or a refusal, never in anything else.
#include <gtest/gtest.h>

#include <random>

#include "engine/sweep/csv.h"
#include "engine/sweep/touchstone.h"
#include "synthetic.h"

namespace lorvant::sweep {
namespace {

struct Refused {
  const char* what;
  std::string bytes;
  Fault fault;
  int line;
  std::string word = {};
};

template <class Read>
void ExpectRefusals(const std::vector<Refused>& cases, Read read) {
  for (const Refused& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      read(c.bytes);
      ADD_FAILURE() << "read without refusal";
    } catch (const SweepError& e) {
      EXPECT_EQ(e.fault, c.fault);
      EXPECT_EQ(e.line, c.line);
      EXPECT_EQ(e.word, c.word);
    }
  }
}

TEST(MeasuredRefusals, TouchstoneNamesTheLineAndTheReason) {
  const std::string head = "! NanoVNA\r\n# MHz S RI R 50\r\n";
  ExpectRefusals(
      {
          {"empty", "", Fault::NoData, 0},
          {"comments and options only", head + "! nothing measured\r\n\r\n", Fault::NoData, 4},
          {"two numbers", head + "7.0 0.1 0.2\r\n7.1 0.1\r\n", Fault::WrongWidth, 4},
          {"a two-port line", head + "7.0 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8\n", Fault::WrongWidth, 3},
          {"a word", head + "7.0 0.1 abc\n", Fault::NotANumber, 3, "abc"},
          {"a decimal comma", head + "7,0 0.1 0.2\n", Fault::NotANumber, 3, "7,0"},
          {"hexadecimal", head + "0x7 0.1 0.2\n", Fault::NotANumber, 3, "0x7"},
          {"falling", head + "7.0 0 0\n7.1 0 0\n7.05 0 0\n", Fault::NotRising, 5, "7.05"},
          {"repeated", head + "7.0 0 0\n7.0 0 0\n", Fault::NotRising, 4, "7.0"},
          {"zero frequency", head + "0 0 0\n", Fault::NotPositive, 3, "0"},
          {"negative frequency", head + "-7 0 0\n", Fault::NotPositive, 3, "-7"},
          {"NaN", head + "7.0 nan 0\n", Fault::NotFinite, 3, "nan"},
          {"infinite", head + "7.0 0 -inf\n", Fault::NotFinite, 3, "-inf"},
          {"beyond double", head + "7.0 1e999 0\n", Fault::NotFinite, 3, "1e999"},
          {"a frequency beyond double in MHz", "# GHZ\n1e307 0 0\n", Fault::NotFinite, 2, "1e307"},
          {"Y parameters", "! admittance\n# MHZ Y RI R 50\n7.0 0 0\n", Fault::Parameter, 2, "Y"},
          {"H parameters", "# h\n7.0 0 0\n", Fault::Parameter, 1, "h"},
          {"G parameters", "# MHZ G MA\n", Fault::Parameter, 1, "G"},
          {"unknown unit", "# THZ S RI\n7.0 0 0\n", Fault::Option, 1, "THZ"},
          {"unknown format", "# MHZ S XY\n7.0 0 0\n", Fault::Option, 1, "XY"},
          {"R without a number", "# MHZ S RI R\n", Fault::Reference, 1},
          {"R of no ohms", "# MHZ S RI R 0\n", Fault::Reference, 1, "0"},
          {"R not a number", "# MHZ S RI R fifty\n", Fault::Reference, 1, "fifty"},
          {"options below data", "7.0 0 0\n# MHZ S RI\n", Fault::OptionAfterData, 2},
          {"version 2 keywords", "[Version] 2.0\n", Fault::WrongWidth, 1},
      },
      [](const std::string& b) { return ReadTouchstone(b); });
}

TEST(MeasuredRefusals, CsvNamesTheLineAndTheReason) {
  ExpectRefusals(
      {
          {"empty", "", Fault::NoData, 0},
          {"blank lines", "\n  \n\t\n", Fault::NoData, 3},
          {"header only", "frequency_hz,r,x\n", Fault::NoData, 1},
          {"no header", "7000000,50,0\n", Fault::Header, 1},
          {"no frequency column", "f,r,x\n7000000,50,0\n", Fault::Header, 1},
          {"r without x", "frequency,r,vswr\n7000000,50,0\n", Fault::Header, 1},
          {"unknown unit", "frequency_thz,swr\n", Fault::Unit, 1, "frequency_thz"},
          {"a short line", "frequency_hz,r,x\n7000000,50,0\n7100000,50\n", Fault::WrongWidth, 3},
          {"a long line", "frequency_hz;swr\n7000000;1,5;2\n", Fault::WrongWidth, 2},
          {"a word", "frequency_hz,r,x\n7000000,fifty,0\n", Fault::NotANumber, 2, "fifty"},
          {"a decimal comma between commas", "frequency_mhz,r,x\n7,0,50,0\n", Fault::WrongWidth, 2},
          {"a word between semicolons", "frequency_mhz;swr\n7,0;1,5x\n", Fault::NotANumber, 2, "1,5x"},
          {"falling", "frequency_khz,swr\n7000,1.5\n\n6999,1.5\n", Fault::NotRising, 4, "6999"},
          {"zero frequency", "frequency,swr\n0,1.5\n", Fault::NotPositive, 2, "0"},
          {"NaN", "frequency,r,x\n7000000,NaN,0\n", Fault::NotFinite, 2, "NaN"},
          {"an SWR below 1", "frequency,swr\n7000000,0.9\n", Fault::SwrBelowOne, 2, "0.9"},
      },
      [](const std::string& b) { return ReadSweepCsv(b); });
}

TEST(MeasuredRefusals, ALongWordIsQuotedShort) {
  try {
    ReadTouchstone("7.0 0 " + std::string(500, 'x') + "\n");
    FAIL();
  } catch (const SweepError& e) {
    EXPECT_EQ(e.word, std::string(kMaxQuotedWord, 'x'));
  }
}

// Reading must end in a sweep whose frequencies rise, or in SweepError.
void ReadAnyhow(const std::string& bytes) {
  for (const bool csv : {false, true}) {
    try {
      const Sweep s = csv ? ReadSweepCsv(bytes) : ReadTouchstone(bytes);
      ASSERT_FALSE(s.empty());
      for (std::size_t i = 1; i < s.size(); ++i) ASSERT_GT(s[i].frequency, s[i - 1].frequency);
      for (const SweepPoint& p : s) ASSERT_FALSE(std::isnan(p.swr));
    } catch (const SweepError& e) {
      ASSERT_GE(e.line, 0);
      ASSERT_LE(e.word.size(), kMaxQuotedWord);
    }
  }
}

TEST(MeasuredRefusals, RandomAndMutatedBytesEndInASweepOrARefusal) {
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> byte(0, 255);
  ReadAnyhow(std::string("\0\0\0\0", 4));
  ReadAnyhow(std::string("\xEF\xBB\xBF"));
  ReadAnyhow(
      "\x7F"
      "ELF\x02\x01\x01");
  for (int i = 0; i < 2000; ++i) {
    std::string bytes(static_cast<std::size_t>(random() % 200), '\0');
    for (char& c : bytes) c = static_cast<char>(byte(random));
    ReadAnyhow(bytes);
  }
  // Valid files with bytes changed: most of them reach deep into the readers.
  const std::vector<std::string> seeds = {
      "# MHz S RI R 50\n7.0 0.1 -0.2\n7.1 0.0 0.05\n7.2 -0.1 0.2\n",
      "frequency_hz;r;x\n7000000;40,5;-12\n7100000;45;0,5\n",
      "frequency (kHz),swr\n7000,1.5\n7100,1.2\n",
  };
  const std::string alphabet = "0123456789.,;+-eE#!RSZ \t\r\nnaif";
  for (int i = 0; i < 3000; ++i) {
    std::string bytes = seeds[static_cast<std::size_t>(i) % seeds.size()];
    for (int k = 0; k < 3; ++k)
      bytes[static_cast<std::size_t>(random()) % bytes.size()] = alphabet[random() % alphabet.size()];
    ReadAnyhow(bytes);
  }
}

}  // namespace
}  // namespace lorvant::sweep
