// Helpers for the tests of the optimisation run and its reports.
#pragma once

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "calc/run.h"

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

// The form's state at load with 3.5, 7, 14, 21 and 28 MHz ticked: 14.2 MHz,
// 4 half-waves, Vk 0.95, air, band centre, maximum current sum.
inline RunInput TypicalInput(const std::string& folder, Language lang = Language::German, char sep = ',') {
  RunInput in;
  const std::string dec(1, sep);
  in.text1 = "14" + dec + "2";
  in.text2 = "4";
  in.text3 = "";
  in.text4 = "0" + dec + "95";
  in.text5 = "5";
  in.text6 = "2" + dec + "1";
  in.text8 = "0" + dec + "4";
  in.combo1 = "1" + dec + "00059" + (lang == Language::German ? " Luft" : " Air");
  in.combo2 = "1" + dec + "4";
  in.bands = {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0};
  in.segmentIndex = 2;
  in.language = lang;
  in.decimalSeparator = sep;
  in.resultsFolder = folder;
  in.programFolder = folder;
  in.dateText = "08.12.2026 15:44:35";
  return in;
}

}  // namespace lorvant::test
