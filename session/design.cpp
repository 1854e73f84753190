#include "session/design.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/nec/model.h"
#include "engine/nec/swr.h"
#include "engine/numparse.h"
#include "io/staged_files.h"
#include "session/mainform.h"
#include "session/messages.h"
#include "text/bilingual.h"
#include "text/format.h"

namespace lorvant::design {

std::string Stored(std::string_view fieldText) {
  std::string s(fieldText);
  std::replace(s.begin(), s.end(), ',', '.');
  return s;
}

std::string Shown(std::string_view storedText, char sep) {
  std::string s(storedText);
  std::replace(s.begin(), s.end(), '.', sep);
  return s;
}

bool operator==(const MainInputs& a, const MainInputs& b) {
  return a.frequency == b.frequency && a.halfWaves == b.halfWaves && a.wireLength == b.wireLength &&
         a.shorteningFactor == b.shorteningFactor && a.tolerance == b.tolerance && a.material == b.material &&
         a.dielectric == b.dielectric && a.outerDiameter == b.outerDiameter &&
         a.conductorDiameter == b.conductorDiameter && a.minimumSum == b.minimumSum && a.bands == b.bands &&
         a.allBands == b.allBands && a.windom == b.windom && a.specialTable == b.specialTable &&
         a.segment == b.segment && a.lengthMode == b.lengthMode && a.equalImpedances == b.equalImpedances;
}

bool operator==(const Design& a, const Design& b) {
  return a.main == b.main && a.feedPoint == b.feedPoint && a.calculator == b.calculator && a.pruning == b.pruning &&
         a.dipole == b.dipole && a.nec == b.nec;
}

// ---- words ----

namespace {

constexpr const char* kMaterialWords[] = {
    "none",     "vacuum",   "air",     "paper",       "oil",       "rubber",     "wood",      "fep",   "ptfe",
    "ptfe-gy",  "pe",       "ptfe-gx", "polystyrene", "silicone",  "plexiglass", "polyamide", "pvc",   "fr4",
    "cevausit", "pertinax", "igelit",  "vinidur",     "porcelain", "glass",      "ptfe-3006", "calit", "mica"};
constexpr const char* kBandWords[] = {"off", "counted", "grey"};
constexpr const char* kBandKeys[] = {"band-1.8", "band-3.5", "band-5.3", "band-7",  "band-10", "band-14",
                                     "band-18",  "band-21",  "band-24",  "band-28", "band-50"};
constexpr const char* kSegmentWords[] = {"cw", "ssb", "centre"};
constexpr const char* kLengthModeWords[] = {"preferred", "highest-lowest", "all"};
constexpr const char* kFeedModeWords[] = {"maximum-sum", "equal-impedances"};
constexpr const char* kDipoleWords[] = {"dipole", "windom"};
constexpr const char* kYesNo[] = {"no", "yes"};

template <std::size_t N>
int IndexOf(const char* const (&words)[N], std::string_view word) {
  for (std::size_t i = 0; i < N; ++i)
    if (word == words[i]) return static_cast<int>(i);
  return -1;
}

template <std::size_t N>
const char* WordAt(const char* const (&words)[N], int i) {
  return i >= 0 && static_cast<std::size_t>(i) < N ? words[i] : nullptr;
}

}  // namespace

int MaterialIndex(std::string_view word) { return IndexOf(kMaterialWords, word); }
const char* MaterialWord(int index) { return WordAt(kMaterialWords, index); }
const char* BandWord(BandState value) { return WordAt(kBandWords, static_cast<int>(value)); }
const char* BandKey(int band) { return WordAt(kBandKeys, band); }
const char* SegmentWord(Segment segment) { return WordAt(kSegmentWords, ButtonOfSegment(segment)); }
const char* LengthModeWord(LengthMode mode) { return WordAt(kLengthModeWords, static_cast<int>(mode)); }

void SetDielectric(MainInputs& m, std::string_view fieldText) {
  for (Language lang : {Language::German, Language::English})
    for (char sep : {',', '.'}) {
      const std::vector<std::string> list = MaterialList(lang, sep);
      for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == fieldText) {
          m.material = kMaterialWords[i];
          m.dielectric = i == 0 ? std::string() : Stored(report::FormatGeneral(ParseNumber(fieldText), '.'));
          return;
        }
    }
  if (fieldText == AirEntry(Language::German, ',') || fieldText == AirEntry(Language::English, '.')) {
    m.material = "air";
    m.dielectric = "1.00059";
    return;
  }
  m.material.clear();
  m.dielectric = Stored(fieldText);
}

