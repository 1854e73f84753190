#include "text/catalogue.h"

namespace lorvant {

namespace {

struct Entry {
  const char* key;
  const char* german;
  const char* english;
};

constexpr Entry kEntries[] = {
#define LORVANT_TEXT(key, german, english) {#key, german, english},
#include "text/catalogue/all.inc"
#undef LORVANT_TEXT
};

const Entry& At(Text key) { return kEntries[static_cast<std::size_t>(key)]; }

}  // namespace

const char* say(Language lang, Text key) {
  const Entry& e = At(key);
  return lang == Language::German ? e.german : e.english;
}

BothLanguages both(Text key) { return {At(key).german, At(key).english}; }

std::size_t CatalogueSize() { return std::size(kEntries); }

Text CatalogueKey(std::size_t position) { return static_cast<Text>(position); }

const char* CatalogueKeyName(Text key) { return At(key).key; }

}  // namespace lorvant
