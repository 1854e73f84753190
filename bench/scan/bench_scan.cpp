// The feed-point scan of 1 000 000 rows (0 to 10 km of a 20 km wire in
// 1 cm steps, the 3.5, 7 and 14 MHz bands).
//
// BM_ScanStreamed: the rows as the batch tool prints them, in pieces of
// 64 KiB to /dev/null.
// BM_ScanWindow: the scan mode of the feed-point window, whose result box
// takes the rows in pieces while the scan goes on and keeps at most
// 100 000 of them; the progress display is asked (and Cancel looked at)
// between pieces.
//
// Counters:
//   rows            rows made (the window stops at its box's limit)
//   rss_peak_MiB    peak resident memory of the whole process (getrusage)
//   max_gap_ms      the longest time between two looks at Cancel (window)
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/MDIForm1.h"
#include "session/feedpoint.h"
#include "shell/Module1.h"
#include "tests/support/ScriptedSeam.h"
#include "windows/feedpoint/frmSpeisePkt.h"
#include "windows/main/frmHauptform.h"

namespace lorvant {
namespace {

double PeakRssMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

MainFormValues View() {
  MainFormValues v;
  v.shorteningFactor = "0,95";
  v.bands.fill(BandState::Off);
  v.bands[1] = v.bands[3] = v.bands[5] = BandState::Counted;
  v.run.length = 20000;
  return v;
}

void BM_ScanStreamed(benchmark::State& state) {
  feedpoint::WindowTexts window{"", "", "", "", "0", "9999,99", "0,01"};
  const feedpoint::ScanSetup setup = feedpoint::PrepareScan(window, View(), ',');
  std::FILE* sink = std::fopen("/dev/null", "w");
  std::size_t rows = 0;
  for (auto _ : state) {
    std::string pending;
    const feedpoint::ScanOutcome out = feedpoint::StreamScan(setup, ',', [&](std::string_view row) {
      pending += row;
      if (pending.size() >= (1u << 16)) {
        std::fwrite(pending.data(), 1, pending.size(), sink);
        pending.clear();
      }
      return true;
    });
    std::fwrite(pending.data(), 1, pending.size(), sink);
    rows = out.rowCount;
  }
  std::fclose(sink);
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["rss_peak_MiB"] = PeakRssMiB();
}
BENCHMARK(BM_ScanStreamed)->Unit(benchmark::kMillisecond)->Iterations(3);

// Progress that keeps the longest time between two updates.
class TimingSeam : public test::ScriptedSeam {
 public:
  qint64 maxGapMs = 0;
  std::unique_ptr<ProgressHandle> startProgress(QWidget*, const QString&) override {
    return std::make_unique<Timed>(*this);
  }

 private:
  struct Timed : ProgressHandle {
    explicit Timed(TimingSeam& s) : seam(s) { clock.start(); }
    bool update(double) override {
      seam.maxGapMs = std::max(seam.maxGapMs, clock.restart());
      QApplication::processEvents();
      return true;
    }
    TimingSeam& seam;
    QElapsedTimer clock;
  };
};

void BM_ScanWindow(benchmark::State& state) {
  TimingSeam seam;
  setSeam(&seam);
  Module1::resetState();
  Module1::setDecimalSeparator(',');
  MDIForm1 main;
  main.show();
  frmHauptform* form = main.mainForm();
  form->Text4->setText("0,95");
  for (int i = 0; i < kBandCount; ++i)
    form->setBandValue(i, i == 1 || i == 3 || i == 5 ? BandState::Counted : BandState::Off);
  Module1::state().antennaLength = 20000;
  frmSpeisePkt* w = frmSpeisePkt::openScan();
  w->Text1->setText("0");
  w->Text2->setText("9999,99");
  w->Text3->setText("0,01");
  std::size_t rows = 0;
  for (auto _ : state) {
    w->cmdRechnen_Click();
    rows = static_cast<std::size_t>(w->txtAuswertung->blockCount());
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["rss_peak_MiB"] = PeakRssMiB();
  state.counters["max_gap_ms"] = static_cast<double>(seam.maxGapMs);
  setSeam(nullptr);
}
BENCHMARK(BM_ScanWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace lorvant
