// The batch tool's stdout, written and checked: a write that fails (a full
// disk, /dev/full, a closed pipe with SIGPIPE ignored) ends the command
// rather than letting it compute on for nobody.
#pragma once

#include <exception>
#include <string_view>

namespace lorvant::cli {

// Thrown by every write to stdout that the system refuses.
class StdoutFailed : public std::exception {
 public:
  explicit StdoutFailed(int error) : error_(error) {}
  int error() const { return error_; }
  const char* what() const noexcept override { return "stdout cannot be written"; }

 private:
  int error_;
};

// Routes std::cout to a buffer of its own that writes straight to the
// descriptor and throws StdoutFailed; lines go out at once on a terminal.
void CheckStdout();

// Writes bytes to the descriptor at once. Throws StdoutFailed.
void WriteStdout(std::string_view bytes);

// Flushes std::cout. Throws StdoutFailed.
void FlushStdout();

}  // namespace lorvant::cli
