// The band boxes as the main form shows them, written as digits: 0 off,
// 1 counted, 2 grey (the value of each box).
#pragma once

#include <array>

#include "engine/bands.h"

inline lorvant::BandValues Boxes(const std::array<int, lorvant::kBandCount>& digits) {
  lorvant::BandValues bands{};
  for (std::size_t i = 0; i < digits.size(); ++i) bands[i] = lorvant::BandStateOf(digits[i]).value();
  return bands;
}
