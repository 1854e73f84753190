#include "session/messages.h"

#include <cerrno>
#include <cstring>

#include "text/bilingual.h"

namespace lorvant::files {

namespace {
const char kCrLf[] = "\r\n";
}

std::string FileErrorCause(Language lang, int error) {
  switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return tr(lang, "Datenträger voll", "Disk full");
    case EFBIG:
      return tr(lang, "Datei zu groß (Grenze der Dateigröße erreicht)", "File too large (file size limit reached)");
    case ELOOP:
      return tr(lang, "Eine Verknüpfung trägt diesen Namen", "A link has this name");
    case kNotRegularFile:
      return tr(lang, "Keine gewöhnliche Datei", "Not a regular file");
    case EACCES:
    case EPERM:
      return tr(lang, "Zugriff verweigert", "Access denied");
    case EROFS:
      return tr(lang, "Zugriff verweigert (schreibgeschützter Datenträger)", "Access denied (read-only disk)");
    case ENOENT:
    case ENOTDIR:
      return tr(lang, "Pfad nicht gefunden", "Path not found");
    case ENAMETOOLONG:
      return tr(lang, "Name zu lang", "Name too long");
    case EISDIR:
      return tr(lang, "Ein Ordner trägt diesen Namen", "A folder has this name");
    case EIO:
      return tr(lang, "Fehler beim Lesen/Schreiben des Geräts", "Device I/O error");
    case EMFILE:
    case ENFILE:
      return tr(lang, "Zu viele Dateien geöffnet", "Too many files open");
    default:
      return std::string(tr(lang, "Fehler beim Zugriff auf Pfad/Datei", "Path/File access error")) + " (" +
             std::string(std::strerror(error)) + ")";
  }
}

std::string FileErrorText(Language lang, int error, const std::string& path) {
  return FileErrorCause(lang, error) + kCrLf + path;
}

}  // namespace lorvant::files

namespace lorvant::nec {

std::string EngineMissingText(Language lang, const std::string& deckPath) {
  std::string text = tr(lang, "nec2c wurde nicht gefunden. Bitte installieren: apt install nec2c",
                        "nec2c was not found. Please install it: apt install nec2c");
  if (!deckPath.empty())
    text += tr(lang, " (das NEC-2-Deck liegt in ", " (the NEC-2 deck has been written to ") + deckPath + ")";
  return text;
}

std::string EngineFailedText(Language lang, const std::string& message) {
  return tr(lang, "nec2c ist mit einem Fehler beendet worden: ", "nec2c ended with an error: ") + message;
}

std::string EngineNotStartedText(Language lang, const std::string& program, int error) {
  std::string why;
  const std::string interpreter = error == ENOENT ? ScriptInterpreter(program) : std::string();
  if (!interpreter.empty())
    why = tr(lang, "sein Interpreter ", "its interpreter ") + CleanMessage(interpreter) +
          tr(lang, " fehlt", " is missing");
  else if (error == ENOEXEC)
    why = tr(lang, "kein ausführbares Programm", "not an executable program");
  else
    why = files::FileErrorCause(lang, error);
  return tr(lang, "nec2c konnte nicht gestartet werden (", "nec2c could not be started (") + CleanMessage(program) +
         "): " + why;
}

std::string EngineTimedOutText(Language lang, int seconds) {
  return tr(lang, "nec2c hat ", "nec2c solved no new frequency for ") + std::to_string(seconds) +
         tr(lang, " s lang keine neue Frequenz gelöst und wurde angehalten.", " s and was stopped.");
}

std::string EngineTroubleText(Language lang, const EngineResult& r, const std::string& deckPath) {
  using Status = EngineResult::Status;
  switch (r.status) {
    case Status::Missing:
      return EngineMissingText(lang, deckPath);
    case Status::NotStarted:
      return EngineNotStartedText(lang, r.program, r.startError);
    case Status::TimedOut:
      return EngineTimedOutText(lang, r.timeout);
    case Status::Cancelled:
      return tr(lang, "NEC-2-Prüfung abgebrochen", "NEC-2 check stopped");
    case Status::Completed:
      return {};
    case Status::Failed:
      break;
  }
  return EngineFailedText(lang, r.message);
}

}  // namespace lorvant::nec
