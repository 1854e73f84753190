// Writing result files so that a reader only ever finds a whole old file or
// a whole new one: every file is written under a unique temporary name in
// its own folder, flushed to the disk, and then renamed over its target.
// A set of files (the reports and the picture of one run) is renamed only
// when every member is complete, and a rename that fails half-way puts the
// earlier files back. Plain POSIX, so the computation and the windows share
// it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>

#include "engine/common.h"

namespace lorvant::files {

// A file operation that failed: the system's error number and the file (or
// folder) it concerned, as the user knows it (the target, never the
// temporary name).
class FileError : public std::runtime_error {
 public:
  FileError(int error, std::string path);
  int error() const { return error_; }
  const std::string& path() const { return path_; }

 private:
  int error_;
  std::string path_;
};

// The error of a file that is there but is no plain file (a pipe, a
// device): no system error number says so.
inline constexpr int kNotRegularFile = 0x10000;

// Test seam: every file operation of this module asks the installed hooks
// first. A hook returns 0 to let the operation go on, or an error number
// that the operation then fails with, as if the system had said so.
class FileHooks {
 public:
  virtual ~FileHooks() = default;
  // Before the temporary file of `target` is created.
  virtual int create(const std::string& /*target*/) { return 0; }
  // Before `size` bytes are written at `offset` of the temporary file of
  // `target`. A hook may shorten `size` to the part that still fits and
  // return the error for the rest (a disk that fills up at byte N).
  virtual int write(const std::string& /*target*/, std::uint64_t /*offset*/, std::size_t& /*size*/) { return 0; }
  // Before the temporary file of `target` is flushed to the disk.
  virtual int sync(const std::string& /*target*/) { return 0; }
  // Before the temporary file is renamed over `target`, and right after.
  virtual int rename(const std::string& /*target*/) { return 0; }
  virtual void renamed(const std::string& /*target*/) {}
  // The free space of a folder; nothing to ask the file system.
  virtual std::optional<std::uint64_t> freeBytes(const std::string& /*folder*/) { return std::nullopt; }
};
// Installs hooks (not owned); nullptr removes them.
void SetFileHooks(FileHooks* hooks);

// The folder part of a path, with its final "/" ("" for a bare name).
std::string FolderOf(const std::string& path);
// The name after the last "/".
std::string NameOf(const std::string& path);

// A file on its way to its target: created under a temporary name beside
// it (".NAME.lorvant-PID-XXXXXX", hidden, unique), written, flushed, and
// finally renamed by CommitFiles. Destroying it before the commit removes
// the temporary file.
class StagedPath;

class StagedFile {
 public:
  explicit StagedFile(std::string target = {});
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  const std::string& target() const { return target_; }
  void setTarget(std::string target);
  // The temporary file's path while there is one, else empty.
  const std::string& tempPath() const { return temp_; }

  // Creates the temporary file (a staged file that was open is started
  // anew). Throws FileError.
  void open();
  // Appends bytes. Throws FileError (nothing of the failed part counts).
  void write(std::string_view bytes);
  // Flushes the file to the disk and closes it; it is then ready to be
  // committed. Throws FileError.
  void finish();
  // Removes the temporary file; the target stays as it was.
  void discard() noexcept;

  bool isOpen() const { return fd_ >= 0; }
  bool isFinished() const { return finished_; }
  bool isCommitted() const { return committed_; }
  std::uint64_t size() const { return written_; }

 private:
  friend void CommitFiles(std::span<StagedFile* const> files);
  friend class StagedPath;
  std::string target_;
  std::string temp_;
  int fd_ = -1;
  std::uint64_t written_ = 0;
  bool finished_ = false;
  bool committed_ = false;
};

// Renames every finished file over its target, then flushes the folders.
// All or nothing: when a rename fails, the targets already replaced get
// their earlier files back and FileError is thrown; the staged files stay
// finished, so a retry may commit them again.
void CommitFiles(std::span<StagedFile* const> files);

// One whole file: staged, written, flushed and renamed over `target`.
// Throws FileError; the target is then untouched.
void WriteFileAtomically(const std::string& target, std::string_view bytes);

// The temporary file a writer of its own (a printer, an image library)
// fills by its path; commit() flushes and renames it.
class StagedPath {
 public:
  explicit StagedPath(std::string target);  // creates it; throws FileError
  ~StagedPath();                            // removes it unless committed
  StagedPath(const StagedPath&) = delete;
  StagedPath& operator=(const StagedPath&) = delete;
  const std::string& path() const { return file_.tempPath(); }
  void commit();  // throws FileError

 private:
  StagedFile file_;
};

// A stream buffer that writes into a staged file, for report writers that
// take a std::ostream. After a failure the stream goes bad and error()
// tells why.
class StagedStreamBuf : public std::streambuf {
 public:
  explicit StagedStreamBuf(StagedFile& file);
  ~StagedStreamBuf() override = default;
  // The first write failure since the last reset, or nothing.
  const std::optional<FileError>& failure() const { return failure_; }
  // Drops buffered bytes and the failure (before the file is started anew).
  void reset();
  // Asked before every block goes to the file: true ends the writing, as a
  // failure with ECANCELED, so that a long writer stops at the next block.
  void setInterrupt(std::function<bool()> stop) { stop_ = std::move(stop); }

 protected:
  int_type overflow(int_type ch) override;
  int sync() override;

 private:
  bool flushBuffer();
  StagedFile& file_;
  std::string buffer_;
  std::optional<FileError> failure_;
  std::function<bool()> stop_;
};

// Whether a folder takes new files: a probe file is created and removed.
// 0 when it does, else the error number.
int ProbeFolder(const std::string& folder);

// Free space of the folder's file system for this user, when known.
std::optional<std::uint64_t> FreeBytes(const std::string& folder);

// Removes the temporaries of this program that an earlier process left in
// `folder` (crashed or killed before its rename): files of the temporary
// pattern last changed before `before`, whose process has ended, or whose
// process id now belongs to another process (the file is older than a day,
// or older than this process when the id is this process's own). Every
// StagedFile calls it for its folder when it starts. Returns how many were
// removed.
std::size_t RemoveStaleTemporaries(const std::string& folder, std::chrono::system_clock::time_point before);

// An advisory lock on a folder, held by one run from the first temporary
// file to the last rename, so that two runs (two windows, a script and the
// program) never mix their files. The lock lives in the hidden file
// ".lorvant.lock" of the folder.
class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Takes the lock when no other holder has it: true; false when another
  // process (or another lock of this one) holds it. Throws FileError, naming
  // the lock file, when it cannot be made (the folder cannot be written) or
  // is no plain file (a link, a folder, a pipe).
  bool tryLock(const std::string& folder);
  void unlock() noexcept;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace lorvant::files