std::string DielectricText(const MainInputs& m, Language lang, char sep) {
  const int i = MaterialIndex(m.material);
  if (i == 2) return AirEntry(lang, sep);  // as the form shows it after loading
  if (i >= 0) return MaterialList(lang, sep)[static_cast<std::size_t>(i)];
  return Shown(m.dielectric, sep);
}

// ---- the run's inputs ----

Design FromRunInput(const RunInput& in) {
  Design d;
  MainInputs& m = d.main;
  m.frequency = Stored(in.preferredFrequency);
  m.halfWaves = Stored(in.halfWaves);
  m.wireLength = Stored(in.maxWireLength);
  m.shorteningFactor = Stored(in.shorteningFactor);
  m.tolerance = Stored(in.tolerance);
  SetDielectric(m, in.dielectric);
  m.outerDiameter = Stored(in.outerDiameter);
  m.conductorDiameter = Stored(in.conductorDiameter);
  m.minimumSum = Stored(in.minimumSum);
  m.bands = in.bands;
  m.windom = in.windom;
  m.specialTable = in.specialTable;
  m.segment = in.segment;
  m.lengthMode = in.lengthMode;
  m.equalImpedances = in.equalImpedances;
  if (in.calculator.active) {
    CalculatorInputs& c = d.calculator.emplace();
    c.active = true;
    c.frequency = m.frequency;
    c.height = Stored(in.calculator.heightText);
    c.diameter = Stored(report::FormatGeneral(in.calculator.diameter, '.'));
    c.groundCorrection = in.calculator.groundCorrection;
  }
  return d;
}

RunInput ToRunInput(const Design& d, Language lang, char sep) {
  RunInput in = LoadedFormInput(lang, sep);
  const MainInputs& m = d.main;
  in.preferredFrequency = Shown(m.frequency, sep);
  in.halfWaves = Shown(m.halfWaves, sep);
  in.maxWireLength = Shown(m.wireLength, sep);
  in.shorteningFactor = Shown(m.shorteningFactor, sep);
  in.tolerance = Shown(m.tolerance, sep);
  in.dielectric = DielectricText(m, lang, sep);
  in.outerDiameter = Shown(m.outerDiameter, sep);
  in.conductorDiameter = Shown(m.conductorDiameter, sep);
  in.minimumSum = Shown(m.minimumSum, sep);
  in.bands = m.bands;
  in.windom = m.windom;
  in.specialTable = m.specialTable;
  in.segment = m.segment;
  in.lengthMode = m.lengthMode;
  in.equalImpedances = m.equalImpedances;
  if (d.calculator && d.calculator->active) {
    const CalculatorInputs& c = *d.calculator;
    in.calculator.active = true;
    in.calculator.heightText = Shown(c.height, sep);
    in.calculator.height = ParseNumber(c.height);
    in.calculator.diameter = ParseNumber(c.diameter.empty() ? m.conductorDiameter : c.diameter);
    in.calculator.groundCorrection = c.groundCorrection;
  }
  return in;
}

// ---- the table of keys ----

