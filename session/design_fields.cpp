#include "session/design_fields.h"

#include <algorithm>
#include <type_traits>

#include "engine/nec/model.h"
#include "engine/nec/swr.h"
#include "session/design_words.h"
#include "text/catalogue.h"

namespace lorvant::design {

std::string Quoted(std::string_view v) { return "\"" + std::string(v) + "\""; }

bool PrintableUtf8(std::string_view v) {
  return std::none_of(v.begin(), v.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
  });
}

namespace {

// ---- what a field refuses ----

Check Typed(std::string_view keys, std::size_t maxLength) {
  return [keys = std::string(keys), maxLength](std::string_view v, Language lang) -> std::optional<std::string> {
    if (v.find_first_not_of(keys) != std::string_view::npos)
      return say(lang, Text::DesignForeignCharacters) + Quoted(v);
    if (maxLength && v.size() > maxLength) return say(lang, Text::DesignTooManyCharacters) + Quoted(v);
    return std::nullopt;
  };
}

// Number fields of the main form keep the field's key filter and length.
Check Decimal(std::size_t maxLength = 0) { return Typed("0123456789.", maxLength); }

Check FreeText() {
  return [](std::string_view v, Language lang) -> std::optional<std::string> {
    if (!PrintableUtf8(v) || v.size() > 1000) return say(lang, Text::DesignNotFieldText) + Quoted(v.substr(0, 80));
    return std::nullopt;
  };
}

template <std::size_t N>
Check OneOf(const char* const (&words)[N]) {
  return [&words](std::string_view v, Language lang) -> std::optional<std::string> {
    if (IndexOf(words, v) >= 0) return std::nullopt;
    std::string list;
    for (const char* w : words) list += (list.empty() ? "" : ", ") + std::string(w);
    return say(lang, Text::DesignUnknownChoice) + Quoted(v) + say(lang, Text::DesignAllowedChoices) + list + ")";
  };
}

Check GroundCheck() {
  return [](std::string_view v, Language lang) -> std::optional<std::string> {
    if (nec::GroundFromWord(v)) return std::nullopt;
    return say(lang, Text::DesignUnknownGround) + Quoted(v);
  };
}

Check BalunCheck() {
  return [](std::string_view v, Language lang) -> std::optional<std::string> {
    if (v == "auto" || nec::BalunFromText(v)) return std::nullopt;
    return say(lang, Text::DesignUnknownBalun) + Quoted(v);
  };
}

Check MaterialCheck() {
  return [](std::string_view v, Language lang) -> std::optional<std::string> {
    if (v.empty() || MaterialIndex(v) >= 0) return std::nullopt;
    return say(lang, Text::DesignUnknownMaterial) + Quoted(v);
  };
}

// ---- the keys of the sections ----

// Members of the sections, so that the table stays one line a key.
template <class T>
using Member = std::string T::*;

template <class T>
T& Part(Design& d);
template <>
MainInputs& Part(Design& d) {
  return d.main;
}
template <>
CalculatorInputs& Part(Design& d) {
  return d.calculator ? *d.calculator : d.calculator.emplace();
}
template <>
PruningInputs& Part(Design& d) {
  return d.pruning ? *d.pruning : d.pruning.emplace();
}
template <>
DipoleInputs& Part(Design& d) {
  return d.dipole ? *d.dipole : d.dipole.emplace();
}
template <>
NecInputs& Part(Design& d) {
  return d.nec ? *d.nec : d.nec.emplace();
}

template <class T>
const T& Part(const Design& d) {
  static const T none{};
  if constexpr (std::is_same_v<T, MainInputs>)
    return d.main;
  else if constexpr (std::is_same_v<T, CalculatorInputs>)
    return d.calculator ? *d.calculator : none;
  else if constexpr (std::is_same_v<T, PruningInputs>)
    return d.pruning ? *d.pruning : none;
  else if constexpr (std::is_same_v<T, DipoleInputs>)
    return d.dipole ? *d.dipole : none;
  else
    return d.nec ? *d.nec : none;
}

template <class T>
Key TextKey(Section s, const char* name, Member<T> m, Check check) {
  return {s, name, [m](const Design& d) { return Part<T>(d).*m; },
          [m](Design& d, std::string_view v) { Part<T>(d).*m = std::string(v); }, std::move(check)};
}

// A key whose words name the values first, first + 1, ... of the member
// (an int or an enum).
template <class T, class V, std::size_t N>
Key WordKey(Section s, const char* name, V T::*m, const char* const (&words)[N], int first = 0) {
  const auto index = [first](V value) { return static_cast<int>(value) - first; };
  return {
      s, name,
      [m, &words, index](const Design& d) {
        const char* w = WordAt(words, index(Part<T>(d).*m));
        return std::string(w ? w : WordAt(words, index(T{}.*m)));
      },
      [m, &words, first](Design& d, std::string_view v) { Part<T>(d).*m = static_cast<V>(IndexOf(words, v) + first); },
      OneOf(words)};
}

template <class T>
Key FlagKey(Section s, const char* name, bool T::*m) {
  return {s, name, [m](const Design& d) { return std::string(kYesNo[Part<T>(d).*m ? 1 : 0]); },
          [m](Design& d, std::string_view v) { Part<T>(d).*m = v == "yes"; }, OneOf(kYesNo)};
}

Key BandKeyOf(int band) {
  return {
      Section::Main, kBandKeys[band],
      [band](const Design& d) { return std::string(kBandWords[std::clamp(BandBoxValue(d.main.bands[band]), 0, 2)]); },
      [band](Design& d, std::string_view v) { d.main.bands[band] = static_cast<BandState>(IndexOf(kBandWords, v)); },
      OneOf(kBandWords)};
}

FeedPointInputs& Feed(Design& d) { return d.feedPoint ? *d.feedPoint : d.feedPoint.emplace(); }

// A row of a feed-point mode; the mode is written when any of its rows is.
Key FeedKey(const char* name, std::optional<FeedRows> FeedPointInputs::*mode, int row) {
  return {
      Section::FeedPoint, name,
      [mode, row](const Design& d) { return d.feedPoint && (*d.feedPoint.*mode) ? (*(*d.feedPoint.*mode))[row] : ""; },
      [mode, row](Design& d, std::string_view v) {
        std::optional<FeedRows>& rows = Feed(d).*mode;
        if (!rows) rows.emplace();
        (*rows)[row] = std::string(v);
      },
      FreeText()};
}

using S = Section;
using M = MainInputs;
using C = CalculatorInputs;
using P = PruningInputs;
using D = DipoleInputs;
using N = NecInputs;

std::vector<Key> MainKeys() {
  std::vector<Key> k = {
      TextKey<M>(S::Main, "frequency", &M::frequency, Decimal(7)),
      TextKey<M>(S::Main, "half-waves", &M::halfWaves, Typed("0123456789~", 5)),
      TextKey<M>(S::Main, "wire-length", &M::wireLength, Decimal(5)),
      TextKey<M>(S::Main, "shortening-factor", &M::shorteningFactor, Decimal(7)),
      TextKey<M>(S::Main, "tolerance", &M::tolerance, Decimal()),
      {S::Main, "material", [](const Design& d) { return d.main.material; },
       [](Design& d, std::string_view v) { d.main.material = std::string(v); }, MaterialCheck()},
      TextKey<M>(S::Main, "dielectric", &M::dielectric, FreeText()),
      TextKey<M>(S::Main, "outer-diameter", &M::outerDiameter, Decimal(5)),
      TextKey<M>(S::Main, "conductor-diameter", &M::conductorDiameter, FreeText()),
      TextKey<M>(S::Main, "minimum-sum", &M::minimumSum, Decimal()),
  };
  for (int b = 0; b < kBandCount; ++b) k.push_back(BandKeyOf(b));
  const std::vector<Key> choices = {
      FlagKey<M>(S::Main, "all-bands", &M::allBands),
      FlagKey<M>(S::Main, "windom", &M::windom),
      FlagKey<M>(S::Main, "special-table", &M::specialTable),
      WordKey<M>(S::Main, "segment", &M::segment, kSegmentWords, static_cast<int>(Segment::Cw)),
      WordKey<M>(S::Main, "length-mode", &M::lengthMode, kLengthModeWords),
      {S::Main, "feed-point", [](const Design& d) { return std::string(kFeedModeWords[d.main.equalImpedances]); },
       [](Design& d, std::string_view v) { d.main.equalImpedances = v == kFeedModeWords[1]; }, OneOf(kFeedModeWords)},
  };
  k.insert(k.end(), choices.begin(), choices.end());
  return k;
}

std::vector<Key> FeedPointKeys() {
  return {
      FeedKey("all-bands-length", &FeedPointInputs::allBands, 0),
      FeedKey("all-bands-frequency", &FeedPointInputs::allBands, 1),
      FeedKey("all-bands-distance", &FeedPointInputs::allBands, 2),
      FeedKey("one-frequency-length", &FeedPointInputs::oneFrequency, 0),
      FeedKey("one-frequency-frequency", &FeedPointInputs::oneFrequency, 1),
      FeedKey("one-frequency-distance", &FeedPointInputs::oneFrequency, 2),
      {S::FeedPoint, "current-sum",
       [](const Design& d) { return d.feedPoint && d.feedPoint->currentSum ? *d.feedPoint->currentSum : ""; },
       [](Design& d, std::string_view v) { Feed(d).currentSum = std::string(v); }, FreeText()},
      FeedKey("scan-from", &FeedPointInputs::scan, 0),
      FeedKey("scan-to", &FeedPointInputs::scan, 1),
      FeedKey("scan-step", &FeedPointInputs::scan, 2),
  };
}

std::vector<Key> CalculatorKeys() {
  return {
      FlagKey<C>(S::Calculator, "active", &C::active),
      TextKey<C>(S::Calculator, "frequency", &C::frequency, FreeText()),
      TextKey<C>(S::Calculator, "height", &C::height, FreeText()),
      TextKey<C>(S::Calculator, "diameter", &C::diameter, FreeText()),
      FlagKey<C>(S::Calculator, "ground-correction", &C::groundCorrection),
      TextKey<C>(S::Calculator, "nec-ground", &C::necGround, GroundCheck()),
  };
}

std::vector<Key> PruningKeys() {
  return {
      TextKey<P>(S::Pruning, "measured-length", &P::measuredLength, FreeText()),
      TextKey<P>(S::Pruning, "measured-frequency", &P::measuredFrequency, FreeText()),
      TextKey<P>(S::Pruning, "desired-frequency", &P::desiredFrequency, FreeText()),
  };
}

std::vector<Key> DipoleKeys() {
  return {
      {S::Dipole, "type", [](const Design& d) { return std::string(kDipoleWords[Part<D>(d).windom]); },
       [](Design& d, std::string_view v) { Part<D>(d).windom = v == kDipoleWords[1]; }, OneOf(kDipoleWords)},
      TextKey<D>(S::Dipole, "frequency", &D::frequency, FreeText()),
      TextKey<D>(S::Dipole, "exciter-frequency", &D::exciterFrequency, FreeText()),
      TextKey<D>(S::Dipole, "impedance", &D::impedance, FreeText()),
      TextKey<D>(S::Dipole, "diameter", &D::diameter, FreeText()),
      TextKey<D>(S::Dipole, "exciter-diameter", &D::exciterDiameter, FreeText()),
      TextKey<D>(S::Dipole, "shortening-factor", &D::shorteningFactor, FreeText()),
      TextKey<D>(S::Dipole, "half-waves", &D::halfWaves, FreeText()),
      TextKey<D>(S::Dipole, "feed-fraction", &D::feedFraction, FreeText()),
  };
}

std::vector<Key> NecKeys() {
  return {
      TextKey<N>(S::Nec, "feed-point", &N::feedPoint, FreeText()),
      TextKey<N>(S::Nec, "height", &N::height, FreeText()),
      {S::Nec, "ground", [](const Design& d) { return Part<N>(d).ground; },
       [](Design& d, std::string_view v) { Part<N>(d).ground = std::string(v); }, GroundCheck()},
      {S::Nec, "balun", [](const Design& d) { return Part<N>(d).balun; },
       [](Design& d, std::string_view v) { Part<N>(d).balun = std::string(v); }, BalunCheck()},
      TextKey<N>(S::Nec, "points", &N::points, FreeText()),
      TextKey<N>(S::Nec, "shape", &N::shape, OneOf(kShapeWords)),
      TextKey<N>(S::Nec, "end-height", &N::endHeight, FreeText()),
      TextKey<N>(S::Nec, "apex-height", &N::apexHeight, FreeText()),
      TextKey<N>(S::Nec, "apex-at", &N::apexAt, FreeText()),
      TextKey<N>(S::Nec, "plan-angle", &N::planAngle, FreeText()),
      TextKey<N>(S::Nec, "conductor", &N::conductor, OneOf(kConductorWords)),
      TextKey<N>(S::Nec, "conductivity", &N::conductivity, FreeText()),
      TextKey<N>(S::Nec, "region", &N::region, OneOf(kRegionWords)),
      FlagKey<N>(S::Nec, "pattern", &N::pattern),
      FlagKey<N>(S::Nec, "feedline", &N::feedline),
      TextKey<N>(S::Nec, "feedline-diameter", &N::feedlineDiameter, FreeText()),
      TextKey<N>(S::Nec, "choke", &N::choke, FreeText()),
  };
}

}  // namespace

