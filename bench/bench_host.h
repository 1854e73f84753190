// The batch tool's answers for the benchmarks' runs: No to every question,
// Abort to a failing step, and the picture on the canvas the benchmark
// gives (none: the run draws nowhere).
#pragma once

#include "session/question.h"
#include "session/run.h"

namespace lorvant {

class BenchHost : public RunHost {
 public:
  Answer ask(const Question&) override { return Answer::No; }
  Answer errorHandler(const Question&) override { return Answer::Abort; }
  Canvas& canvas() override { return canvas_ ? *canvas_ : RunHost::canvas(); }
  Canvas* canvas_ = nullptr;
};

}  // namespace lorvant
