#include "cli/stdout.h"

#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <streambuf>
#include <string>

namespace lorvant::cli {

namespace {

int gFailure = 0;  // the first refused write, kept for the final check

class StdoutBuffer : public std::streambuf {
 public:
  StdoutBuffer() : buffer_(1 << 16, '\0'), terminal_(::isatty(STDOUT_FILENO) == 1) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
  }

 protected:
  int_type overflow(int_type ch) override {
    flushBuffer();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    const std::streamsize done = std::streambuf::xsputn(s, n);
    if (terminal_ && std::string_view(s, static_cast<std::size_t>(n)).find('\n') != std::string_view::npos)
      flushBuffer();
    return done;
  }
  int sync() override {
    flushBuffer();
    return 0;
  }

 private:
  void flushBuffer() {
    const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    // After a refused write the rest has nowhere to go; it is dropped.
    if (!gFailure) WriteStdout(pending);
  }

  std::string buffer_;
  bool terminal_;
};

}  // namespace

void WriteStdout(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      if (!gFailure) gFailure = errno;
      throw StdoutFailed(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void CheckStdout() {
  // Never destroyed: the library flushes std::cout after every static
  // object of the program has gone.
  static StdoutBuffer* const buffer = new StdoutBuffer;
  std::cout.rdbuf(buffer);
  // The buffer's exception then reaches the command instead of a quiet bad
  // bit.
  std::cout.exceptions(std::ios::badbit);
}

void FlushStdout() {
  std::cout.flush();
  if (gFailure) throw StdoutFailed(gFailure);
}

}  // namespace lorvant::cli
