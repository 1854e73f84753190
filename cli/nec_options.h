// What the subcommands that check a design with nec2c share (nec, tune):
// their options, the run that gives the design, the check's settings from
// the options, and the messages of files and pictures. Defined in
// cmd_nec.cpp.
#pragma once

#include <optional>
#include <string>

#include "cli/options.h"
#include "cli/run_options.h"
#include "engine/nec/frequencies.h"
#include "engine/nec/hanging.h"
#include "engine/nec/loads.h"
#include "engine/nec/model.h"
#include "io/engine_runner.h"
#include "io/staged_files.h"
#include "session/nec_check.h"

namespace lorvant::cli {

struct NecOptions {
  std::optional<float> feed;
  float height = static_cast<float>(nec::kDefaultHeight);
  std::optional<float> startHeight, endHeight;  // empty: --height
  std::optional<float> apexHeight, apexAt;      // apexAt empty: at the feed point
  float planAngle = static_cast<float>(nec::kStraightPlanAngle);
  nec::Material material = nec::Material::Copper;
  std::optional<double> conductivity;  // S/m; replaces the material's
  nec::Ground ground = nec::Ground::Average;
  std::optional<double> balun;  // empty: auto
  int points = nec::kDefaultSweepPoints;
  int engineTimeout = nec::kDefaultEngineTimeout;
  int engineProcesses = 0;             // 0: one per core
  std::optional<std::string> picture;  // the SWR picture's file
  nec::Region region = nec::kDefaultRegion;
  bool touchstone = false;  // also Lorvant.s1p (the nec command's)
};

// The options of the check, then the run's design options; --out names
// `reportName` as the report written with the deck.
void DeclareNecOptions(OptionParser& p, RunOptions& o, NecOptions& n, const std::string& reportName);

// Runs the optimisation into a folder of its own that goes with it. False,
// with the message on stderr, when the run gave no result.
bool RunDesign(RunInput& in, const RunOptions& o, RunOutput& run);

// The check's settings; the feed point as given, else the run's first
// proposal. False, with the message on stderr, when there is none. Throws
// UsageError for a feed point beyond the wire.
bool SettleCheck(nec::Settings& settings, const NecOptions& n, const nec::Design& design, Language lang, char sep);

// The last four characters of a file name, in lower case.
std::string LowerSuffix(const std::string& name);
// The picture's name asks for a PNG (else SVG).
bool IsPng(const std::string& name);
// The message of a file operation that failed: its cause and the file.
std::string FileMessage(const files::FileError& e, Language lang);
// Takes the results folder for this command until `lock` goes; false, with
// the message on stderr, while another check or run writes there.
bool LockFolder(files::FolderLock& lock, const std::string& folder, Language lang);

}  // namespace lorvant::cli
