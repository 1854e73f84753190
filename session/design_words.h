// The words a design file writes for choices, and their look-up both ways.
// They are the file format's own words, the same in every language; only
// the design files use them.
#pragma once

#include <cstddef>
#include <string_view>

namespace lorvant::design {

// By index of session/mainform.h's MaterialList.
inline constexpr const char* kMaterialWords[] = {
    "none",     "vacuum",   "air",     "paper",       "oil",       "rubber",     "wood",      "fep",   "ptfe",
    "ptfe-gy",  "pe",       "ptfe-gx", "polystyrene", "silicone",  "plexiglass", "polyamide", "pvc",   "fr4",
    "cevausit", "pertinax", "igelit",  "vinidur",     "porcelain", "glass",      "ptfe-3006", "calit", "mica"};
inline constexpr const char* kBandWords[] = {"off", "counted", "grey"};
inline constexpr const char* kBandKeys[] = {"band-1.8", "band-3.5", "band-5.3", "band-7",  "band-10", "band-14",
                                            "band-18",  "band-21",  "band-24",  "band-28", "band-50"};
inline constexpr const char* kSegmentWords[] = {"cw", "ssb", "centre"};
inline constexpr const char* kLengthModeWords[] = {"preferred", "highest-lowest", "all"};
inline constexpr const char* kFeedModeWords[] = {"maximum-sum", "equal-impedances"};
inline constexpr const char* kDipoleWords[] = {"dipole", "windom"};
inline constexpr const char* kYesNo[] = {"no", "yes"};
// The NEC-2 check's hanging by index of its Shape, its conductor by index of
// its Material (the batch tool's words) and its region by number.
inline constexpr const char* kShapeWords[] = {"flat", "sloper", "inverted-v"};
inline constexpr const char* kConductorWords[] = {"copper", "aluminium", "lossless"};
inline constexpr const char* kRegionWords[] = {"1", "2", "3"};

// The word's index in words; -1 when it is none of them.
template <std::size_t N>
int IndexOf(const char* const (&words)[N], std::string_view word) {
  for (std::size_t i = 0; i < N; ++i)
    if (word == words[i]) return static_cast<int>(i);
  return -1;
}

// The word at i; nullptr outside the list.
template <std::size_t N>
const char* WordAt(const char* const (&words)[N], int i) {
  return i >= 0 && static_cast<std::size_t>(i) < N ? words[i] : nullptr;
}

}  // namespace lorvant::design
