#include "calc/necengine.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "calc/necoutput.h"

extern char** environ;

namespace lorvant::nec {

namespace fs = std::filesystem;

namespace {

// How often the running engine is looked at.
constexpr auto kPollInterval = std::chrono::milliseconds(20);

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

EngineResult Failure(std::string message) {
  EngineResult r;
  r.status = EngineResult::Status::Failed;
  r.message = std::move(message);
  return r;
}

// Ends a started child process for good.
void Stop(pid_t pid) {
  ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

PrivateFolder::PrivateFolder() {
  std::error_code ec;
  fs::path base = fs::temp_directory_path(ec);
  if (ec) base = "/tmp";
  std::string pattern = (base / "lorvant-nec-XXXXXX").string();
  if (::mkdtemp(pattern.data())) path_ = pattern;
}

PrivateFolder::~PrivateFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  fs::remove_all(path_, ec);
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

// Starts the engine on the deck with its messages in `messages`; 0 on
// success, else the errno of the start.
int Spawn(const std::string& program, const fs::path& input, const fs::path& output, const fs::path& messages,
          pid_t& pid) {
  std::vector<std::string> args = {kEngineName, "-i", input.string(), "-o", output.string()};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  const int spawnError = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return spawnError;
}

// Waits for the engine, reporting the frequencies solved so far. Returns a
// result only when the wait ends early (cancelled or failed).
std::optional<EngineResult> Await(pid_t pid, const fs::path& output, const EngineProgress& progress, int& status) {
  int solved = 0;
  std::uintmax_t seen = 0;  // output bytes counted so far
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return std::nullopt;
    if (done < 0 && errno != EINTR) return Failure(std::string("waitpid: ") + std::strerror(errno));
    if (progress) {
      // The engine writes its output in blocks, so the count trails a
      // little; the file stays small enough to read whole.
      std::error_code ec;
      const std::uintmax_t size = fs::file_size(output, ec);
      if (!ec && size != seen) {
        seen = size;
        solved = SolvedCount(ReadFile(output));
      }
      if (!progress(solved)) {
        Stop(pid);
        return WithStatus(EngineResult::Status::Cancelled);
      }
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

// The engine names its trouble on stderr or as the last line of its output.
std::string TroubleMessage(const fs::path& messages, const std::string& output, int status) {
  std::string message = LastLine(ReadFile(messages));
  if (message.empty()) message = LastLine(output);
  if (WIFSIGNALED(status))
    message += (message.empty() ? "" : " ") + std::string("(signal ") + std::to_string(WTERMSIG(status)) + ")";
  else
    message += (message.empty() ? "" : " ") + std::string("(exit status ") + std::to_string(WEXITSTATUS(status)) + ")";
  return message;
}

}  // namespace

EngineResult Nec2cEngine::run(const std::string& deck, const EngineProgress& progress) {
  const std::string program = program_.empty() ? FindEngine() : program_;
  if (program.empty()) return WithStatus(EngineResult::Status::Missing);
  if (progress && !progress(0)) return WithStatus(EngineResult::Status::Cancelled);

  PrivateFolder folder;
  if (!folder.ok()) return Failure(std::string("temporary folder: ") + std::strerror(errno));
  const fs::path input = folder.path() + "Lorvant.nec";
  const fs::path output = folder.path() + "Lorvant.out";
  const fs::path messages = folder.path() + "messages.txt";
  {
    std::ofstream in(input, std::ios::binary | std::ios::trunc);
    in << deck;
    in.close();
    if (in.fail()) return Failure("cannot write " + input.string());
  }

  pid_t pid = 0;
  const int spawnError = Spawn(program, input, output, messages, pid);
  if (spawnError == ENOENT) return WithStatus(EngineResult::Status::Missing);
  if (spawnError != 0) return Failure(program + ": " + std::strerror(spawnError));

  int status = 0;
  if (auto early = Await(pid, output, progress, status)) return *early;

  EngineResult r;
  r.output = ReadFile(output);
  if (progress && !progress(SolvedCount(r.output))) {
    // Stopped at the very end (or the engine died of the same Ctrl-C).
    r.status = EngineResult::Status::Cancelled;
    return r;
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    r.status = EngineResult::Status::Completed;
    return r;
  }
  r.status = EngineResult::Status::Failed;
  r.message = TroubleMessage(messages, r.output, status);
  return r;
}

std::string EngineMissingText(Language lang, const std::string& deckPath) {
  std::string text = tr(lang, "nec2c wurde nicht gefunden. Bitte installieren: apt install nec2c",
                        "nec2c was not found. Please install it: apt install nec2c");
  if (!deckPath.empty())
    text += tr(lang, " (das NEC-2-Deck liegt in ", " (the NEC-2 deck has been written to ") + deckPath + ")";
  return text;
}

std::string EngineFailedText(Language lang, const std::string& message) {
  return tr(lang, "nec2c ist mit einem Fehler beendet worden: ", "nec2c ended with an error: ") + message;
}

}  // namespace lorvant::nec
