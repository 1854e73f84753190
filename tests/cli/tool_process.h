// Runs the built lorvant-calc as a child process and keeps its exit
// status, stdout and stderr.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace lorvant::test {

struct ToolResult {
  int status = -1;  // exit status; -1 when the process did not exit normally
  int signal = 0;   // the signal that ended it, if any
  std::string out, err;

  // Lines of stderr (without their line ends).
  std::vector<std::string> errLines() const {
    std::vector<std::string> lines;
    std::istringstream s(err);
    for (std::string line; std::getline(s, line);) lines.push_back(line);
    return lines;
  }
};

// The tool running as a child process.
class ToolProcess {
 public:
  // Starts the tool with `args`; `env` entries replace or add environment
  // variables of the test's own environment. `stdoutTo` (a file such as
  // /dev/full) takes its stdout instead of the file that wait() reads.
  ToolProcess(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {},
              const std::string& stdoutTo = {}) {
    namespace fs = std::filesystem;
    static int counter = 0;
    const fs::path base =
        fs::temp_directory_path() / ("lorvant-cli-io-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    outPath_ = base.string() + ".out";
    errPath_ = base.string() + ".err";

    std::vector<std::string> argStore{LORVANT_CALC_TOOL};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStore;
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      const std::string name = entry.substr(0, entry.find('='));
      if (!env.count(name)) envStore.push_back(entry);
    }
    for (const auto& [name, value] : env) envStore.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, stdoutTo.empty() ? outPath_.c_str() : stdoutTo.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (posix_spawn(&pid_, argStore[0].c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~ToolProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      wait();
    }
  }
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  pid_t pid() const { return pid_; }
  // Where its stdout goes while it runs.
  const std::string& outPath() const { return outPath_; }

  // Waits for the end of the process and collects what it printed.
  ToolResult wait() {
    ToolResult r;
    if (pid_ <= 0) {
      r.err = "spawn failed";
      return r;
    }
    int wstatus = 0;
    while (::waitpid(pid_, &wstatus, 0) < 0 && errno == EINTR) {
    }
    pid_ = 0;
    if (WIFEXITED(wstatus)) r.status = WEXITSTATUS(wstatus);
    if (WIFSIGNALED(wstatus)) r.signal = WTERMSIG(wstatus);
    auto slurp = [](const std::string& p) {
      std::ifstream in(p, std::ios::binary);
      std::ostringstream s;
      s << in.rdbuf();
      return s.str();
    };
    r.out = slurp(outPath_);
    r.err = slurp(errPath_);
    std::error_code ec;
    std::filesystem::remove(outPath_, ec);
    std::filesystem::remove(errPath_, ec);
    return r;
  }

 private:
  pid_t pid_ = 0;
  std::string outPath_, errPath_;
};

// Runs the tool to its end.
inline ToolResult RunTool(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {}) {
  return ToolProcess(args, env).wait();
}

}  // namespace lorvant::test
