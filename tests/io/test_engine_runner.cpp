// Running the engine: finding it, a fake nec2c that answers, fails or hangs,
// and the physics of simple wires through the real nec2c (skipped with a
// message where it is not installed).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "engine/current.h"
#include "engine/nec/deck.h"
#include "engine/nec/output.h"
#include "io/engine_runner.h"
#include "session/messages.h"
#include "tests/session/nec_support.h"

namespace lorvant {
namespace {

namespace fs = std::filesystem;
using nec::EngineResult;
using nec::Ground;
using test::TempFolder;

// A shell script standing in for nec2c (called as nec2c -i IN -o OUT).
std::string FakeEngine(const TempFolder& dir, const std::string& name, const std::string& body) {
  const fs::path p = dir.file(name);
  test::WriteBytes(p, "#!/bin/sh\n" + body + "\n");
  ::chmod(p.c_str(), 0755);
  return p.string();
}

// TMPDIR points at a folder of the test while it lives.
class TemporaryFolderOfTest {
 public:
  TemporaryFolderOfTest() {
    const char* old = std::getenv("TMPDIR");
    if (old) old_ = old;
    ::setenv("TMPDIR", folder_.path().c_str(), 1);
  }
  ~TemporaryFolderOfTest() {
    if (old_)
      ::setenv("TMPDIR", old_->c_str(), 1);
    else
      ::unsetenv("TMPDIR");
  }
  bool empty() const { return fs::is_empty(folder_.path()); }

 private:
  TempFolder folder_;
  std::optional<std::string> old_;
};

TEST(NecEngine, FindsTheProgramOnThePath) {
  TempFolder a, b;
  test::WriteBytes(a.file("nec2c"), "not executable");
  const std::string found = FakeEngine(b, "nec2c", "exit 0");
  EXPECT_EQ(nec::FindOnPath("nec2c", a.path().string() + ":" + b.path().string()), found);
  EXPECT_EQ(nec::FindOnPath("nec2c", a.path().string()), "");
  EXPECT_EQ(nec::FindOnPath("nec2c", ""), "") << "an empty PATH is the current folder only";
  EXPECT_EQ(nec::FindOnPath(found, ""), found) << "a name with a slash is taken as it stands";
}

TEST(NecEngine, FakeEngineAnswersFailsAndIsCancelled) {
  TempFolder dir;
  const TemporaryFolderOfTest tmp;
  const std::string deck = test::DataFile("nec/ocf_7_14.nec");
  const std::string captured = std::string(LORVANT_TEST_DATA) + "/nec/ocf_7_14.out";

  // Answers: copies the captured output; keeps what it was given. One
  // process, so that it is given the whole deck.
  const std::string seen = dir.file("seen.nec").string();
  nec::Nec2cEngine answering(FakeEngine(dir, "answering",
                                        "[ \"$1\" = -i ] && [ \"$3\" = -o ] || exit 7\n/bin/cp \"$2\" '" + seen +
                                            "'\n/bin/cp '" + captured + "' \"$4\""),
                             nec::kDefaultEngineTimeout, 1);
  std::vector<int> progress;
  EngineResult r = answering.run(deck, [&](int solved) {
    progress.push_back(solved);
    return true;
  });
  EXPECT_EQ(r.status, EngineResult::Status::Completed) << r.message;
  EXPECT_EQ(r.output, test::DataFile("nec/ocf_7_14.out"));
  EXPECT_EQ(test::ReadBytes(seen), deck);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), 10);
  EXPECT_TRUE(tmp.empty()) << "the private folder is gone";

