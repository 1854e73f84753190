// The calculator's NEC-2 step with a fake engine whose reactance crosses
// zero at 14 MHz: its answer to the Vk text, and the texts of each way it
// gives no Vk.
#include <gtest/gtest.h>

#include <cmath>

#include "session/calculators/vk.h"
#include "text/format.h"
#include "tools/fake_engine/FakeNecEngine.h"

using namespace lorvant;
using namespace lorvant::vk;

namespace {

NecVkStep Prepare(std::string f, std::string h = "10", std::string d = "1,4", std::string ground = "average") {
  return PrepareNecVk({{std::move(f), std::move(h), std::move(d), false}, std::move(ground)}, ',');
}

NecVkOutcome RunFake(const NecVkStep& step, test::FakeNecEngine engine = test::FakeNecEngine(), char sep = ',') {
  return RunNecVk(step, engine, {}, sep);
}

}  // namespace

TEST(VkNec, TheResonanceScalesTheClosedFormVk) {
  const NecVkStep step = Prepare("14,2");
  ASSERT_TRUE(step.ready) << step.refusal.en;
  const NecVkOutcome out = RunFake(step);
  ASSERT_TRUE(out.computed) << out.failure.en;
  EXPECT_NEAR(out.resonance, 14, 0.001);
  const float expected = step.closedForm.vk * 14 / 14.2f;
  EXPECT_EQ(out.vkText, report::FormatPicture(expected, "0.00#", ','));
}

TEST(VkNec, RefusalsAndAnswersThatGiveNoVk) {
  EXPECT_EQ(Prepare("").refusal.de, Prepare("").closedForm.reason.de) << "the calculator's own check first";
  EXPECT_EQ(Prepare("7,1", "10", "1,4", "swamp").refusal.en, "Unknown ground: swamp");
  EXPECT_EQ(Prepare("7,1", "0,05").refusal.de, "NEC-2: Der Draht muss mindestens 0,1 m hoch hängen.");
  EXPECT_EQ(Prepare("28,5", "10", "300").refusal.en,
            "NEC-2: a wire of 300 mm diameter is too thick for NEC-2 (segments shorter than 8 wire radii).");

  // At 7,1 MHz the fake stays capacitive over the whole sweep.
  EXPECT_EQ(RunFake(Prepare("7,1")).failure.de,
            "NEC-2: Zwischen 6,035 und 8,165 MHz geht der Blindwiderstand des Drahts nicht durch null: keine "
            "Resonanz.");
  const NecVkStep step = Prepare("14,2");
  test::FakeNecEngine noImpedance, failing;
  noImpedance.resistance = std::nan("");
  failing.fails = true;
  EXPECT_EQ(RunFake(step, noImpedance, '.').failure.en, "NEC-2: the engine returned no usable impedance at 12.07 MHz.");
  EXPECT_EQ(RunFake(step, failing).failure.de,
            "nec2c ist mit einem Fehler beendet worden: floating point exception (exit status 255)");
  nec::EngineResult r;
  r.status = nec::EngineResult::Status::Missing;
  EXPECT_EQ(EvaluateNecVk(step, r, '.').failure.en, "nec2c was not found. Please install it: apt install nec2c");
  r.status = nec::EngineResult::Status::Completed;
  r.output = "  NO SEGMENT HAS AN ITAG OF 7\n";
  EXPECT_EQ(EvaluateNecVk(step, r, '.').failure.en,
            "The output of nec2c is incomplete (0 of 61 frequencies): NO SEGMENT HAS AN ITAG OF 7");
  r.status = nec::EngineResult::Status::Cancelled;
  EXPECT_TRUE(EvaluateNecVk(step, r, '.').cancelled && EvaluateNecVk(step, r, '.').failure.empty());
}
