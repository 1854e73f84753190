// lorvant-calc: the batch tool. One subcommand per calculation; this file
// holds only the dispatch table and the frame around it.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "cli/options.h"
#include "cli/stdout.h"
#include "engine/version.h"
#include "io/staged_files.h"
#include "session/messages.h"

namespace lorvant::cli {

// Subcommands, each in its own cmd_*.cpp.
int RunCommand(const Args& args);       // cmd_run.cpp
int NecCommand(const Args& args);       // cmd_nec.cpp
int TuneCommand(const Args& args);      // cmd_tune.cpp
int MeasuredCommand(const Args& args);  // cmd_measured.cpp

// -- feed-point checks --
int AllBandsCommand(const Args& args);      // cmd_feedpoint.cpp
int OneFrequencyCommand(const Args& args);  // cmd_feedpoint.cpp
int ImpedanceCommand(const Args& args);     // cmd_feedpoint.cpp
int ScanCommand(const Args& args);          // cmd_feedpoint.cpp

// -- calculators --
int VkCommand(const Args& args);      // cmd_tools.cpp
int PruneCommand(const Args& args);   // cmd_tools.cpp
int DipoleCommand(const Args& args);  // cmd_tools.cpp

struct Command {
  const char* name;
  const char* summary;
  int (*run)(const Args& args);
};

const Command kCommands[] = {
    {"run", "current-sum optimisation run: AntStrSu.txt, AntKurve.BMP (and AntSpezi.txt) into a folder", RunCommand},
    {"nec", "the run's design checked with the NEC-2 engine nec2c: Lorvant.nec and NecCheck.txt", NecCommand},
    {"tune", "the run's design tuned with nec2c (length, feed point, balun): Lorvant.nec and NecTune.txt", TuneCommand},
    {"measured", "an antenna analyser's sweep (Touchstone .s1p or CSV): resonances and lowest SWR per band",
     MeasuredCommand},

    // -- feed-point checks --
    {"allbands", "feed-point check over all bands at one length and distance (and SpeisePkt.txt)", AllBandsCommand},
    {"onefreq", "currents left and right of a feed point at one frequency", OneFrequencyCommand},
    {"impedance", "approximate feed impedance from a current sum", ImpedanceCommand},
    {"scan", "current sum along the wire between two limits, rising and falling", ScanCommand},

    // -- calculators --
    {"vk", "shortening-factor calculator: shortening by slenderness and height, expected Vk", VkCommand},
    {"prune", "antenna pruning: new length, total Vk and length change after measuring", PruneCommand},
    {"dipole", "additional dipole or WINDOM: length, feed point, spacing (and ZusatzDipol.txt)", DipoleCommand},
};

namespace {

void PrintOverview(std::ostream& out) {
  out << "Usage: " << kToolName << " <command> [options]\n"
      << "       " << kToolName << " <command> --help\n\n"
      << "Batch calculations of " << kProgramTitle << " without a window.\n\nCommands:\n";
  for (const Command& c : kCommands) {
    std::string name = "  " + std::string(c.name);
    name.resize(std::max<std::size_t>(name.size() + 2, 14), ' ');
    out << name << c.summary << '\n';
  }
  out << "\nOptions:\n"
      << "  --help      this text\n"
      << "  --version   print the version and exit\n"
      << "\nExit status: 0 result produced, 1 ended without a result, 2 bad command line.\n"
      << "A command whose stdout cannot be written (a full disk, a closed pipe) ends\n"
      << "at once with status 1.\n";
}

const Command* Find(const std::string& name) {
  for (const Command& c : kCommands)
    if (name == c.name) return &c;
  return nullptr;
}

int Dispatch(int argc, char** argv) {
  if (argc < 2) {
    PrintOverview(std::cerr);
    return kExitUsage;
  }
  const std::string first = argv[1];
  if (first == "--help" || first == "-h") {
    PrintOverview(std::cout);
    return kExitOk;
  }
  if (first == "--version") {
    std::cout << kToolName << ' ' << kVersionText << '\n';
    return kExitOk;
  }
  Args args(argv + 2, argv + argc);
  const Command* command = nullptr;
  if (first == "help") {
    // "help <command>" is "<command> --help".
    if (args.empty()) {
      PrintOverview(std::cout);
      return kExitOk;
    }
    command = Find(args[0]);
    args = {"--help"};
    if (!command) {
      std::cerr << kToolName << ": unknown command '" << argv[2] << "' (see " << kToolName << " --help)\n";
      return kExitUsage;
    }
  } else {
    command = Find(first);
  }
  if (!command) {
    std::cerr << kToolName << ": unknown command '" << first << "' (see " << kToolName << " --help)\n";
    return kExitUsage;
  }
  try {
    return command->run(args);
  } catch (const UsageError& e) {
    std::cerr << kToolName << ' ' << command->name << ": " << e.what() << " (see " << kToolName << ' ' << command->name
              << " --help)\n";
    return kExitUsage;
  } catch (const StdoutFailed&) {
    throw;
  } catch (const std::exception& e) {
    std::cerr << kToolName << ' ' << command->name << ": " << e.what() << '\n';
    return kExitNoResult;
  }
}

}  // namespace

int Main(int argc, char** argv) {
  CheckStdout();
  // A file size limit (ulimit -f) then fails the write with EFBIG, which
  // the commands report with the file's name, instead of killing the
  // process and leaving its temporaries.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    const int status = Dispatch(argc, argv);
    FlushStdout();
    return status;
  } catch (const StdoutFailed& e) {
    std::cout.exceptions(std::ios::goodbit);
    // A pipe whose reader has gone leaves nobody to tell.
    if (e.error() != EPIPE)
      std::cerr << kToolName << (argc >= 2 ? std::string(" ") + argv[1] : std::string())
                << ": stdout cannot be written: " << files::FileErrorCause(Language::English, e.error()) << '\n';
    return kExitNoResult;
  }
}

}  // namespace lorvant::cli

int main(int argc, char** argv) { return lorvant::cli::Main(argc, argv); }
