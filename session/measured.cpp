#include "session/measured.h"

#include <cctype>
#include <cerrno>
#include <cstdio>

#include "engine/sweep/csv.h"
#include "engine/sweep/touchstone.h"
#include "session/messages.h"
#include "text/catalogue.h"
#include "text/measured_texts.h"

namespace lorvant::sweep {

bool IsCsvName(const std::string& path) {
  if (path.size() < 4) return false;
  std::string suffix = path.substr(path.size() - 4);
  for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return suffix == ".csv";
}

Sweep ParseMeasured(std::string_view bytes, bool csv) { return csv ? ReadSweepCsv(bytes) : ReadTouchstone(bytes); }

namespace {

Reason FileRefusal(const std::string& path, int error) {
  return {SweepFileText(path, files::FileErrorCause(Language::German, error), Language::German),
          SweepFileText(path, files::FileErrorCause(Language::English, error), Language::English)};
}

// The file's bytes, at most one more than kMaxMeasuredBytes; the error
// number when it cannot be read.
int ReadBytes(const std::string& path, std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return errno;
  char buf[8192];
  std::size_t n;
  while (bytes.size() <= kMaxMeasuredBytes && (n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  // A folder opens but does not read.
  const int error = std::ferror(f) ? (errno ? errno : EIO) : 0;
  std::fclose(f);
  return error;
}

}  // namespace

MeasuredFile ReadMeasured(const std::string& path, nec::Region region) {
  MeasuredFile m;
  std::string bytes;
  errno = 0;
  if (const int error = ReadBytes(path, bytes)) {
    m.refusal = FileRefusal(path, error);
    return m;
  }
  if (bytes.size() > kMaxMeasuredBytes) {
    const std::string size = std::to_string(kMaxMeasuredBytes / (1024 * 1024)) + " MiB";
    m.refusal = {SweepFileText(path, say(Language::German, Text::MeasuredTooLarge) + size, Language::German),
                 SweepFileText(path, say(Language::English, Text::MeasuredTooLarge) + size, Language::English)};
    return m;
  }
  try {
    m.sweep = ParseMeasured(bytes, IsCsvName(path));
  } catch (const SweepError& e) {
    m.refusal = {SweepErrorText(e, path, Language::German), SweepErrorText(e, path, Language::English)};
    return m;
  }
  m.bands = AnalyseSweep(m.sweep, region);
  m.read = true;
  return m;
}

}  // namespace lorvant::sweep
