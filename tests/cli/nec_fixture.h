// What the batch tool's NEC-2 tests share: a PATH holding only a fake
// nec2c, a results folder with an earlier check's files, the engine's
// process watched, and the tool's --json answer read back.
#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/cli/tool_process.h"
#include "tests/session/run_support.h"

namespace lorvant::test {

// A folder holding only a fake nec2c (a shell script with `body`).
struct FakePath {
  TempFolder folder;
  explicit FakePath(const std::string& body) {
    WriteBytes(folder.file("nec2c"), "#!/bin/sh\n" + body + "\n");
    ::chmod(folder.file("nec2c").c_str(), 0755);
  }
  std::map<std::string, std::string> env() const { return {{"PATH", folder.path().string()}}; }
};

// The check of the worked 7 and 14 MHz wire (one half-wave at 7.1 MHz) fed
// at `feed` metres.
inline std::vector<std::string> Ocf7And14Args(const TempFolder& out, const std::string& feed) {
  return {
      "nec",    "--out", out.path().string(), "--frequency", "7.1", "--halfwaves", "1", "--band", "7", "--band", "14",
      "--feed", feed};
}

// The check of tests/data/nec/ocf_7_14.*: its deck and its nec2c output.
// One engine process: the fake engines answer with the whole captured
// output, whatever part of the deck they are given.
inline std::vector<std::string> CapturedCheckArgs(const TempFolder& out) {
  std::vector<std::string> args = Ocf7And14Args(out, "7.06");
  args.insert(args.end(), {"--points", "2", "--date", "08.12.2026 15:44:35", "--engine-processes", "1"});
  return args;
}

// The files of a folder but the lock that a check or run leaves.
inline std::set<std::string> FileNames(const TempFolder& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    if (e.path().filename() != ".lorvant.lock") names.insert(e.path().filename().string());
  return names;
}

// A results folder holding the deck and report of an earlier check (or
// tuning: `report` NecTune.txt), and a temporary folder of the test's own
// for the engine's private folders. args() are the captured check's for
// `command`, figures with a decimal comma, texts in English.
struct EarlierPair {
  TempFolder dir, tmp;
  std::string command, report;
  explicit EarlierPair(std::string command = "nec", std::string report = "NecCheck.txt")
      : command(std::move(command)), report(std::move(report)) {
    WriteBytes(dir.file("Lorvant.nec"), "earlier deck\r\n");
    WriteBytes(dir.file(this->report), "earlier report\r\n");
  }
  bool kept() const {
    return ReadBytes(dir.file("Lorvant.nec")) == "earlier deck\r\n" &&
           ReadBytes(dir.file(report)) == "earlier report\r\n" &&
           FileNames(dir) == std::set<std::string>{"Lorvant.nec", report};
  }
  std::map<std::string, std::string> env(const FakePath& engine) const {
    return {{"PATH", engine.folder.path().string()}, {"TMPDIR", tmp.path().string()}};
  }
  std::vector<std::string> args(const std::vector<std::string>& more = {}) const {
    std::vector<std::string> a = CapturedCheckArgs(dir);
    a.front() = command;
    a.insert(a.end(), {"--decimal-separator", ",", "--language", "en"});
    a.insert(a.end(), more.begin(), more.end());
    return a;
  }
};

// Whether a process is still running (a zombie that waits for its reaper
// runs no more).
inline bool Running(pid_t pid) {
  if (::kill(pid, 0) != 0) return false;
  const std::string stat = ReadBytes("/proc/" + std::to_string(pid) + "/stat");
  const std::size_t paren = stat.rfind(')');
  return paren == std::string::npos || paren + 2 >= stat.size() || stat[paren + 2] != 'Z';
}

// The process id a fake engine wrote into `file` once it started.
inline pid_t StartedEngine(const std::filesystem::path& file) {
  for (int i = 0; i < 500; ++i) {
    const std::string text = ReadBytes(file);
    if (!text.empty() && text.back() == '\n') return static_cast<pid_t>(std::stol(text));
    ::usleep(10'000);
  }
  return 0;
}

// The one JSON object the tool printed.
inline QJsonObject Json(const ToolResult& r) {
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out;
  return doc.object();
}

}  // namespace lorvant::test
