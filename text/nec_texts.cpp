#include "text/nec_texts.h"

#include "text/bilingual.h"
#include "text/format.h"

namespace lorvant::nec {

std::string GroundName(Ground g, Language lang) {
  switch (g) {
    case Ground::FreeSpace:
      return tr(lang, "Freiraum (ohne Boden)", "free space (no ground)");
    case Ground::Perfect:
      return tr(lang, "idealer Boden", "perfect ground");
    case Ground::Poor:
      return tr(lang, "schlechter Boden", "poor ground");
    case Ground::Average:
      return tr(lang, "mittlerer Boden", "average ground");
    case Ground::Good:
      return tr(lang, "guter Boden", "good ground");
  }
  return tr(lang, "Freiraum (ohne Boden)", "free space (no ground)");
}

std::string BalunText(double ratio, char sep) { return report::FormatGeneral(ratio, sep) + ":1"; }

std::string ModelErrorText(const ModelError& e, Language lang, char sep) {
  using Kind = ModelError::Kind;
  const auto num = [sep](double v) { return report::FormatGeneral(v, sep); };
  switch (e.kind()) {
    case Kind::BadLength:
      return tr(lang, "NEC-2-Prüfung: Die Antennenlänge muss größer als 0 sein.",
                "NEC-2 check: the antenna length must be above 0.");
    case Kind::FeedOutside:
      return tr(lang, "NEC-2-Prüfung: Der Speisepunkt ", "NEC-2 check: the feed point ") + num(e.value()) +
             tr(lang, " m liegt nicht auf dem Draht.", " m does not lie on the wire.");
    case Kind::BadDiameter:
      return tr(lang, "NEC-2-Prüfung: Der Leiterdurchmesser muss größer als 0 sein.",
                "NEC-2 check: the conductor diameter must be above 0.");
    case Kind::BadHeight:
      return tr(lang, "NEC-2-Prüfung: Die Höhe über Grund muss größer als der Drahtradius sein.",
                "NEC-2 check: the height above ground must exceed the wire's radius.");
    case Kind::BadFrequency:
      return tr(lang, "NEC-2-Prüfung: Keine Frequenz zu prüfen.", "NEC-2 check: no frequency to check.");
    case Kind::WireTooThick:
      return tr(lang, "NEC-2-Prüfung: Der Draht ist für NEC-2 bei ",
                "NEC-2 check: the wire is too thick for NEC-2 at ") +
             num(e.value()) +
             tr(lang, " MHz zu dick (Segmente kürzer als 8 Drahtradien).",
                " MHz (segments shorter than 8 wire radii).");
    case Kind::FeedNearEnd:
      return tr(lang, "NEC-2-Prüfung: Der Speisepunkt ", "NEC-2 check: the feed point ") + num(e.value()) +
             tr(lang, " m liegt zu nah am Drahtende.", " m lies too close to the end of the wire.");
    case Kind::TooManySegments:
      return tr(lang, "NEC-2-Prüfung: Das Modell bräuchte ", "NEC-2 check: the model would need ") + num(e.value()) +
             tr(lang, " Segmente (höchstens ", " segments (at most ") + std::to_string(kMaxSegments) +
             tr(lang, "); Speisepunkt zu nah am Drahtende oder Draht zu lang.",
                "); the feed point lies too close to an end or the wire is too long.");
  }
  return {};
}

}  // namespace lorvant::nec