namespace {

enum class Section { Design, Main, FeedPoint, Calculator, Pruning, Dipole, Nec };
constexpr const char* kSectionNames[] = {"design", "main", "feed-point", "calculator", "pruning", "dipole", "nec"};

// A refused value: the reason, in the language.
using Check = std::function<std::optional<std::string>(std::string_view value, Language lang)>;

struct Key {
  Section section;
  const char* name;
  std::function<std::string(const Design&)> get;
  // Sets the value (already checked).
  std::function<void(Design&, std::string_view)> set;
  Check check;
};

std::string Quoted(std::string_view v) { return "\"" + std::string(v) + "\""; }

bool PrintableUtf8(std::string_view v) {
  return std::none_of(v.begin(), v.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
  });
}

Check Typed(std::string_view keys, std::size_t maxLength) {
  return [keys = std::string(keys), maxLength](std::string_view v, Language lang) -> std::optional<std::string> {
    if (v.find_first_not_of(keys) != std::string_view::npos)
      return tr(lang, "Zeichen, die das Feld nicht annimmt, in ", "characters the field does not take in ") + Quoted(v);
    if (maxLength && v.size() > maxLength)
      return tr(lang, "mehr Zeichen, als das Feld fasst, in ", "more characters than the field holds in ") + Quoted(v);
    return std::nullopt;
  };
}

// Number fields of the main form keep the field's key filter and length.
Check Decimal(std::size_t maxLength = 0) { return Typed("0123456789.", maxLength); }

Check FreeText() {
  return [](std::string_view v, Language lang) -> std::optional<std::string> {
    if (!PrintableUtf8(v) || v.size() > 1000)
      return tr(lang, "kein Feldinhalt: ", "not a field's text: ") + Quoted(v.substr(0, 80));
    return std::nullopt;
  };
}

template <std::size_t N>
Check OneOf(const char* const (&words)[N]) {
  return [&words](std::string_view v, Language lang) -> std::optional<std::string> {
    if (IndexOf(words, v) >= 0) return std::nullopt;
    std::string list;
    for (const char* w : words) list += (list.empty() ? "" : ", ") + std::string(w);
    return tr(lang, "unbekannte Wahl ", "unknown choice ") + Quoted(v) + tr(lang, " (erlaubt: ", " (allowed: ") + list +
           ")";
  };
}

Check GroundCheck() {
  return [](std::string_view v, Language lang) -> std::optional<std::string> {
    if (nec::GroundFromWord(v)) return std::nullopt;
    return tr(lang, "unbekannter Boden ", "unknown ground ") + Quoted(v);
  };
}

Check BalunCheck() {
  return [](std::string_view v, Language lang) -> std::optional<std::string> {
    if (v == "auto" || nec::BalunFromText(v)) return std::nullopt;
    return tr(lang, "unbekanntes Balun-Verhältnis ", "unknown balun ratio ") + Quoted(v);
  };
}

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

bool FeedKeyPresent(const Design& d, const Key& k) {
  if (!d.feedPoint) return false;
  const std::string n = k.name;
  const FeedPointInputs& f = *d.feedPoint;
  if (n.rfind("all-bands", 0) == 0) return f.allBands.has_value();
  if (n.rfind("one-frequency", 0) == 0) return f.oneFrequency.has_value();
  if (n.rfind("scan", 0) == 0) return f.scan.has_value();
  return f.currentSum.has_value();
}

