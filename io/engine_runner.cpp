#include "io/engine_runner.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "engine/nec/output.h"
#include "io/staged_files.h"

extern char** environ;

namespace lorvant::nec {

namespace fs = std::filesystem;

namespace {

// How often the running engine is looked at.
constexpr auto kPollInterval = std::chrono::milliseconds(20);
// Of the engine's messages only the end is read: its last line says why.
constexpr std::size_t kMessageTail = 4096;
constexpr const char* kFolderPrefix = "lorvant-nec-";
constexpr auto kDay = std::chrono::hours(24);

// The last `bytes` bytes of a file.
std::string ReadTail(const fs::path& p, std::size_t bytes) {
  std::ifstream in(p, std::ios::binary | std::ios::ate);
  if (!in) return {};
  const std::streamoff size = in.tellg();
  const std::streamoff from = size > static_cast<std::streamoff>(bytes) ? size - static_cast<std::streamoff>(bytes) : 0;
  in.seekg(from);
  std::string s(static_cast<std::size_t>(size - from), '\0');
  in.read(s.data(), static_cast<std::streamsize>(s.size()));
  s.resize(static_cast<std::size_t>(in.gcount()));
  return s;
}

EngineResult Failure(std::string message) {
  EngineResult r;
  r.status = EngineResult::Status::Failed;
  r.message = CleanMessage(message);
  return r;
}

// Ends a started engine for good, with whatever it started itself.
void Stop(pid_t pid) {
  ::kill(-pid, SIGKILL);
  ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

// The process id in a private folder's name, 0 for a name of another kind.
long FolderOwner(const std::string& name) {
  const std::size_t prefix = std::strlen(kFolderPrefix);
  if (name.compare(0, prefix, kFolderPrefix) != 0) return 0;
  const std::size_t dash = name.find('-', prefix);
  if (dash == std::string::npos || dash == prefix || name.size() != dash + 7) return 0;
  long pid = 0;
  for (std::size_t i = prefix; i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9' || pid > 100'000'000) return 0;
    pid = pid * 10 + (name[i] - '0');
  }
  return pid;
}

bool Alive(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

std::string TemporaryBase() {
  std::error_code ec;
  fs::path base = fs::temp_directory_path(ec);
  if (ec) base = "/tmp";
  return base.string();
}

}  // namespace

PrivateFolder::PrivateFolder() : base_(TemporaryBase()) {
  RemoveStalePrivateFolders(base_);
  std::string pattern = (fs::path(base_) / (kFolderPrefix + std::to_string(::getpid()) + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()))
    path_ = pattern;
  else
    error_ = errno;
}

PrivateFolder::~PrivateFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::size_t RemoveStalePrivateFolders(const std::string& base) {
  DIR* d = ::opendir(base.c_str());
  if (!d) return 0;
  const auto dayAgo = std::chrono::system_clock::now() - kDay;
  const auto dayAgoSeconds = std::chrono::duration_cast<std::chrono::seconds>(dayAgo.time_since_epoch()).count();
  std::vector<std::string> stale;
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    const long owner = FolderOwner(name);
    if (owner == 0 || owner == ::getpid()) continue;
    const std::string path = base + "/" + name;
    struct stat st {};
    // Only this user's own folders, never what a link points to.
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) continue;
    if (!Alive(owner) || st.st_mtime < dayAgoSeconds) stale.push_back(path);
  }
  ::closedir(d);
  std::size_t removed = 0;
  for (const std::string& path : stale) {
    std::error_code ec;
    if (fs::remove_all(path, ec) > 0 && !ec) ++removed;
  }
  return removed;
}

std::string FindOnPath(std::string_view name, std::string_view path) {
  if (name.empty()) return {};
  if (name.find('/') != std::string_view::npos)
    return ::access(std::string(name).c_str(), X_OK) == 0 ? std::string(name) : std::string();
  std::size_t pos = 0;
  for (;;) {
    const std::size_t colon = path.find(':', pos);
    std::string dir(path.substr(pos, colon == std::string_view::npos ? std::string_view::npos : colon - pos));
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + std::string(name);
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
    if (colon == std::string_view::npos) return {};
    pos = colon + 1;
  }
}

std::string FindEngine() {
  const char* path = std::getenv("PATH");
  // Without PATH at all the shell's default applies; an empty PATH finds
  // nothing outside the current folder, as a shell would.
  return FindOnPath(kEngineName, path ? std::string_view(path) : std::string_view("/usr/local/bin:/usr/bin:/bin"));
}

namespace {

EngineResult WithStatus(EngineResult::Status status) {
  EngineResult r;
  r.status = status;
  return r;
}

// Everything the started engine needs, made before the fork: the child
// may only call what is safe between fork and exec.
struct Launch {
  std::vector<std::string> args;
  std::vector<char*> argv;
  std::string program, messages;
};

// In the child: a process group of its own (a Ctrl-C at the terminal goes
// to this program, which stops the engine itself), death with the thread
// that started it, stdin from /dev/null, stdout and stderr into the
// messages file. Reports a failure through `report` and ends.
[[noreturn]] void BecomeEngine(const Launch& l, pid_t parent, int report) {
  ::setpgid(0, 0);
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(127);  // the parent is already gone
  int err = 0;
  const int in = ::open("/dev/null", O_RDONLY);
  const int out = ::open(l.messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (in < 0 || out < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(out, 2) < 0) {
    err = errno;
  } else {
    ::execve(l.program.c_str(), l.argv.data(), environ);
    err = errno;
  }
  while (::write(report, &err, sizeof err) < 0 && errno == EINTR) {
  }
  ::_exit(127);
}

// Starts the engine on the deck; 0 on success, else the errno of the start.
int Spawn(const std::string& program, const fs::path& input, const fs::path& output, const fs::path& messages,
          pid_t& pid) {
  Launch l;
  l.program = program;
  l.messages = messages.string();
  l.args = {kEngineName, "-i", input.string(), "-o", output.string()};
  for (std::string& a : l.args) l.argv.push_back(a.data());
  l.argv.push_back(nullptr);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return errno;
  const pid_t parent = ::getpid();
  pid = ::fork();
  if (pid < 0) {
    const int err = errno;
    ::close(report[0]);
    ::close(report[1]);
    return err;
  }
  if (pid == 0) BecomeEngine(l, parent, report[1]);
  ::close(report[1]);
  ::setpgid(pid, pid);  // either side may be first
  int err = 0;
  ssize_t got = 0;
  while ((got = ::read(report[0], &err, sizeof err)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  if (got == static_cast<ssize_t>(sizeof err)) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return err != 0 ? err : ECHILD;
  }
  return 0;
}

// The engine's output as it grows: read from where the last look ended,
// frequencies counted as they come, never more than kMaxOutputBytes kept.
class OutputReader {
 public:
  explicit OutputReader(const fs::path& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~OutputReader() {
    if (fd_ >= 0) ::close(fd_);
  }
  OutputReader(const OutputReader&) = delete;
  OutputReader& operator=(const OutputReader&) = delete;

  // Takes what was added; false when the output went beyond its bound.
  bool readMore() {
    if (fd_ < 0) return true;
    char buf[65536];
    for (;;) {
      const ssize_t n = ::read(fd_, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return true;
      if (text_.size() + static_cast<std::size_t>(n) > kMaxOutputBytes) return false;
      // A heading cut by the last read is found again with its start.
      const std::size_t from = text_.size() > kHeadingLength ? text_.size() - kHeadingLength : 0;
      text_.append(buf, static_cast<std::size_t>(n));
      solved_ += SolvedCount(std::string_view(text_).substr(from)) -
                 SolvedCount(std::string_view(text_).substr(from, text_.size() - static_cast<std::size_t>(n) - from));
    }
  }
  int solved() const { return solved_; }
  std::string take() { return std::move(text_); }

 private:
  static constexpr std::size_t kHeadingLength = 32;
  int fd_;
  std::string text_;
  int solved_ = 0;
};

// The engine names its trouble on stderr or as the last line of its output.
std::string TroubleMessage(const fs::path& messages, const std::string& output, int status) {
  std::string message = CleanMessage(LastLine(ReadTail(messages, kMessageTail)));
  if (message.empty()) message = CleanMessage(LastLine(output));
  if (WIFSIGNALED(status))
    message += (message.empty() ? "" : " ") + std::string("(signal ") + std::to_string(WTERMSIG(status)) + ")";
  else
    message += (message.empty() ? "" : " ") + std::string("(exit status ") + std::to_string(WEXITSTATUS(status)) + ")";
  return message;
}

// One engine on one deck, in a private folder of its own.
struct Job {
  PrivateFolder folder;
  fs::path input, output, messages;
  pid_t pid = 0;
  std::unique_ptr<OutputReader> reader;
  bool running = false;
  int status = 0;
  int lastSolved = 0;
  std::chrono::steady_clock::time_point lastNews;
};

using Jobs = std::vector<std::unique_ptr<Job>>;

EngineResult OutputTooLong() { return Failure("more than " + std::to_string(kMaxOutputBytes >> 20) + " MB of output"); }

// Writes the job's deck and makes its empty output, so that the output's
// growth can be followed from the first byte.
std::optional<EngineResult> Prepare(Job& job, const std::string& deck) {
  if (!job.folder.ok())
    return Failure("no temporary folder can be made in " + job.folder.base() + ": " +
                   std::strerror(job.folder.error()));
  job.input = job.folder.path() + "Lorvant.nec";
  job.output = job.folder.path() + "Lorvant.out";
  job.messages = job.folder.path() + "messages.txt";
  std::ofstream in(job.input, std::ios::binary | std::ios::trunc);
  in << deck;
  in.close();
  // The user knows the temporary folder (TMPDIR), not our file in it.
  if (in.fail())
    return Failure("the temporary folder " + job.folder.base() + " takes no files: " + std::strerror(errno));
  std::ofstream out(job.output, std::ios::binary | std::ios::trunc);
  if (!out) return Failure("the temporary folder " + job.folder.base() + " takes no files: " + std::strerror(errno));
  return std::nullopt;
}

std::optional<EngineResult> Start(Job& job, const std::string& program) {
  const int spawnError = Spawn(program, job.input, job.output, job.messages, job.pid);
  if (spawnError != 0) {
    EngineResult r;
    r.startError = spawnError;
    r.status = spawnError == ENOENT && ::access(program.c_str(), F_OK) != 0 ? EngineResult::Status::Missing
                                                                            : EngineResult::Status::NotStarted;
    return r;
  }
  job.reader = std::make_unique<OutputReader>(job.output);
  job.running = true;
  job.lastNews = std::chrono::steady_clock::now();
  return std::nullopt;
}

// A failing engine takes the others with it: their results would be of
// no use without its part.
void StopAll(Jobs& jobs) {
  for (auto& job : jobs)
    if (job->running) {
      Stop(job->pid);
      job->running = false;
    }
}

// Looks at one running engine: its end, its output, its time-out. Returns
// a result when the whole run ends because of it.
std::optional<EngineResult> Look(Job& job, std::chrono::seconds timeout) {
  const pid_t done = ::waitpid(job.pid, &job.status, WNOHANG);
  if (done < 0 && errno != EINTR) return Failure(std::string("waitpid: ") + std::strerror(errno));
  if (done == job.pid) job.running = false;
  if (!job.reader->readMore()) return OutputTooLong();
  const auto now = std::chrono::steady_clock::now();
  if (job.reader->solved() != job.lastSolved) {
    job.lastSolved = job.reader->solved();
    job.lastNews = now;
  }
  if (!job.running) {
    if (WIFEXITED(job.status) && WEXITSTATUS(job.status) == 0) return std::nullopt;
    EngineResult r;
    r.status = EngineResult::Status::Failed;
    r.output = job.reader->take();
    r.message = TroubleMessage(job.messages, r.output, job.status);
    return r;
  }
  if (timeout.count() > 0 && now - job.lastNews >= timeout) {
    EngineResult r = WithStatus(EngineResult::Status::TimedOut);
    r.timeout = static_cast<int>(timeout.count());
    return r;
  }
  return std::nullopt;
}

// Waits for the engines, reporting the frequencies solved by all of them
// so far. Returns a result only when the wait ends early.
std::optional<EngineResult> Supervise(Jobs& jobs, const EngineProgress& progress, std::chrono::seconds timeout) {
  for (;;) {
    bool running = false;
    int solved = 0;
    for (auto& job : jobs) {
      if (job->running) {
        if (auto early = Look(*job, timeout)) {
          StopAll(jobs);
          return early;
        }
        running = running || job->running;
      }
      solved += job->lastSolved;
    }
    if (!running) return std::nullopt;
    if (progress && !progress(solved)) {
      StopAll(jobs);
      return WithStatus(EngineResult::Status::Cancelled);
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

// One card's name and fields (nec2c separates them by blanks or commas).
std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    const std::size_t from = line.find_first_not_of(" \t,\r", i);
    if (from == std::string_view::npos) break;
    const std::size_t to = std::min(line.find_first_of(" \t,\r", from), line.size());
    fields.push_back(line.substr(from, to - from));
    i = to;
  }
  return fields;
}

bool IsCard(std::string_view line, std::string_view name) {
  const std::size_t from = line.find_first_not_of(" \t");
  return from != std::string_view::npos && line.size() >= from + 2 &&
         std::toupper(static_cast<unsigned char>(line[from])) == name[0] &&
         std::toupper(static_cast<unsigned char>(line[from + 1])) == name[1];
}

long Field(const std::vector<std::string_view>& fields, std::size_t i) {
  if (i >= fields.size()) return 0;
  long v = 0;
  std::from_chars(fields[i].data(), fields[i].data() + fields[i].size(), v);
  return v > 0 ? v : 0;
}

struct Structure {
  std::string cards;  // without its NX or EN
  double cost = 0;
};

// The engine's work on one structure, per frequency: the LU decomposition
// (segments cubed), the filling of the matrix (segments squared) and, over
// a Sommerfeld-Norton ground (GN 2), the ground's interpolation table,
// which costs as much as the LU of some 280 segments and dominates the
// small structures of the low bands. The weights are nec2c 1.3's times on
// a 39 m wire (CPU seconds per frequency: 0.018 for 11 segments over
// average ground, 0.038 for 155, 0.088 for 271; 0.006 and 0.025 for 155
// and 271 in free space).
double Cost(const std::string& cards) {
  double segments = 0, frequencies = 0;
  bool sommerfeld = false;
  std::string_view rest = cards;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (IsCard(line, "GW")) segments += static_cast<double>(Field(Fields(line), 2));
    if (IsCard(line, "FR")) frequencies += static_cast<double>(Field(Fields(line), 2));
    if (IsCard(line, "GN")) sommerfeld = Field(Fields(line), 1) == 2;
  }
  const double fill = sommerfeld ? 950 : 165;
  const double table = sommerfeld ? 2.3e7 : 0;
  return (segments * segments * segments + fill * segments * segments + table) * std::max(frequencies, 1.0);
}

std::vector<Structure> Structures(const std::string& deck) {
  std::vector<Structure> all(1);
  std::string_view rest = deck;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end == std::string_view::npos ? rest.size() : end + 1);
    rest.remove_prefix(line.size());
    if (IsCard(line, "EN")) break;
    if (IsCard(line, "NX")) {
      all.emplace_back();
      continue;
    }
    all.back().cards += line;
    if (line.back() != '\n') all.back().cards += '\n';
  }
  // Cards after the last NX without any structure in them end the deck.
  if (all.size() > 1 && all.back().cards.find_first_not_of(" \t\r\n,") == std::string::npos) all.pop_back();
  for (Structure& s : all) s.cost = Cost(s.cards);
  return all;
}

// Where the structures are cut into `parts` runs in their order so that
// the dearest run costs least: the first structure of each run after the
// first.
std::vector<std::size_t> Cuts(const std::vector<Structure>& all, std::size_t parts) {
  const std::size_t n = all.size();
  std::vector<double> sum(n + 1, 0);
  for (std::size_t i = 0; i < n; ++i) sum[i + 1] = sum[i] + all[i].cost;
  // best[k][i]: the dearest run when the first i structures make k runs.
  const double none = std::numeric_limits<double>::infinity();
  std::vector<std::vector<double>> best(parts + 1, std::vector<double>(n + 1, none));
  std::vector<std::vector<std::size_t>> from(parts + 1, std::vector<std::size_t>(n + 1, 0));
  best[0][0] = 0;
  for (std::size_t k = 1; k <= parts; ++k)
    for (std::size_t i = k; i <= n; ++i)
      for (std::size_t j = k - 1; j < i; ++j) {
        const double dearest = std::max(best[k - 1][j], sum[i] - sum[j]);
        if (dearest < best[k][i]) {
          best[k][i] = dearest;
          from[k][i] = j;
        }
      }
  std::vector<std::size_t> cuts;
  for (std::size_t k = parts, i = n; k > 1; --k) {
    i = from[k][i];
    cuts.insert(cuts.begin(), i);
  }
  return cuts;
}

}  // namespace

int EngineProcesses() {
  const unsigned cores = std::thread::hardware_concurrency();
  return std::clamp(static_cast<int>(cores), 1, kMaxEngineProcesses);
}

std::vector<std::string> SplitDeck(const std::string& deck, int parts) {
  const std::vector<Structure> all = Structures(deck);
  if (all.size() < 2) return {deck};
  const std::size_t count = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(parts, 1)), 1, all.size());
  std::vector<std::size_t> starts = Cuts(all, count);
  starts.insert(starts.begin(), 0);
  starts.push_back(all.size());
  std::vector<std::string> decks;
  for (std::size_t p = 0; p + 1 < starts.size(); ++p) {
    std::string d;
    for (std::size_t i = starts[p]; i < starts[p + 1]; ++i) d += (i > starts[p] ? "NX\n" : "") + all[i].cards;
    decks.push_back(d + "EN\n");
  }
  return decks;
}

EngineResult Nec2cEngine::run(const std::string& deck, const EngineProgress& progress) {
  const std::string program = program_.empty() ? FindEngine() : program_;
  if (program.empty()) return WithStatus(EngineResult::Status::Missing);
  if (progress && !progress(0)) return WithStatus(EngineResult::Status::Cancelled);

  const std::vector<std::string> decks = SplitDeck(deck, processes_ > 0 ? processes_ : EngineProcesses());
  Jobs jobs;
  const auto named = [&](EngineResult r) {
    StopAll(jobs);
    r.program = program;
    return r;
  };
  for (const std::string& part : decks) {
    jobs.push_back(std::make_unique<Job>());
    if (auto failed = Prepare(*jobs.back(), part)) return named(*failed);
  }
  for (auto& job : jobs)
    if (auto failed = Start(*job, program)) return named(*failed);

  if (auto early = Supervise(jobs, progress, std::chrono::seconds(timeout_))) return named(*early);

  EngineResult r;
  r.program = program;
  int solved = 0;
  for (auto& job : jobs) {
    solved += job->reader->solved();
    r.output += job->reader->take();
  }
  // Stopped at the very end, or completed.
  r.status = progress && !progress(solved) ? EngineResult::Status::Cancelled : EngineResult::Status::Completed;
  return r;
}

namespace {

// The length of the UTF-8 sequence that `lead` starts, 0 when it starts none.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Past an escape sequence that starts at `i` (ESC [ ... final, or ESC and
// one more character).
std::size_t SkipEscape(std::string_view s, std::size_t i) {
  ++i;
  if (i < s.size() && (s[i] == '[' || s[i] == ']')) {
    const bool osc = s[i] == ']';
    for (++i; i < s.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(s[i]);
      if (osc ? (c == 0x07 || c == 0x1B) : (c >= 0x40 && c <= 0x7E)) return i + 1;
    }
    return i;
  }
  return i < s.size() ? i + 1 : i;
}

}  // namespace

std::string CleanMessage(std::string_view raw, std::size_t maxChars) {
  std::string out;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < raw.size();) {
    const unsigned char c = static_cast<unsigned char>(raw[i]);
    if (c == 0x1B) {
      i = SkipEscape(raw, i);
      continue;
    }
    std::size_t len = c < 0x80 ? 1 : SequenceLength(c);
    bool keep = c >= 0x20 && c != 0x7F;
    if (c == '\t') keep = true;
    if (len > 1) {
      keep = i + len <= raw.size();
      for (std::size_t k = 1; keep && k < len; ++k) keep = (static_cast<unsigned char>(raw[i + k]) & 0xC0) == 0x80;
      // C1 controls (U+0080 to U+009F) are no text either.
      if (keep && c == 0xC2 && static_cast<unsigned char>(raw[i + 1]) < 0xA0) keep = false;
      if (!keep) len = 1;
    } else if (len == 0) {
      len = 1;
      keep = false;
    }
    if (keep) {
      if (chars == maxChars) return out + "...";
      out.append(c == '\t' ? std::string_view(" ") : raw.substr(i, len));
      ++chars;
    }
    i += len;
  }
  return out;
}

// The interpreter a script names in its first line ("#!/bin/sh -e" gives
// "/bin/sh"); empty for anything else.
std::string ScriptInterpreter(const std::string& program) {
  std::ifstream in(program, std::ios::binary);
  char head[256] = {};
  in.read(head, sizeof head - 1);
  const std::string_view line(head, static_cast<std::size_t>(in.gcount()));
  if (line.substr(0, 2) != "#!") return {};
  const std::size_t from = line.find_first_not_of(" \t", 2);
  if (from == std::string_view::npos) return {};
  const std::size_t to = line.find_first_of(" \t\r\n", from);
  return std::string(line.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from));
}

}  // namespace lorvant::nec
