// Helpers for the tests of the optimisation run and its reports.
#pragma once

#include <cerrno>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "io/staged_files.h"
#include "session/question.h"
#include "session/run.h"
#include "tests/support/WorkedExample.h"

namespace lorvant::test {

// A host with scripted answers that keeps everything it was asked.
class ScriptedHost : public RunHost {
 public:
  std::deque<Answer> answers;       // questions (segment, additional band, dielectric)
  std::deque<Answer> errorAnswers;  // the error box; Abort when none is left
  std::vector<Question> asked;
  std::vector<Question> errors;
  std::vector<double> progressCalls;
  int beeps = 0;
  int cancelAfterProgressCalls = -1;  // -1: never cancel
  int stopChecks = 0;                 // how often the run asked for a stop request
  int stopAtCheck = -1;               // the check (1-based) that answers yes; -1: never
  std::function<void()> onStopCheck;  // runs at every check
  std::function<void()> onError;      // runs before the error answer is given
  Canvas* drawing = nullptr;

  Answer ask(const Question& q) override {
    asked.push_back(q);
    if (answers.empty()) return Answer::No;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  void beep() override { ++beeps; }
  bool progress(double fraction) override {
    progressCalls.push_back(fraction);
    return cancelAfterProgressCalls < 0 || static_cast<int>(progressCalls.size()) < cancelAfterProgressCalls;
  }
  bool stopRequested() override {
    if (onStopCheck) onStopCheck();
    return ++stopChecks == stopAtCheck;
  }
  Answer errorHandler(const Question& q) override {
    errors.push_back(q);
    if (onError) onError();
    if (errorAnswers.empty()) return Answer::Abort;
    const Answer a = errorAnswers.front();
    errorAnswers.pop_front();
    return a;
  }
  Canvas& canvas() override { return drawing ? *drawing : RunHost::canvas(); }
};

// File failures on demand, installed for the object's lifetime: a folder
// that refuses new files, a disk that fills up at a byte of a file, a
// rename that fails, a free space figure.
class FaultyFiles : public files::FileHooks {
 public:
  struct Full {
    std::string name;      // file name of the target
    std::uint64_t at = 0;  // bytes that still fit
  };
  std::vector<std::pair<std::string, int>> refuse;  // folder prefix, error number
  std::vector<Full> full;
  std::vector<std::string> failRename;  // target file names
  std::optional<std::uint64_t> free;
  std::function<void(const std::string& target, bool after)> onRename;
  int renames = 0;

  FaultyFiles() { files::SetFileHooks(this); }
  ~FaultyFiles() override { files::SetFileHooks(nullptr); }
  FaultyFiles(const FaultyFiles&) = delete;
  FaultyFiles& operator=(const FaultyFiles&) = delete;

  int create(const std::string& target) override {
    for (const auto& [folder, err] : refuse)
      if (target.rfind(folder, 0) == 0) return err;
    return 0;
  }
  int write(const std::string& target, std::uint64_t offset, std::size_t& size) override {
    for (const Full& f : full)
      if (files::NameOf(target) == f.name && offset + size > f.at) {
        size = offset >= f.at ? 0 : static_cast<std::size_t>(f.at - offset);
        return ENOSPC;
      }
    return 0;
  }
  int rename(const std::string& target) override {
    ++renames;
    if (onRename) onRename(target, false);
    for (const std::string& n : failRename)
      if (files::NameOf(target) == n) return EIO;
    return 0;
  }
  void renamed(const std::string& target) override {
    if (onRename) onRename(target, true);
  }
  std::optional<std::uint64_t> freeBytes(const std::string&) override { return free; }
};

// A fresh folder below the system's temporary folder, removed at the end.
class TempFolder {
 public:
  TempFolder() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("lorvant-run-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // With the trailing "/" that result folders carry.
  std::string str() const { return path_.string() + "/"; }
  std::filesystem::path path() const { return path_; }
  std::filesystem::path file(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Lines of a report without their CR LF ends (an unended last piece kept).
inline std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      if (start < bytes.size()) lines.push_back(bytes.substr(start));
      return lines;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
}

// The run's worked example (tests/support/WorkedExample.h) as the form holds
// it: 14.2 MHz, 4 half-waves, Vk 0.95, air, band centre, maximum current sum.
inline RunInput TypicalInput(const std::string& folder, Language lang = Language::German, char sep = ',') {
  RunInput in;
  const std::string dec(1, sep);
  in.preferredFrequency = "14" + dec + "2";
  in.halfWaves = "4";
  in.maxWireLength = "";
  in.shorteningFactor = "0" + dec + "95";
  in.tolerance = "5";
  in.outerDiameter = "2" + dec + "1";
  in.minimumSum = "0" + dec + "4";
  in.dielectric = "1" + dec + "00059" + (lang == Language::German ? " Luft" : " Air");
  in.conductorDiameter = "1" + dec + "4";
  in.bands = worked::kBands;
  in.segment = Segment::Centre;
  in.language = lang;
  in.decimalSeparator = sep;
  in.resultsFolder = folder;
  in.dateText = worked::kDateText;
  return in;
}

// The reports' worked example: the figures the typical input's run gives.
inline report::ReportData WorkedReportData(Language lang = Language::German, char sep = ',') {
  report::ReportData d;
  d.language = lang;
  d.sep = sep;
  d.f0 = worked::kPreferredFrequency;
  d.n = worked::kHalfWaves;
  d.segment = Segment::Centre;
  d.bands = worked::kBands;
  d.length = worked::kLength;
  d.vk = worked::kShorteningFactor;
  d.er = worked::kDielectric;
  d.dielectricText = "1,00059 Luft";
  d.dateText = worked::kDateText;
  return d;
}

}  // namespace lorvant::test