const std::vector<Key>& Keys() {
  using S = Section;
  using M = MainInputs;
  using C = CalculatorInputs;
  using P = PruningInputs;
  using D = DipoleInputs;
  using N = NecInputs;
  static const std::vector<Key> keys = [] {
    std::vector<Key> k = {
        TextKey<M>(S::Main, "frequency", &M::frequency, Decimal(7)),
        TextKey<M>(S::Main, "half-waves", &M::halfWaves, Typed("0123456789~", 5)),
        TextKey<M>(S::Main, "wire-length", &M::wireLength, Decimal(5)),
        TextKey<M>(S::Main, "shortening-factor", &M::shorteningFactor, Decimal(7)),
        TextKey<M>(S::Main, "tolerance", &M::tolerance, Decimal()),
        {S::Main, "material", [](const Design& d) { return d.main.material; },
         [](Design& d, std::string_view v) { d.main.material = std::string(v); },
         [](std::string_view v, Language lang) -> std::optional<std::string> {
           if (v.empty() || MaterialIndex(v) >= 0) return std::nullopt;
           return tr(lang, "unbekannter Werkstoff ", "unknown material ") + Quoted(v);
         }},
        TextKey<M>(S::Main, "dielectric", &M::dielectric, FreeText()),
        TextKey<M>(S::Main, "outer-diameter", &M::outerDiameter, Decimal(5)),
        TextKey<M>(S::Main, "conductor-diameter", &M::conductorDiameter, FreeText()),
        TextKey<M>(S::Main, "minimum-sum", &M::minimumSum, Decimal()),
    };
    for (int b = 0; b < kBandCount; ++b) k.push_back(BandKeyOf(b));
    const std::vector<Key> rest = {
        FlagKey<M>(S::Main, "all-bands", &M::allBands),
        FlagKey<M>(S::Main, "windom", &M::windom),
        FlagKey<M>(S::Main, "special-table", &M::specialTable),
        WordKey<M>(S::Main, "segment", &M::segment, kSegmentWords, static_cast<int>(Segment::Cw)),
        WordKey<M>(S::Main, "length-mode", &M::lengthMode, kLengthModeWords),
        {S::Main, "feed-point", [](const Design& d) { return std::string(kFeedModeWords[d.main.equalImpedances]); },
         [](Design& d, std::string_view v) { d.main.equalImpedances = v == kFeedModeWords[1]; }, OneOf(kFeedModeWords)},
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
        FlagKey<C>(S::Calculator, "active", &C::active),
        TextKey<C>(S::Calculator, "frequency", &C::frequency, FreeText()),
        TextKey<C>(S::Calculator, "height", &C::height, FreeText()),
        TextKey<C>(S::Calculator, "diameter", &C::diameter, FreeText()),
        FlagKey<C>(S::Calculator, "ground-correction", &C::groundCorrection),
        TextKey<P>(S::Pruning, "measured-length", &P::measuredLength, FreeText()),
        TextKey<P>(S::Pruning, "measured-frequency", &P::measuredFrequency, FreeText()),
        TextKey<P>(S::Pruning, "desired-frequency", &P::desiredFrequency, FreeText()),
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
        TextKey<N>(S::Nec, "feed-point", &N::feedPoint, FreeText()),
        TextKey<N>(S::Nec, "height", &N::height, FreeText()),
        {S::Nec, "ground", [](const Design& d) { return Part<N>(d).ground; },
         [](Design& d, std::string_view v) { Part<N>(d).ground = std::string(v); }, GroundCheck()},
        {S::Nec, "balun", [](const Design& d) { return Part<N>(d).balun; },
         [](Design& d, std::string_view v) { Part<N>(d).balun = std::string(v); }, BalunCheck()},
        TextKey<N>(S::Nec, "points", &N::points, FreeText()),
    };
    k.insert(k.end(), rest.begin(), rest.end());
    return k;
  }();
  return keys;
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

std::string_view Trim(std::string_view s) {
  const std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  const std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

}  // namespace

std::string Serialise(const Design& d) {
  std::string out = "; Lorvant design: numbers with the decimal point, choices as words.\n";
  out += "[design]\nformat = " + std::string(kFormat) + "\nversion = " + std::to_string(kVersion) + "\n";
  std::optional<Section> open;
  for (const Key& k : Keys()) {
    if (!SectionPresent(d, k.section)) continue;
    if (k.section == Section::FeedPoint && !FeedKeyPresent(d, k)) continue;
    if (open != k.section) {
      out += "\n[" + std::string(kSectionNames[static_cast<int>(k.section)]) + "]\n";
      open = k.section;
    }
    const std::string v = k.get(d);
    out += std::string(k.name) + " =" + (v.empty() ? "" : " " + v) + "\n";
  }
  return out;
}

namespace {

// Reads the lines after the header; returns a refusal or nothing.
class Reader {
 public:
  explicit Reader(Language lang) : lang_(lang) {}
  std::optional<Refusal> line(int number, std::string_view text);
  std::optional<Refusal> end(int lastLine);
  Design design;

 private:
  Refusal refuse(int line, std::string reason) { return {line, std::move(reason)}; }
  std::optional<Refusal> header(int number, std::string_view key, std::string_view value);

  Language lang_;
  std::optional<Section> section_;
  bool formatSeen_ = false, versionSeen_ = false;
  std::vector<std::string> seen_;  // "section/key" and "[section]"
};

std::optional<Refusal> Reader::header(int number, std::string_view key, std::string_view value) {
  if (key == "format") {
    if (value != kFormat)
      return refuse(number, tr(lang_, "kein Lorvant-Entwurf (format = ", "not a Lorvant design (format = ") +
                                std::string(value) + ")");
    formatSeen_ = true;
    return std::nullopt;
  }
  if (key == "version") {
    if (!formatSeen_)
      return refuse(number, tr(lang_, "„format“ fehlt vor „version“", "\"format\" missing before \"version\""));
    if (value.empty() || value.size() > 6 || value.find_first_not_of("0123456789") != std::string_view::npos)
      return refuse(number, tr(lang_, "keine Versionsnummer: ", "not a version number: ") + Quoted(value));
    const int v = std::stoi(std::string(value));
    if (v > kVersion)
      return refuse(number, tr(lang_, "mit einer neueren Lorvant-Version geschrieben (Version ",
                               "written by a newer version of Lorvant (version ") +
                                std::string(value) +
                                tr(lang_, "; diese liest Version 1)", "; this one reads version 1)"));
    if (v < 1) return refuse(number, tr(lang_, "unbekannte Version ", "unknown version ") + std::string(value));
    versionSeen_ = true;
    return std::nullopt;
  }
  return refuse(number, tr(lang_, "unbekannter Eintrag ", "unknown entry ") + Quoted(key));
}

std::optional<Refusal> Reader::line(int number, std::string_view text) {
  text = Trim(text);
  if (text.empty() || text[0] == ';' || text[0] == '#') return std::nullopt;
  if (!PrintableUtf8(text))
    return refuse(number, tr(lang_, "Steuerzeichen in der Zeile", "control characters in the line"));
  if (text.front() == '[') {
    if (text.back() != ']') return refuse(number, tr(lang_, "„]“ fehlt", "\"]\" missing"));
    const std::string_view name = Trim(text.substr(1, text.size() - 2));
    const int s = IndexOf(kSectionNames, name);
    if (s < 0) return refuse(number, tr(lang_, "unbekannter Abschnitt ", "unknown section ") + Quoted(name));
    if (!section_ && s != 0)
      return refuse(number, tr(lang_, "kein Lorvant-Entwurf ([design] fehlt am Anfang)",
                               "not a Lorvant design ([design] missing at the start)"));
    if (section_ && !versionSeen_)
      return refuse(number, tr(lang_, "„version“ fehlt in [design]", "\"version\" missing in [design]"));
    const std::string tag = "[" + std::string(name) + "]";
    if (std::find(seen_.begin(), seen_.end(), tag) != seen_.end())
      return refuse(number, tr(lang_, "Abschnitt doppelt: ", "section given twice: ") + tag);
    seen_.push_back(tag);
    section_ = static_cast<Section>(s);
    OpenSection(design, *section_);
    return std::nullopt;
  }
  if (!section_)
    return refuse(number, tr(lang_, "kein Lorvant-Entwurf ([design] fehlt am Anfang)",
                             "not a Lorvant design ([design] missing at the start)"));
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) return refuse(number, tr(lang_, "„=“ fehlt", "\"=\" missing"));
  const std::string_view key = Trim(text.substr(0, eq));
  const std::string_view value = Trim(text.substr(eq + 1));
  const std::string id = std::string(kSectionNames[static_cast<int>(*section_)]) + "/" + std::string(key);
  if (std::find(seen_.begin(), seen_.end(), id) != seen_.end())
    return refuse(number, tr(lang_, "Eintrag doppelt: ", "entry given twice: ") + Quoted(key));
  seen_.push_back(id);
  if (*section_ == Section::Design) return header(number, key, value);
  for (const Key& k : Keys()) {
    if (k.section != *section_ || key != k.name) continue;
    if (std::optional<std::string> why = k.check(value, lang_)) return refuse(number, Quoted(key) + ": " + *why);
    k.set(design, value);
    return std::nullopt;
  }
  return refuse(number, tr(lang_, "unbekannter Eintrag ", "unknown entry ") + Quoted(key));
}

std::optional<Refusal> Reader::end(int lastLine) {
  if (!formatSeen_)
    return refuse(lastLine, tr(lang_, "kein Lorvant-Entwurf (format fehlt)", "not a Lorvant design (format missing)"));
  if (!versionSeen_)
    return refuse(lastLine, tr(lang_, "„version“ fehlt in [design]", "\"version\" missing in [design]"));
  if (std::find(seen_.begin(), seen_.end(), "[main]") == seen_.end())
    return refuse(lastLine, tr(lang_, "Abschnitt [main] fehlt", "section [main] missing"));
  // A hand-written value without a material is a typed one.
  const auto seen = [this](const char* id) { return std::find(seen_.begin(), seen_.end(), id) != seen_.end(); };
  if (seen("main/dielectric") && !seen("main/material")) design.main.material.clear();
  return std::nullopt;
}

}  // namespace

