// Result files on failing disks, in crashes and with two writers: a reader
// only ever finds a whole old file or a whole new one, a failed run leaves
// the earlier set byte for byte, and no temporary outlives the next run.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <map>
#include <tuple>

#include "io/staged_files.h"
#include "session/messages.h"
#include "session/question.h"
#include "tests/session/run_support.h"
#include "text/reports/strsum.h"

namespace lorvant {
namespace {

using test::FaultyFiles;
using test::ReadBytes;
using test::ScriptedHost;
using test::TempFolder;
using test::TypicalInput;
using test::WriteBytes;

const std::vector<std::string> kSet = {"AntStrSu.txt", "AntSpezi.txt", "AntKurve.BMP"};

// A picture of a fixed size, so that a disk can fill up inside it.
class FixedPicture : public NullCanvas {
 public:
  bool keepsImage() const override { return true; }
  std::string bitmap() const override { return "BM" + std::string(20000, 'p'); }
};

// Every name in the folder but the lock file.
std::map<std::string, std::string> Contents(const std::filesystem::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.path().filename() != ".lorvant.lock") files[e.path().filename().string()] = ReadBytes(e.path());
  return files;
}

// The earlier set of a folder: three files of recognisable content.
std::map<std::string, std::string> PlantEarlierSet(const TempFolder& dir) {
  for (const std::string& name : kSet) WriteBytes(dir.file(name), "earlier " + name);
  return Contents(dir.path());
}

RunInput WithTable(const TempFolder& dir) {
  RunInput in = TypicalInput(dir.str());
  in.specialTable = true;
  return in;
}

// The files of an undisturbed run of `in` into a folder of their own.
std::map<std::string, std::string> Reference(RunInput in) {
  TempFolder dir;
  in.resultsFolder = dir.str();
  ScriptedHost host;
  FixedPicture picture;
  host.drawing = &picture;
  EXPECT_EQ(RunOptimisation(in, host).outcome, RunOutcome::Completed);
  return Contents(dir.path());
}

// ---- the helper ----------------------------------------------------------------

TEST(FileCommit, OneFileIsReplacedWholeOrNotAtAll) {
  TempFolder dir;
  const std::string target = dir.str() + "SpeisePkt.txt";
  WriteBytes(target, "earlier");
  ::chmod(target.c_str(), 0640);
  {
    FaultyFiles faults;
    faults.full = {{"SpeisePkt.txt", 3}};
    try {
      files::WriteFileAtomically(target, "a much longer new report");
      ADD_FAILURE() << "a full disk was not reported";
    } catch (const files::FileError& e) {
      EXPECT_EQ(e.error(), ENOSPC);
      EXPECT_EQ(e.path(), target);
      EXPECT_EQ(files::FileErrorText(Language::German, e.error(), e.path()), "Datenträger voll\r\n" + target);
      EXPECT_EQ(files::FileErrorText(Language::English, e.error(), e.path()), "Disk full\r\n" + target);
    }
  }
  EXPECT_EQ(Contents(dir.path()), (std::map<std::string, std::string>{{"SpeisePkt.txt", "earlier"}}));

  files::WriteFileAtomically(target, "new");
  EXPECT_EQ(Contents(dir.path()), (std::map<std::string, std::string>{{"SpeisePkt.txt", "new"}}));
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the file keeps its permissions

  for (const auto& [err, de, en] : {std::tuple{EACCES, "Zugriff verweigert", "Access denied"},
                                    std::tuple{ENOENT, "Pfad nicht gefunden", "Path not found"},
                                    std::tuple{ENAMETOOLONG, "Name zu lang", "Name too long"},
                                    std::tuple{EFBIG, "Datei zu groß (Grenze der Dateigröße erreicht)",
                                               "File too large (file size limit reached)"}}) {
    EXPECT_EQ(files::FileErrorCause(Language::German, err), de);
    EXPECT_EQ(files::FileErrorCause(Language::English, err), en);
  }
}

TEST(FileCommit, ASetThatFailsHalfWayPutsTheEarlierFilesBack) {
  TempFolder dir;
  WriteBytes(dir.file("a.txt"), "old a");
  files::StagedFile a(dir.str() + "a.txt"), b(dir.str() + "b.txt"), c(dir.str() + "c.txt");
  for (files::StagedFile* f : {&a, &b, &c}) {
    f->open();
    f->write("new " + files::NameOf(f->target()));
    f->finish();
  }
  files::StagedFile* set[] = {&a, &b, &c};
  {
    FaultyFiles faults;
    faults.failRename = {"c.txt"};
    EXPECT_THROW(files::CommitFiles(set), files::FileError);
  }
  EXPECT_EQ(ReadBytes(dir.file("a.txt")), "old a");
  EXPECT_FALSE(std::filesystem::exists(dir.file("b.txt")));
  // The new files wait under their temporary names; a retry commits them.
  files::CommitFiles(set);
  EXPECT_EQ(Contents(dir.path()), (std::map<std::string, std::string>{
                                      {"a.txt", "new a.txt"}, {"b.txt", "new b.txt"}, {"c.txt", "new c.txt"}}));
}

TEST(FileCommit, StaleTemporariesOfEndedProcessesGo) {
  TempFolder dir;
  // A process that has ended: a child that exits at once.
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  const std::string ended = ".AntSpezi.txt.lorvant-" + std::to_string(child) + "-Ab12Cd";
  const std::string running = ".AntSpezi.txt.lorvant-" + std::to_string(::getpid()) + "-Ab12Cd";
  for (const std::string& name :
       {ended, running, std::string(".AntSpezi.txt.other-1-Ab12Cd"), std::string("notes.txt")})
    WriteBytes(dir.file(name), "x");
  const auto now = std::chrono::system_clock::now();
  // Younger than the run that looks: kept.
  EXPECT_EQ(files::RemoveStaleTemporaries(dir.str(), now - std::chrono::minutes(1)), 0u);
  EXPECT_EQ(files::RemoveStaleTemporaries(dir.str(), now + std::chrono::seconds(1)), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir.file(ended)));
  EXPECT_EQ(Contents(dir.path()).size(), 3u);