  // Fails with a message on stderr, or as the last line of its output.
  nec::Nec2cEngine crashing(FakeEngine(dir, "crashing", "echo 'nec2c: floating point exception' >&2\nexit 255"));
  r = crashing.run(deck, {});
  EXPECT_EQ(r.status, EngineResult::Status::Failed);
  EXPECT_EQ(r.message, "nec2c: floating point exception (exit status 255)");
  nec::Nec2cEngine refusing(
      FakeEngine(dir, "refusing", "printf '  NO SEGMENT HAS AN ITAG OF 7\\n\\n' > \"$4\"\nexit 8"));
  r = refusing.run(deck, {});
  EXPECT_EQ(r.status, EngineResult::Status::Failed);
  EXPECT_EQ(r.message, "NO SEGMENT HAS AN ITAG OF 7 (exit status 8)");

  // Hangs: stopped at the third look, at once, and cleaned up.
  nec::Nec2cEngine hanging(FakeEngine(dir, "hanging", "exec /bin/sleep 30"));
  int looks = 0;
  const auto start = std::chrono::steady_clock::now();
  r = hanging.run(deck, [&](int) { return ++looks < 3; });
  EXPECT_EQ(r.status, EngineResult::Status::Cancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(tmp.empty());

  // Missing: not there at all, or not on the PATH.
  EXPECT_EQ(nec::Nec2cEngine(dir.file("absent").string()).run(deck, {}).status, EngineResult::Status::Missing);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", dir.path().c_str(), 1);
  EXPECT_EQ(nec::FindEngine(), "");
  EXPECT_EQ(nec::Nec2cEngine().run(deck, {}).status, EngineResult::Status::Missing);
  ::setenv("PATH", oldPath.c_str(), 1);

  EXPECT_EQ(nec::EngineMissingText(Language::German, "/x/Lorvant.nec"),
            "nec2c wurde nicht gefunden. Bitte installieren: apt install nec2c (das NEC-2-Deck liegt in "
            "/x/Lorvant.nec)");
  EXPECT_EQ(nec::EngineMissingText(Language::English, ""), "nec2c was not found. Please install it: apt install nec2c");
}

TEST(NecEngine, DeckOfSeveralStructuresIsCutIntoBalancedParts) {
  // 7, 14 and 21 MHz with 15, 21 and 31 segments: the 21 MHz structure
  // costs more than the two others together.
  const std::string deck = test::DataFile("nec/wire_7_14_21.nec");
  EXPECT_EQ(nec::SplitDeck(deck, 1), std::vector<std::string>{deck}) << "one part is the deck as it was";
  const std::vector<std::string> two = nec::SplitDeck(deck, 2);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_NE(two[0].find("GW 1 15 "), std::string::npos);
  EXPECT_NE(two[0].find("\nNX\nCM the same wire for 14 MHz\n"), std::string::npos);
  EXPECT_EQ(two[1].rfind("CM the same wire for 21 MHz\nCE\nGW 1 31 ", 0), 0u) << two[1];
  for (const std::string& part : two) EXPECT_EQ(part.substr(part.size() - 3), "EN\n");
  EXPECT_EQ(nec::SplitDeck(deck, 9).size(), 3u) << "no part without a structure";

  // The dear structure first: cut after it.
  const std::string dearFirst =
      "GW 1 31 0 0 10 20 0 10 0.001\nFR 0 3 0 0 21 0.225\nXQ\nNX\n"
      "GW 1 15 0 0 10 20 0 10 0.001\nFR 0 2 0 0 7 0.2\nXQ\nNX\n"
      "GW 1 21 0 0 10 20 0 10 0.001\nFR 0 3 0 0 14 0.175\nXQ\nEN\n";
  const std::vector<std::string> cut = nec::SplitDeck(dearFirst, 2);
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[0], "GW 1 31 0 0 10 20 0 10 0.001\nFR 0 3 0 0 21 0.225\nXQ\nEN\n");

