// What the NEC-2 model's values are called where a person reads them: the
// ground's name, a balun's ratio, and why no model could be made.
#pragma once

#include <string>

#include "engine/nec/model.h"

namespace lorvant::nec {

// "mittlerer Boden" / "average ground", "Freiraum (ohne Boden)" / "free space (no ground)", ...
std::string GroundName(Ground g, Language lang);
// "4:1", "2,25:1".
std::string BalunText(double ratio, char sep);
// Why no model could be made; a hanging that cannot be made names its value.
std::string ModelErrorText(const ModelError& e, Language lang, char sep);
// "NEC-2 check: the apex at 25 m does not lie between the wire's ends."
std::string HangErrorText(const HangError& e, Language lang, char sep);

}  // namespace lorvant::nec
