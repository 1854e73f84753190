#include "session/measured.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cctype>
#include <cerrno>

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
// number when it cannot be read. Only a plain file is read: a pipe or a
// device could hold the tool forever.
int ReadBytes(const std::string& path, std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENXIO ? files::kNotRegularFile : errno;
  struct stat st {};
  int error = ::fstat(fd, &st) != 0 ? errno : 0;
  if (!error && !S_ISREG(st.st_mode)) error = S_ISDIR(st.st_mode) ? EISDIR : files::kNotRegularFile;
  char buf[8192];
  while (!error && bytes.size() <= kMaxMeasuredBytes) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n > 0)
      bytes.append(buf, static_cast<std::size_t>(n));
    else if (errno != EINTR)
      error = errno;
  }
  ::close(fd);
  return error;
}

}  // namespace

MeasuredFile ReadMeasured(const std::string& path, nec::Region region) {
  MeasuredFile m;
  std::string bytes;
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
