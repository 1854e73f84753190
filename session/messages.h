// What a failed file operation or a failed engine run means, in the user's
// words and language.
#pragma once

#include <string>

#include "engine/common.h"
#include "io/engine_runner.h"
#include "io/staged_files.h"

namespace lorvant::files {

// What happened, in the user's words (disk full, access denied, path not
// found, name too long, ...), a line break (CR LF) and the path.
std::string FileErrorText(Language lang, int error, const std::string& path);
// The cause alone ("Datenträger voll" / "Disk full", ...).
std::string FileErrorCause(Language lang, int error);
// Another calculation holds the results folder's lock.
std::string FolderBusyText(Language lang, const std::string& folder);

}  // namespace lorvant::files

namespace lorvant::nec {

// "nec2c wurde nicht gefunden ... apt install nec2c ..." naming the deck
// that was written all the same (`deckPath` empty: none).
std::string EngineMissingText(Language lang, const std::string& deckPath);
// "nec2c ist mit einem Fehler beendet worden: <message>".
std::string EngineFailedText(Language lang, const std::string& message);
// "nec2c konnte nicht gestartet werden: ..." with the reason (a script whose
// interpreter is missing names the interpreter).
std::string EngineNotStartedText(Language lang, const std::string& program, int error);
// "nec2c hat N s lang keine neue Frequenz gelöst und wurde angehalten."
std::string EngineTimedOutText(Language lang, int seconds);
// The message of any result but Completed and Cancelled.
std::string EngineTroubleText(Language lang, const EngineResult& r, const std::string& deckPath);

}  // namespace lorvant::nec