  // A process id in use again: a temporary untouched for more than a day is
  // no live writer's, nor one of this process's from before it started.
  const auto age = [&](const std::string& name, std::chrono::seconds ago) {
    WriteBytes(dir.file(name), "x");
    const auto t = std::filesystem::file_time_type::clock::now() - ago;
    std::filesystem::last_write_time(dir.file(name), t);
  };
  const std::string reused = ".AntStrSu.txt.lorvant-" + std::to_string(::getppid()) + "-Ef34Gh";
  const std::string fresh = ".AntStrSu.txt.lorvant-" + std::to_string(::getppid()) + "-Ij56Kl";
  const std::string ownEarlier = ".AntKurve.BMP.lorvant-" + std::to_string(::getpid()) + "-Mn78Op";
  age(reused, std::chrono::hours(25));
  age(fresh, std::chrono::hours(23));
  age(ownEarlier, std::chrono::hours(1));
  const std::string endedAgain = ".ZusatzDipol.txt.lorvant-" + std::to_string(child) + "-Qr90St";
  WriteBytes(dir.file(endedAgain), "x");
  // Any file written into the folder clears it, not only a run.
  files::WriteFileAtomically(dir.str() + "SpeisePkt.txt", "report");
  const auto left = Contents(dir.path());
  EXPECT_FALSE(left.count(reused));
  EXPECT_FALSE(left.count(ownEarlier));
  EXPECT_FALSE(left.count(endedAgain));
  EXPECT_TRUE(left.count(fresh));
  EXPECT_TRUE(left.count(running));
}

