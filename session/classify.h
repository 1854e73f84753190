// The run's first questions about the preferred frequency: whether it is a
// band of its own, and whether the suggested segment replaces the chosen one.
#pragma once

#include "engine/bands.h"
#include "session/question.h"

namespace lorvant {

Question ExtraBandQuestion(Language lang);
Question SegmentQuestion(Language lang);

// Classification of the preferred frequency as the run does it: the
// suggestion, the additional-band question (when outside all bands) and the
// segment question (when the chosen segment differs from the suggestion).
struct Classification {
  bool extraBand = false;  // Yes to the additional-band question
  float extraFrequency = 0;
  Segment segment = Segment::Centre;  // segment to use (changed on Yes)
  bool segmentChanged = false;        // Yes to the segment question
  bool cancelled = false;             // Cancel to the segment question
};
Classification ClassifyPreferredFrequency(float f0, Segment chosenSegment, Language lang, Asker& asker);

}  // namespace lorvant
