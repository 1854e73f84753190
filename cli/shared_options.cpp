#include "cli/shared_options.h"

#include <sys/stat.h>

#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <array>
#include <filesystem>

#include "io/staged_files.h"
#include "session/mainform.h"
#include "session/messages.h"

namespace lorvant::cli {

namespace {

// A band as the command line spells it: the main form's caption without a
// ".0" ("7", not "7.0").
std::string BandWord(int band) {
  std::string caption = BandCaption(band);
  if (caption.size() > 2 && caption.compare(caption.size() - 2, 2, ".0") == 0) caption.resize(caption.size() - 2);
  return caption;
}

void SetBand(BandValues& bands, const std::string& text, BandState value) {
  const int band = BandIndexFromText(text);
  const auto i = static_cast<std::size_t>(band);
  if (bands[i] != BandState::Off && bands[i] != value)
    throw UsageError("band " + BandWord(band) + " is already given with " +
                     (value == BandState::Counted ? "--grey-band" : "--band"));
  bands[i] = value;
}

// A decimal field whose value lies above 0 and at most 1; the text as typed.
std::string UnitFraction(const std::string& value, std::size_t maxLength, const char* refusal) {
  const std::string t = FieldText(value, kDecimalKeys, maxLength);
  const float f = FieldNumber(t);
  if (!(f > 0 && f <= 1)) throw UsageError(refusal);
  return t;
}

}  // namespace

int BandIndexFromText(const std::string& text) {
  std::string t = text;
  std::replace(t.begin(), t.end(), ',', '.');
  if (t == "7.0") t = "7";
  if (t == "24.9") t = "24";
  for (int band = 0; band < kBandCount; ++band)
    if (t == BandWord(band)) return band;
  throw UsageError("expected a band of 1.8 3.5 5.3 7 10 14 18 21 24 28 50 (MHz)");
}

char LocaleDecimalSeparator() { return QLocale::system().decimalPoint() == QLatin1String(",") ? ',' : '.'; }

std::string LocalDateTimeText() {
  const QLocale locale = QLocale::system();
  const QDateTime now = QDateTime::currentDateTime();
  return (locale.toString(now.date(), QLocale::ShortFormat) + ' ' + locale.toString(now.time(), "HH:mm:ss"))
      .toStdString();
}

void SharedInputs::addTo(OptionParser& p, unsigned which) {
  if (which & kOptFrequency)
    p.value("frequency", "MHZ",
            "resonance frequency for the preferred band (default 14,2 or 14.2 by the decimal separator; 0 or empty "
            "means 14.2)",
            [this](const std::string& v) { frequency_ = FieldText(v, kDecimalKeys, 7); });
  if (which & kOptHalfWaves)
    p.value("halfwaves", "N", "planned antenna length in half-waves of the preferred band (default 4)",
            [this](const std::string& v) { halfWaves_ = FieldText(v, kWholeKeys, 4); });
  if (which & kOptVk)
    p.value("vk", "VK", "shortening factor Vk of the wire, above 0 and at most 1 (default 0,95)",
            [this](const std::string& v) {
              vk_ = UnitFraction(v, 7, "a shortening factor lies above 0 and at most 1 (typically 0,946)");
            });
  if (which & kOptMinSum)
    p.value("min-sum", "S", "minimum current sum that every counted band must reach, 0,01 to 1 (default 0,4)",
            [this](const std::string& v) {
              minSum_ = UnitFraction(v, 0, "the minimum current sum lies above 0 and at most 1");
            });
  if (which & kOptBands) {
    p.value(
        "band", "F", "tick a band box (counted in the current sum); F is one of 1.8 3.5 5.3 7 10 14 18 21 24 28 50",
        [this](const std::string& v) { SetBand(bands_, v, BandState::Counted); }, true);
    p.value(
        "grey-band", "F", "grey a band box (computed, listed and drawn, not counted); F as for --band",
        [this](const std::string& v) { SetBand(bands_, v, BandState::Grey); }, true);
  }
  if (which & kOptSegment)
    p.value("segment", "cw|ssb|centre",
            "current sums in the band for the CW segment, the SSB segment or the band centre (default centre)",
            [this](const std::string& v) {
              segment_ = static_cast<Segment>(Choice(v, {{"cw", static_cast<int>(Segment::Cw)},
                                                         {"ssb", static_cast<int>(Segment::Ssb)},
                                                         {"centre", static_cast<int>(Segment::Centre)}}));
            });
  if (which & kOptLengthMode)
    p.value("length-mode", "preferred|highest-lowest|all",
            "optimise the length for the preferred band, for the highest and the lowest band (within --tolerance), "
            "or for all bands (default preferred)",
            [this](const std::string& v) {
              lengthMode_ =
                  static_cast<LengthMode>(Choice(v, {{"preferred", static_cast<int>(LengthMode::Preferred)},
                                                     {"highest-lowest", static_cast<int>(LengthMode::HighestLowest)},
                                                     {"all", static_cast<int>(LengthMode::All)}}));
            });
  if (which & kOptLanguage)
    p.value("language", "de|en", "language of the reports and notes (default de)", [this](const std::string& v) {
      language_ = Choice(v, {{"de", 0}, {"en", 1}}) == 0 ? Language::German : Language::English;
    });
  if (which & kOptDecimalSeparator)
    p.value("decimal-separator", ",|.",
            "decimal separator of the numbers written and of the default field texts (default: the system "
            "locale's, as Qt reads it from LC_ALL, LC_NUMERIC or LANG)",
            [this](const std::string& v) {
              sep_ = static_cast<char>(Choice(v, {{",", ','}, {".", '.'}}));
            });
  if (which & kOptDate)
    p.value("date", "TEXT",
            "text written where the reports' closing lines carry the date and time (default: now, as the locale's "
            "short date and HH:MM:SS)",
            [this](const std::string& v) { date_ = WithoutControls(v); });
}

std::function<void(const std::string&)> FolderValue(std::optional<std::string>& into) {
  return [&into](const std::string& v) {
    if (v.empty()) throw UsageError("a folder is needed");
    into = v;
  };
}

std::string OutputFolder(const std::string& value) {
  if (value.empty()) throw UsageError("a folder is needed");
  namespace fs = std::filesystem;
  // What stands there under the name, said as it is: a file is no folder,
  // and a link to nowhere is not a name that "exists".
  struct stat st {};
  if (::lstat(value.c_str(), &st) == 0) {
    struct stat target {};
    if (S_ISLNK(st.st_mode) && ::stat(value.c_str(), &target) != 0) {
      std::error_code linkError;
      const fs::path to = fs::read_symlink(fs::path(value), linkError);
      throw UsageError("the name is a link to '" + to.string() +
                       "', which does not exist (make that folder or choose another)");
    }
    if (::stat(value.c_str(), &target) == 0 && !S_ISDIR(target.st_mode))
      throw UsageError("not a folder: a file, a device or a pipe has this name (choose a folder)");
  }
  std::error_code ec;
  fs::create_directories(fs::path(value), ec);
  std::string folder = value;
  if (folder.back() != '/') folder += '/';
  // The folder must take files now, not at the end of a long calculation.
  const int err = ec ? ec.value() : files::ProbeFolder(folder);
  if (err)
    throw UsageError("the folder cannot be written: " + files::FileErrorCause(Language::English, err) +
                     " (choose another folder or make this one writable)");
  return folder;
}

std::string OutputFolderOption(const std::string& option, const std::string& value) {
  try {
    return OutputFolder(value);
  } catch (const UsageError& e) {
    throw UsageError("--" + option + " " + QuotedValue(value) + ": " + e.what());
  }
}

char SharedInputs::decimalSeparator() const { return sep_ ? *sep_ : LocaleDecimalSeparator(); }

RunInput SharedInputs::loadedForm() const { return LoadedFormInput(language_, decimalSeparator()); }

std::string SharedInputs::frequencyText() const { return frequency_.value_or(loadedForm().preferredFrequency); }

std::string SharedInputs::halfWavesText() const { return halfWaves_.value_or(loadedForm().halfWaves); }

std::string SharedInputs::vkText() const { return vk_.value_or(loadedForm().shorteningFactor); }

std::string SharedInputs::minSumText() const { return minSum_.value_or(loadedForm().minimumSum); }

std::string SharedInputs::dateText() const { return date_ ? *date_ : LocalDateTimeText(); }

}  // namespace lorvant::cli
