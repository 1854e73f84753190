#include "session/messages.h"

#include <cerrno>
#include <cstring>

#include "text/catalogue.h"

namespace lorvant::files {

namespace {
const char kCrLf[] = "\r\n";
}

std::string FolderBusyText(Language lang, const std::string& folder) {
  return say(lang, Text::FolderBusyBefore) + folder + say(lang, Text::FolderBusyAfter);
}

std::string FileErrorCause(Language lang, int error) {
  switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return say(lang, Text::MessageDiskFull);
    case EFBIG:
      return say(lang, Text::MessageFileTooLarge);
    case ELOOP:
      return say(lang, Text::MessageLinkHasName);
    case kNotRegularFile:
      return say(lang, Text::MessageNotRegularFile);
    case EACCES:
    case EPERM:
      return say(lang, Text::MessageAccessDenied);
    case EROFS:
      return say(lang, Text::MessageReadOnlyDisk);
    case ENOENT:
    case ENOTDIR:
      return say(lang, Text::MessagePathNotFound);
    case ENAMETOOLONG:
      return say(lang, Text::MessageNameTooLong);
    case EISDIR:
      return say(lang, Text::MessageFolderHasName);
    case EIO:
      return say(lang, Text::MessageDeviceError);
    case EMFILE:
    case ENFILE:
      return say(lang, Text::MessageTooManyFiles);
    default:
      return std::string(say(lang, Text::MessageAccessError)) + " (" + std::string(std::strerror(error)) + ")";
  }
}

std::string FileErrorText(Language lang, int error, const std::string& path) {
  return FileErrorCause(lang, error) + kCrLf + path;
}

}  // namespace lorvant::files

namespace lorvant::nec {

std::string EngineMissingText(Language lang, const std::string& deckPath) {
  std::string text = say(lang, Text::MessageEngineMissing);
  if (!deckPath.empty()) text += say(lang, Text::MessageDeckWrittenTo) + deckPath + ")";
  return text;
}

std::string EngineFailedText(Language lang, const std::string& message) {
  return say(lang, Text::MessageEngineFailed) + message;
}

std::string EngineNotStartedText(Language lang, const std::string& program, int error) {
  std::string why;
  const std::string interpreter = error == ENOENT ? ScriptInterpreter(program) : std::string();
  if (!interpreter.empty())
    why = say(lang, Text::MessageInterpreterBefore) + CleanMessage(interpreter) +
          say(lang, Text::MessageInterpreterMissing);
  else if (error == ENOEXEC)
    why = say(lang, Text::MessageNotExecutable);
  else
    why = files::FileErrorCause(lang, error);
  return say(lang, Text::MessageEngineNotStarted) + CleanMessage(program) + "): " + why;
}

std::string EngineTimedOutText(Language lang, int seconds) {
  return say(lang, Text::MessageEngineTimedOutBefore) + std::to_string(seconds) +
         say(lang, Text::MessageEngineTimedOutAfter);
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
      return say(lang, Text::MessageNecCheckStopped);
    case Status::Completed:
      return {};
    case Status::Failed:
      break;
  }
  return EngineFailedText(lang, r.message);
}

}  // namespace lorvant::nec