TEST(FileCommit, ANewFileTakesNoModeFromALinkOrSetIdBits) {
  TempFolder dir;
  const mode_t mask = ::umask(022);
  // A report replacing a link to a set-id file: the link goes, the mode of
  // what it pointed to stays with that file.
  WriteBytes(dir.file("other"), "x");
  ::chmod(dir.file("other").c_str(), 06777);
  std::filesystem::create_symlink(dir.file("other"), dir.file("AntStrSu.txt"));
  files::WriteFileAtomically(dir.str() + "AntStrSu.txt", "new");
  struct stat st {};
  ASSERT_EQ(::lstat(dir.file("AntStrSu.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  // An earlier report keeps its read and write bits, no more.
  ::chmod(dir.file("AntStrSu.txt").c_str(), 06750);
  files::WriteFileAtomically(dir.str() + "AntStrSu.txt", "newer");
  ASSERT_EQ(::lstat(dir.file("AntStrSu.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  ::umask(mask);
}

TEST(FileCommit, AFolderHasOneWriterAtATime) {
  TempFolder dir;
  files::FolderLock first, second;
  ASSERT_TRUE(first.tryLock(dir.str()));
  EXPECT_FALSE(second.tryLock(dir.str()));
  first.unlock();
  EXPECT_TRUE(second.tryLock(dir.str()));
  EXPECT_THROW(first.tryLock(dir.str() + "missing/"), files::FileError);
}

TEST(FileCommit, ALockThatIsNoPlainFileIsRefusedByItsName) {
  TempFolder dir, elsewhere;
  const std::string lock = dir.str() + ".lorvant.lock";
  const auto refusal = [&] {
    files::FolderLock l;
    try {
      l.tryLock(dir.str());
    } catch (const files::FileError& e) {
      EXPECT_EQ(e.path(), lock);
      return e.error();
    }
    return 0;
  };
  // A link to nowhere would make its target as the user who runs.
  std::filesystem::create_symlink(elsewhere.file("made"), lock);
  EXPECT_EQ(refusal(), ELOOP);
  EXPECT_FALSE(std::filesystem::exists(elsewhere.file("made")));
  EXPECT_EQ(files::FileErrorCause(Language::English, ELOOP), "A link has this name");
  std::filesystem::remove(lock);
  std::filesystem::create_directory(lock);
  EXPECT_EQ(refusal(), EISDIR);
  std::filesystem::remove(lock);
  ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0);
  EXPECT_EQ(refusal(), files::kNotRegularFile);
  EXPECT_EQ(files::FileErrorText(Language::German, files::kNotRegularFile, lock), "Keine gewöhnliche Datei\r\n" + lock);
}

// ---- a run's set -------------------------------------------------------------------

struct Failure {
  const char* name;
  std::function<void(FaultyFiles&, const TempFolder&)> arrange;
  std::string cause;  // German, first line of the error box
};

class FailingFolder : public ::testing::TestWithParam<Failure> {};

TEST_P(FailingFolder, LeavesTheEarlierSetByteForByte) {
  TempFolder dir;
  const auto earlier = PlantEarlierSet(dir);
  FixedPicture picture;
  ScriptedHost host;
  host.drawing = &picture;
  files::FolderLock otherRun;
  RunOutput out;
  {
    FaultyFiles faults;
    GetParam().arrange(faults, dir);
    if (std::string(GetParam().name) == "Busy") {
      ASSERT_TRUE(otherRun.tryLock(dir.str()));
    }
    out = RunOptimisation(WithTable(dir), host);
  }
  EXPECT_EQ(out.outcome, RunOutcome::Aborted);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].text.substr(0, host.errors[0].text.find("\r\n")), GetParam().cause);
  EXPECT_TRUE(out.files.empty());
  EXPECT_EQ(Contents(dir.path()), earlier);
}

INSTANTIATE_TEST_SUITE_P(
    RunFiles, FailingFolder,
    ::testing::Values(Failure{"Refused",
                              [](FaultyFiles& f, const TempFolder& d) {
                                f.refuse = {{d.str(), EACCES}};
                              },
                              "Zugriff verweigert"},
                      Failure{"ReadOnly",
                              [](FaultyFiles& f, const TempFolder& d) {
                                f.refuse = {{d.str(), EROFS}};
                              },
                              "Zugriff verweigert (schreibgeschützter Datenträger)"},
                      Failure{"FullInTheTable",
                              [](FaultyFiles& f, const TempFolder&) {
                                f.full = {{"AntSpezi.txt", 100000}};
                              },
                              "Datenträger voll"},
                      Failure{"FullInTheReport",
                              [](FaultyFiles& f, const TempFolder&) {
                                f.full = {{"AntStrSu.txt", 500}};
                              },
                              "Datenträger voll"},
                      Failure{"FullInThePicture",
                              [](FaultyFiles& f, const TempFolder&) {
                                f.full = {{"AntKurve.BMP", 7000}};
                              },
                              "Datenträger voll"},
                      Failure{"FirstRename", [](FaultyFiles& f, const TempFolder&) { f.failRename = {"AntStrSu.txt"}; },
                              "Fehler beim Lesen/Schreiben des Geräts"},
                      Failure{"LastRename", [](FaultyFiles& f, const TempFolder&) { f.failRename = {"AntKurve.BMP"}; },
                              "Fehler beim Lesen/Schreiben des Geräts"},
                      Failure{"Busy", [](FaultyFiles&, const TempFolder&) {}, "Der Ordner"}),
    [](const ::testing::TestParamInfo<Failure>& info) { return std::string(info.param.name); });

TEST(RunFiles, SecondRunIntoABusyFolderSaysSo) {
  TempFolder dir;
  files::FolderLock otherRun;
  ASSERT_TRUE(otherRun.tryLock(dir.str()));
  ScriptedHost host;
  RunInput in = TypicalInput(dir.str(), Language::English, '.');
  RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Aborted);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].text, "Another calculation is writing into the folder\r\n" + dir.str() + "\r\nright now.");
  // Retry once the other run is done.
  host.errors.clear();
  host.errorAnswers = {Answer::Retry};
  host.onError = [&] { otherRun.unlock(); };
  out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_EQ(host.errors.size(), 1u);
}

