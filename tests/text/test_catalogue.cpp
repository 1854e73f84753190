#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "text/catalogue.h"
#include "text/encoding.h"

using namespace lorvant;

namespace {

// True when every character of s is well-formed UTF-8 that the reports'
// code page can write.
bool WritableInReports(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const utf8::Char c = utf8::Decode(s, i);
    if (c.length == 0 || cp1252::FromUnicode(c.code) < 0) return false;
    i += c.length;
  }
  return true;
}

TEST(Catalogue, EveryTextIsWritableAndSaidOnce) {
  ASSERT_GT(CatalogueSize(), 0u);
  std::map<std::pair<std::string, std::string>, std::string> seen;
  for (std::size_t i = 0; i < CatalogueSize(); ++i) {
    const Text key = CatalogueKey(i);
    const std::string name = CatalogueKeyName(key);
    const std::string de = say(Language::German, key), en = say(Language::English, key);
    EXPECT_TRUE(WritableInReports(de)) << name;
    EXPECT_TRUE(WritableInReports(en)) << name;
    // The same pair under two keys is one text kept twice.
    const auto [where, fresh] = seen.emplace(std::make_pair(de, en), name);
    EXPECT_TRUE(fresh) << name << " repeats " << where->second;
  }
}

TEST(Catalogue, BothHoldsWhatSayGives) {
  const BothLanguages b = both(Text::SegmentTitle);
  EXPECT_EQ(b.german, say(Language::German, Text::SegmentTitle));
  EXPECT_EQ(b.english, say(Language::English, Text::SegmentTitle));
  EXPECT_NE(b.german, b.english);
}

}  // namespace
