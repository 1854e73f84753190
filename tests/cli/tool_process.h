// Runs the built lorvant-calc as a child process and keeps its exit
// status, stdout and stderr.
#pragma once

#include <fcntl.h>
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
  int status = -1;      // exit status; -1 when the process did not exit normally
  int signal = 0;       // the signal that ended it, if any
  std::string out, err;

  // Lines of stderr (without their line ends).
  std::vector<std::string> errLines() const {
    std::vector<std::string> lines;
    std::istringstream s(err);
    for (std::string line; std::getline(s, line);) lines.push_back(line);
    return lines;
  }
};

// Runs the tool with `args`; `env` entries replace or add environment
// variables of the test's own environment.
inline ToolResult RunTool(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {}) {
  namespace fs = std::filesystem;
  static int counter = 0;
  const fs::path base = fs::temp_directory_path() / ("lorvant-cli-io-" + std::to_string(::getpid()) + "-" +
                                                    std::to_string(counter++));
  const std::string outPath = base.string() + ".out", errPath = base.string() + ".err";

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
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  ToolResult r;
  const int rc = posix_spawn(&pid, argStore[0].c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    r.err = "spawn failed";
    return r;
  }
  int wstatus = 0;
  while (::waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(wstatus)) r.status = WEXITSTATUS(wstatus);
  if (WIFSIGNALED(wstatus)) r.signal = WTERMSIG(wstatus);
  auto slurp = [](const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  };
  r.out = slurp(outPath);
  r.err = slurp(errPath);
  std::error_code ec;
  fs::remove(outPath, ec);
  fs::remove(errPath, ec);
  return r;
}

}  // namespace lorvant::test
