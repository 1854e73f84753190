// Benchmark of the NEC-2 check in its window: the 40 m band OCF of
// bench_nec (one half-wave at 7.1 MHz, all eleven bands, five sweep points
// per band, 10 m over average ground, fed at a third of its length) run
// through nec2c from the window, while a 1 ms timer counts the
// turns of the event loop.
//
// Counters:
//   frequencies  solved by nec2c per check
//   max_gap_ms   the longest time between two turns of the event loop from
//                the click on the check button to the check's end (what a
//                user waits at worst for the window to react)
//   turns        turns of the event loop during the check
// The time per iteration is the check's wall time seen from the window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include "app/MDIForm1.h"
#include "engine/nec/frequencies.h"
#include "io/engine_runner.h"
#include "shell/Module1.h"
#include "shell/ui/Forms.h"
#include "tests/support/ScriptedSeam.h"
#include "windows/main/frmHauptform.h"
#include "windows/nec/frmNec.h"

namespace lorvant {
namespace {

void BM_NecWindow_Ocf7MHz(benchmark::State& state) {
  if (nec::FindEngine().empty()) {
    state.SkipWithError("nec2c is not installed (apt install nec2c)");
    return;
  }
  test::ScriptedSeam seam;
  setSeam(&seam);
  QTemporaryDir results;
  Module1::resetState();
  Module1::setDecimalSeparator(',');
  Module1::state().resultsFolder = results.path() + '/';
  {
    MDIForm1 main;
    main.show();
    frmHauptform* form = main.mainForm();
    form->Text1->setText("7,1");
    form->Text2->setText("1");
    form->Text4->setText("0,95");
    for (int i = 0; i < kBandCount; ++i) form->setBandValue(i, BandState::Counted);
    form->runCalculation();
    main.action("mnuBerNec")->trigger();
    frmNec* w = frmNec::loaded();
    if (!w || !(form->values().run.length > 0)) {
      state.SkipWithError("the run ended early");
      return;
    }
    w->feedPointList->setCurrentText(QString::number(form->values().run.length / 3, 'f', 2).replace('.', ','));

    qint64 maxGap = 0, turns = 0;
    for (auto _ : state) {
      QElapsedTimer clock;
      qint64 last = 0;
      QTimer tick;
      tick.setInterval(1);
      QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        maxGap = std::max(maxGap, now - last);
        last = now;
        ++turns;
      });
      QSignalSpy finished(w, &frmNec::checkFinished);
      clock.start();
      tick.start();
      w->checkButton->click();
      if (!finished.wait(600000) || !seam.messages.isEmpty()) {
        state.SkipWithError("the check did not complete");
        return;
      }
    }
    state.counters["frequencies"] = kBandCount * (1 + nec::kDefaultSweepPoints);
    state.counters["max_gap_ms"] = static_cast<double>(maxGap) / 1e6;
    state.counters["turns"] = static_cast<double>(turns) / static_cast<double>(state.iterations());
    Forms::unloadAll();
  }
  setSeam(nullptr);
}
BENCHMARK(BM_NecWindow_Ocf7MHz)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace lorvant