TEST(RunFiles, AStopAtAnyCheckLeavesTheEarlierSet) {
  // The run asks for a stop request in the scan, at every block of every
  // file and between the steps after the scan; whichever answers yes, the
  // run ends cancelled at once and the folder keeps its earlier set.
  TempFolder dir;
  const auto earlier = PlantEarlierSet(dir);
  FixedPicture picture;
  ScriptedHost counting;
  counting.drawing = &picture;
  RunInput in = WithTable(dir);
  in.halfWaves = "8";  // about 84 m: a special table of many blocks
  {
    TempFolder other;
    in.resultsFolder = other.str();
    // The last check comes when every file is staged, right before the
    // renames.
    bool lastSawEverything = false;
    counting.onStopCheck = [&] {
      int staged = 0;
      for (const auto& e : std::filesystem::directory_iterator(other.path()))
        if (e.path().filename().string().find(".lorvant-") != std::string::npos) ++staged;
      lastSawEverything = staged == 3;
    };
    ASSERT_EQ(RunOptimisation(in, counting).outcome, RunOutcome::Completed);
    EXPECT_TRUE(lastSawEverything);
  }
  in.resultsFolder = dir.str();
  ASSERT_GT(counting.stopChecks, 15);
  for (int k = 1; k <= counting.stopChecks; ++k) {
    ScriptedHost host;
    host.drawing = &picture;
    host.stopAtCheck = k;
    const RunOutput out = RunOptimisation(in, host);
    EXPECT_EQ(out.outcome, RunOutcome::Cancelled) << "check " << k;
    EXPECT_EQ(host.stopChecks, k) << "the run went on after the stop";
    EXPECT_TRUE(host.errors.empty());
    EXPECT_EQ(Contents(dir.path()), earlier) << "check " << k;
  }
}

TEST(RunFiles, TheReportIsWeighedOnceItsCandidatesAreKnown) {
  TempFolder dir;
  ScriptedHost host;
  RunInput in = TypicalInput(dir.str());
  const RunOutput done = RunOptimisation(in, host);
  ASSERT_EQ(done.outcome, RunOutcome::Completed);
  const double written = static_cast<double>(std::filesystem::file_size(dir.file("AntStrSu.txt")));
  EXPECT_NEAR(static_cast<double>(report::EstimatedCurrentSumReportBytes(done.reportData, done.candidates)), written,
              written * 0.02);

  const auto earlier = Contents(dir.path());
  FaultyFiles faults;
  faults.free = 2000;
  const RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::TableTooLarge);
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_EQ(host.asked[0].text.rfind("Der Bericht AntStrSu.txt würde etwa ", 0), 0u) << host.asked[0].text;
  EXPECT_NE(host.asked[0].text.find("sind aber nur 2 KB frei.\r\nBitte eine kürzere Antenne berechnen"),
            std::string::npos);
  EXPECT_EQ(Contents(dir.path()), earlier);
}

