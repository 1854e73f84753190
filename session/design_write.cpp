// Writing a design file: the header, then every key of the table whose
// section the design has.
#include <optional>
#include <string>

#include "io/staged_files.h"
#include "session/design.h"
#include "session/design_fields.h"

namespace lorvant::design {

namespace {

std::string Header() {
  std::string out = "; Lorvant design: numbers with the decimal point, choices as words.\n";
  out += "[design]\nformat = " + std::string(kFormat) + "\nversion = " + std::to_string(kVersion) + "\n";
  return out;
}

bool Written(const Design& d, const Key& k) {
  if (!SectionPresent(d, k.section)) return false;
  return k.section != Section::FeedPoint || FeedKeyPresent(d, k);
}

}  // namespace

std::string Serialise(const Design& d) {
  std::string out = Header();
  std::optional<Section> open;
  for (const Key& k : Keys()) {
    if (!Written(d, k)) continue;
    if (open != k.section) {
      out += "\n[" + std::string(kSectionNames[static_cast<int>(k.section)]) + "]\n";
      open = k.section;
    }
    const std::string v = k.get(d);
    out += std::string(k.name) + " =" + (v.empty() ? "" : " " + v) + "\n";
  }
  return out;
}

void WriteFile(const std::string& path, const Design& d) { files::WriteFileAtomically(path, Serialise(d)); }

}  // namespace lorvant::design
