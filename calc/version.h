// Version and legal notice of the build; the notice closes every report.
#pragma once

namespace lorvant {
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 4;
inline constexpr const char* kProgramTitle = "Lorvant";
inline constexpr const char* kLegalNotice = "(c) Lorvant developers, free for amateur radio use";
}  // namespace lorvant