TEST(RunFiles, SpecialTableIsWeighedBeforeAnythingIsWritten) {
  TempFolder dir;
  const auto earlier = PlantEarlierSet(dir);
  RunInput in = WithTable(dir);  // the worked length: 4173 rows
  EXPECT_EQ(EstimatedSpecialTableBytes(4172, false), 4173u * 131 + 4096);
  // From 100 m on (p = 10000) every row is one character longer.
  EXPECT_EQ(EstimatedSpecialTableBytes(10001, true), 10002u * 137 + 2 + 4096);
  ScriptedHost host;
  {
    FaultyFiles faults;
    faults.free = 300000;
    const RunOutput out = RunOptimisation(in, host);
    EXPECT_EQ(out.outcome, RunOutcome::TableTooLarge);
    ASSERT_EQ(host.asked.size(), 1u);
    EXPECT_EQ(host.asked[0].text,
              "Die Spezial-Tabelle AntSpezi.txt würde etwa 551 KB groß, im Ordner\r\n" + dir.str() +
                  "\r\nsind aber nur 300 KB frei.\r\nBitte die Spezial-Tabelle abschalten oder Platz schaffen.");
    EXPECT_EQ(out.refusal, host.asked[0].text);
    EXPECT_EQ(host.asked[0].id, QuestionId::NotEnoughRoom);
  }
  EXPECT_EQ(Contents(dir.path()), earlier);

  // Above 1 GB the user is asked, No being the default answer.
  in.halfWaves = "9999";  // about 100 km: 1,4 GB
  host.asked.clear();
  RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::LargeTableDeclined);
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_EQ(host.asked[0].buttons, Buttons::YesNo);
  EXPECT_EQ(host.asked[0].defaultButton, 2);
  EXPECT_EQ(host.asked[0].text.find("Die Spezial-Tabelle AntSpezi.txt wird etwa 1,4 GB groß (im Ordner sind "), 0u);
  EXPECT_EQ(out.refusal, "Spezial-Tabelle von etwa 1,4 GB nicht bestätigt");
  EXPECT_EQ(Contents(dir.path()), earlier);
  // Yes starts it (cancelled here after the first steps, leaving nothing).
  host.answers = {Answer::Yes};
  host.cancelAfterProgressCalls = 1;
  out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Cancelled);
  EXPECT_EQ(Contents(dir.path()), earlier);
}

// A run killed (kill -9) right before or right after each of its renames:
// every file is the earlier one or the new one, whole; the next run leaves
// no temporary behind.
TEST(RunFiles, KilledAtEachRename) {
  const TempFolder refDir;
  const auto fresh = Reference(WithTable(refDir));
  ASSERT_EQ(fresh.size(), 3u);
  for (int renameIndex = 0; renameIndex < 3; ++renameIndex) {
    for (bool after : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "rename " << renameIndex << (after ? " after" : " before"));
      TempFolder dir;
      const auto earlier = PlantEarlierSet(dir);
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        FaultyFiles faults;
        int seen = 0;
        faults.onRename = [&](const std::string&, bool isAfter) {
          if (isAfter == after && seen++ == renameIndex) ::kill(::getpid(), SIGKILL);
        };
        ScriptedHost host;
        FixedPicture picture;
        host.drawing = &picture;
        RunOptimisation(WithTable(dir), host);
        ::_exit(0);
      }
      int status = 0;
      ::waitpid(child, &status, 0);
      ASSERT_TRUE(WIFSIGNALED(status));
      for (const auto& [name, bytes] : Contents(dir.path())) {
        if (name[0] == '.') continue;  // the killed run's temporaries
        EXPECT_TRUE(bytes == earlier.at(name) || bytes == fresh.at(name)) << name;
      }
      // The next run clears what the killed one left.
      ScriptedHost host;
      FixedPicture picture;
      host.drawing = &picture;
      ASSERT_EQ(RunOptimisation(WithTable(dir), host).outcome, RunOutcome::Completed);
      EXPECT_EQ(Contents(dir.path()), fresh);
    }
  }
}

// A real small disk that fills up (needs the right to mount a tmpfs).
TEST(RunFiles, FullSmallDisk) {
  TempFolder dir;
  if (::mount("tmpfs", dir.str().c_str(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "no tmpfs can be mounted here: " << std::strerror(errno);
  struct Unmount {
    std::string at;
    ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
  } unmount{dir.str()};
  const auto earlier = PlantEarlierSet(dir);
  // Fill the disk so that the special table (weighed at 551 KB) and the
  // report still fit, but the picture behind them does not.
  const std::uint64_t free = files::FreeBytes(dir.str()).value_or(0);
  ASSERT_GT(free, 560000u);
  WriteBytes(dir.file("filler"), std::string(free - 560000, 'f'));
  const auto before = Contents(dir.path());
  ScriptedHost host;
  FixedPicture picture;
  host.drawing = &picture;
  const RunOutput out = RunOptimisation(WithTable(dir), host);
  EXPECT_EQ(out.outcome, RunOutcome::Aborted);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].text.substr(0, host.errors[0].text.find("\r\n")), "Datenträger voll");
  EXPECT_EQ(Contents(dir.path()), before);
  EXPECT_EQ(before.at("AntStrSu.txt"), earlier.at("AntStrSu.txt"));
}

}  // namespace
}  // namespace lorvant
