// What the batch tool's NEC-2 tests share: a PATH holding only a fake
// nec2c, and the tool's --json answer read back.
#pragma once

#include <sys/stat.h>

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <map>
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

// The check of tests/data/nec/ocf_7_14.*: its deck and its nec2c output.
// One engine process: the fake engines answer with the whole captured
// output, whatever part of the deck they are given.
inline std::vector<std::string> CapturedCheckArgs(const TempFolder& out) {
  return {"nec",
          "--out",
          out.path().string(),
          "--frequency",
          "7.1",
          "--halfwaves",
          "1",
          "--band",
          "7",
          "--band",
          "14",
          "--feed",
          "7.06",
          "--points",
          "2",
          "--date",
          "08.12.2026 15:44:35",
          "--engine-processes",
          "1"};
}

// The one JSON object the tool printed.
inline QJsonObject Json(const ToolResult& r) {
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out;
  return doc.object();
}

}  // namespace lorvant::test