  // Over a Sommerfeld-Norton ground the ground's table of each frequency
  // outweighs a small structure's matrix: 60 frequencies of 11 segments cost
  // nec2c more than 10 of 155 (1.16 s and 0.42 s of CPU here; 0.87 s for 10 of 271).
  const auto overGround = [](int segments, int frequencies) {
    return "GW 1 " + std::to_string(segments) + " 0 0 10 39.04 0 10 0.0007\nGE 1\nGN 2 0 0 0 13 0.005\nFR 0 " +
           std::to_string(frequencies) + " 0 0 1.81 0.01\nXQ\n";
  };
  const std::vector<std::string> ground =
      nec::SplitDeck(overGround(11, 60) + "NX\n" + overGround(155, 10) + "NX\n" + overGround(271, 10) + "EN\n", 2);
  ASSERT_EQ(ground.size(), 2u);
  EXPECT_EQ(ground[0], overGround(11, 60) + "EN\n");

  const std::string single = overGround(155, 10) + "EN\n";
  EXPECT_EQ(nec::SplitDeck(single, 4), std::vector<std::string>{single}) << "a deck of one structure stays whole";
  EXPECT_GE(nec::EngineProcesses(), 1);
  EXPECT_LE(nec::EngineProcesses(), nec::kMaxEngineProcesses);
}