ReadResult Parse(std::string_view text, Language lang) {
  ReadResult r;
  if (text.size() > kMaxBytes) {
    r.refusal = {0, tr(lang, "zu groß für einen Entwurf", "too large for a design")};
    return r;
  }
  if (text.find('\0') != std::string_view::npos) {
    r.refusal = {0, tr(lang, "keine Textdatei", "not a text file")};
    return r;
  }
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Reader reader(lang);
  int number = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view l = text.substr(pos, nl - pos);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    ++number;
    if (std::optional<Refusal> bad = reader.line(number, l)) {
      r.refusal = *bad;
      return r;
    }
    pos = nl + 1;
  }
  if (std::optional<Refusal> bad = reader.end(std::max(number, 1))) {
    r.refusal = *bad;
    return r;
  }
  r.design = std::move(reader.design);
  return r;
}

std::string RefusalText(Language lang, const std::string& path, const Refusal& r) {
  std::string where = path;
  if (r.line > 0) where += tr(lang, ", Zeile ", ", line ") + std::to_string(r.line);
  return tr(lang, "Der Entwurf kann nicht geöffnet werden: ", "The design cannot be opened: ") + where + ": " +
         r.reason;
}

ReadResult ReadFile(const std::string& path, Language lang) {
  ReadResult r;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    r.refusal = {0, files::FileErrorCause(lang, errno)};
    return r;
  }
  std::string text;
  char buf[8192];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && text.size() <= kMaxBytes) text.append(buf, n);
  const bool failed = std::ferror(f);
  std::fclose(f);
  if (failed) {
    r.refusal = {0, files::FileErrorCause(lang, EIO)};
    return r;
  }
  return Parse(text, lang);
}

void WriteFile(const std::string& path, const Design& d) { files::WriteFileAtomically(path, Serialise(d)); }

}  // namespace lorvant::design