const std::vector<Key>& Keys() {
  static const std::vector<Key> keys = [] {
    std::vector<Key> k;
    for (std::vector<Key> (*section)() : {MainKeys, FeedPointKeys, CalculatorKeys, PruningKeys, DipoleKeys, NecKeys}) {
      const std::vector<Key> part = section();
      k.insert(k.end(), part.begin(), part.end());
    }
    return k;
  }();
  return keys;
}

bool FeedKeyPresent(const Design& d, const Key& k) {
  if (!d.feedPoint) return false;
  const std::string n = k.name;
  const FeedPointInputs& f = *d.feedPoint;
  if (n.rfind("all-bands", 0) == 0) return f.allBands.has_value();
  if (n.rfind("one-frequency", 0) == 0) return f.oneFrequency.has_value();
  if (n.rfind("scan", 0) == 0) return f.scan.has_value();
  return f.currentSum.has_value();
}

bool SectionPresent(const Design& d, Section s) {
  switch (s) {
    case Section::Design:
    case Section::Main:
      return true;
    case Section::FeedPoint:
      return d.feedPoint.has_value();
    case Section::Calculator:
      return d.calculator.has_value();
    case Section::Pruning:
      return d.pruning.has_value();
    case Section::Dipole:
      return d.dipole.has_value();
    case Section::Nec:
      return d.nec.has_value();
  }
  return false;
}

void OpenSection(Design& d, Section s) {
  switch (s) {
    case Section::FeedPoint:
      Feed(d);
      break;
    case Section::Calculator:
      Part<CalculatorInputs>(d);
      break;
    case Section::Pruning:
      Part<PruningInputs>(d);
      break;
    case Section::Dipole:
      Part<DipoleInputs>(d);
      break;
    case Section::Nec:
      Part<NecInputs>(d);
      break;
    default:
      break;
  }
}

}  // namespace lorvant::design