TEST(NecEngine, PartsRunTogetherAndFailTogether) {
  TempFolder dir;
  const TemporaryFolderOfTest tmp;
  const std::string deck = test::DataFile("nec/wire_7_14_21.nec");
  const std::string captured = std::string(LORVANT_TEST_DATA) + "/nec/ocf_7_14.out";

  // Each part answers with the frequencies of the captured output: the
  // progress counts both parts, the outputs follow each other.
  nec::Nec2cEngine answering(FakeEngine(dir, "answering", "/bin/cp '" + captured + "' \"$4\""), 10, 2);
  int last = 0;
  EngineResult r = answering.run(deck, [&](int solved) {
    last = solved;
    return true;
  });
  EXPECT_EQ(r.status, EngineResult::Status::Completed) << r.message;
  EXPECT_EQ(last, 2 * nec::SolvedCount(test::DataFile("nec/ocf_7_14.out")));
  EXPECT_EQ(r.output, test::DataFile("nec/ocf_7_14.out") + test::DataFile("nec/ocf_7_14.out"));
  EXPECT_TRUE(tmp.empty());

  // The part with the 21 MHz structure fails at once; the other one, which
  // would sleep, is stopped and its part's failure reported.
  nec::Nec2cEngine failing(
      FakeEngine(dir, "failing",
                 "if /bin/grep -q 'GW 1 31' \"$2\"; then echo 'nec2c: no 21 MHz' >&2; exit 3; fi\nexec /bin/sleep 30"),
      10, 2);
  const auto start = std::chrono::steady_clock::now();
  r = failing.run(deck, {});
  EXPECT_EQ(r.status, EngineResult::Status::Failed);
  EXPECT_EQ(r.message, "nec2c: no 21 MHz (exit status 3)");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(tmp.empty());

  // Both sleep: cancelled at the third look, both stopped.
  nec::Nec2cEngine sleeping(FakeEngine(dir, "sleeping", "exec /bin/sleep 30"), 10, 2);
  int looks = 0;
  r = sleeping.run(deck, [&](int) { return ++looks < 3; });
  EXPECT_EQ(r.status, EngineResult::Status::Cancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(tmp.empty());
}

TEST(NecEngine, MessagesAreCleanedAndCut) {
  EXPECT_EQ(nec::CleanMessage("\x1b[31mred\x1b[0m\x01\x7f\tend\x1b]0;title\x07!"), "red end!");
  EXPECT_EQ(nec::CleanMessage("Größe \xff\xc3 \xc2\x85ok"), "Größe  ok") << "umlauts stay, broken UTF-8 and C1 go";
  EXPECT_EQ(nec::CleanMessage(std::string(400, 'y')), std::string(300, 'y') + "...");
  EXPECT_EQ(nec::CleanMessage(std::string(299, 'y') + "ü"), std::string(299, 'y') + "ü") << "characters, not bytes";
}

TEST(NecEngine, PrivateFoldersOfEndedProcessesGoWithTheNextOne) {
  const TempFolder base;
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ::waitpid(ended, nullptr, 0);
  const auto folder = [&](const std::string& name) {
    fs::create_directory(base.file(name));
    test::WriteBytes(base.file(name) / "Lorvant.out", "x");
    return base.file(name);
  };
  const std::string mine = std::to_string(::getpid()), parent = std::to_string(::getppid());
  const fs::path dead = folder("lorvant-nec-" + std::to_string(ended) + "-a1b2c3");
  const fs::path own = folder("lorvant-nec-" + mine + "-a1b2c3");
  const fs::path living = folder("lorvant-nec-" + parent + "-a1b2c3");
  const fs::path reused = folder("lorvant-nec-" + parent + "-d4e5f6");
  const fs::path other = folder("lorvant-nec-" + std::to_string(ended) + "-toolong");
  fs::last_write_time(reused, fs::file_time_type::clock::now() - std::chrono::hours(25));
  fs::create_directory_symlink(own, base.file("lorvant-nec-" + std::to_string(ended) + "-linked"));

  EXPECT_EQ(nec::RemoveStalePrivateFolders(base.path().string()), 2u);
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_FALSE(fs::exists(reused)) << "a day old: the process id was reused";
  for (const fs::path& kept : {own, living, other}) EXPECT_TRUE(fs::exists(kept / "Lorvant.out")) << kept;
  EXPECT_TRUE(fs::is_symlink(base.file("lorvant-nec-" + std::to_string(ended) + "-linked")));

  // A new private folder clears the ended process's folders itself.
  const TemporaryFolderOfTest tmp;
  const std::string tmpBase = std::getenv("TMPDIR");
  fs::create_directory(tmpBase + "/lorvant-nec-" + std::to_string(ended) + "-a1b2c3");
  const nec::PrivateFolder made;
  ASSERT_TRUE(made.ok());
  EXPECT_EQ(made.path().rfind(tmpBase + "/lorvant-nec-" + mine + "-", 0), 0u) << made.path();
  EXPECT_EQ(std::distance(fs::directory_iterator(tmpBase), fs::directory_iterator()), 1);
}

// ---- physics through the real engine --------------------------------------------

// Impedances of a straight wire `height` m up, fed at `feed`, at the
// frequencies, solved by nec2c.
std::vector<std::complex<double>> Solve(double length, double feed, double height, Ground g,
                                        const std::vector<double>& mhz) {
  nec::FrequencyPlan plan;
  for (double f : mhz) plan.steps.push_back({0, f, 0, 1});
  const nec::Model m = nec::MakeModel(length, feed, {height, height, std::nullopt, 180}, 1.4, {}, plan, g);
  const EngineResult r = nec::Nec2cEngine().run(nec::WriteDeck(m, g, plan), {});
  EXPECT_EQ(r.status, EngineResult::Status::Completed) << r.message;
  std::vector<std::complex<double>> z;
  for (const nec::InputParameters& p : nec::ParseInputParameters(r.output)) {
    EXPECT_EQ(p.tag, m.structures.at(0).sourceTag);
    EXPECT_EQ(p.segment, m.structures.at(0).sourceNumber());
    z.push_back(p.impedance);
  }
  EXPECT_EQ(z.size(), mhz.size());
  return z;
}

#define SKIP_WITHOUT_NEC2C() \
  if (nec::FindEngine().empty()) GTEST_SKIP() << "nec2c is not installed (apt install nec2c)"

// Lorvant's length for one half-wave at f MHz with Vk 0.95: (1 - 0.05) * 150 / f.
float HalfWave(float f) {
  float n = 1, f0 = f;
  LengthContext ctx;
  ctx.segment = Segment::Centre;
  return AntennenLaenge(n, 0.95f, 0, f0, ctx);
}

TEST(NecPhysics, HalfWaveDipoleInFreeSpaceAndOverPerfectGround) {
  SKIP_WITHOUT_NEC2C();
  const double length = nec::TypedDecimal(HalfWave(14.2f));
  EXPECT_NEAR(length, 10.035, 0.001);
  const auto dipole = [&](double h, Ground g) { return Solve(length, length / 2, h, g, {14.2}).at(0); };
  const std::complex<double> free = dipole(10, Ground::FreeSpace);
  EXPECT_GE(free.real(), 55);
  EXPECT_LE(free.real(), 85);
  EXPECT_LE(std::abs(free.imag()), 60);

  // A horizontal dipole and its image: the mutual resistance pulls R far
  // down at 0.1 wavelength, up at 0.25 and down again at 0.5.
  const double lambda = nec::kSpeedOfLight / 14.2;
  const double low = dipole(0.1 * lambda, Ground::Perfect).real();
  const double quarter = dipole(0.25 * lambda, Ground::Perfect).real();
  const double half = dipole(0.5 * lambda, Ground::Perfect).real();
  EXPECT_LT(low, 0.5 * free.real());
  EXPECT_GT(quarter, free.real());
  EXPECT_LT(half, free.real());
  EXPECT_GT(half, low);
}

TEST(NecPhysics, WireFedAtOneThird) {
  SKIP_WITHOUT_NEC2C();
  // One half-wave at 7.1 MHz fed at a third of its length, in free space:
  // the fundamental sees about 90 ohms; the second and fourth harmonics see
  // more (the feed point lies 30 degrees off their current maxima), the
  // third puts a current node on the feed point.
  const double length = nec::TypedDecimal(HalfWave(7.1f));
  const std::vector<std::complex<double>> z = Solve(length, length / 3, 10, Ground::FreeSpace, {7.1, 14.2, 21.3, 28.4});
  ASSERT_EQ(z.size(), 4u);
  EXPECT_GT(z[0].real(), 60);
  EXPECT_LT(z[0].real(), 130);
  for (int harmonic : {1, 3}) {
    SCOPED_TRACE(harmonic + 1);
    EXPECT_GT(z[harmonic].real(), 1.2 * z[0].real());
    EXPECT_LT(z[harmonic].real(), 400);
  }
  EXPECT_GT(z[2].real(), 1000);
}

TEST(NecPhysics, ParallelPartsGiveWhatOneRunGives) {
  SKIP_WITHOUT_NEC2C();
  const std::string deck = test::DataFile("nec/wire_7_14_21.nec");
  const EngineResult one = nec::Nec2cEngine({}, nec::kDefaultEngineTimeout, 1).run(deck, {});
  int solved = 0;
  const EngineResult parts = nec::Nec2cEngine({}, nec::kDefaultEngineTimeout, 3).run(deck, [&](int s) {
    solved = s;
    return true;
  });
  ASSERT_EQ(one.status, EngineResult::Status::Completed) << one.message;
  ASSERT_EQ(parts.status, EngineResult::Status::Completed) << parts.message;
  const std::vector<nec::InputParameters> a = nec::ParseInputParameters(one.output);
  const std::vector<nec::InputParameters> b = nec::ParseInputParameters(parts.output);
  ASSERT_EQ(a.size(), 8u);
  ASSERT_EQ(b.size(), a.size());
  EXPECT_EQ(solved, 8);
  for (std::size_t i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(a[i].frequency);
    EXPECT_EQ(b[i].frequency, a[i].frequency);
    EXPECT_EQ(b[i].segment, a[i].segment);
    EXPECT_EQ(b[i].impedance, a[i].impedance);
  }
  // Each structure kept its own segmentation: the sources of 7, 14 and 21 MHz.
  EXPECT_EQ(b.front().segment, 8);
  EXPECT_EQ(b.back().segment, 16);
  EXPECT_DOUBLE_EQ(b.back().frequency, 21.45);
}

}  // namespace
}  // namespace lorvant
