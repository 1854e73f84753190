#include "io/staged_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

namespace lorvant::files {

namespace {

FileHooks* gHooks = nullptr;

constexpr const char* kTempMarker = ".lorvant-";
constexpr const char* kLockName = ".lorvant.lock";
constexpr std::size_t kRandomChars = 6;
// Room kept for ".", the marker, a process id, "-" and the random part, so
// that the temporary name of a long target name still fits a file name.
constexpr std::size_t kNameMax = 255;
constexpr std::size_t kTempOverhead = 1 + 9 + 10 + 1 + kRandomChars;

std::string RandomPart() {
  static const char chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::mt19937_64 engine{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())};
  std::string s;
  for (std::size_t i = 0; i < kRandomChars; ++i) s += chars[engine() % (sizeof chars - 1)];
  return s;
}

// ".NAME.lorvant-PID-" for a target; the random part follows.
std::string TempPrefix(const std::string& target) {
  std::string name = NameOf(target);
  if (name.size() > kNameMax - kTempOverhead) name.resize(kNameMax - kTempOverhead);
  return FolderOf(target) + "." + name + kTempMarker + std::to_string(::getpid()) + "-";
}

// Creates a new file of the temporary pattern for `target`; the file mode
// is what a plain create would give (the umask applies), or the read and
// write bits of the earlier file. A link is replaced, not followed, so the
// mode of whatever it points to counts for nothing, and set-id or execute
// bits never reach a report. Returns the open descriptor.
int CreateTemp(const std::string& target, std::string& path) {
  const std::string prefix = TempPrefix(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = prefix + RandomPart();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      struct stat st {};
      if (::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd, st.st_mode & 0666);
      return fd;
    }
    if (errno != EEXIST) {
      const int err = errno;
      path.clear();
      throw FileError(err, target);
    }
  }
  path.clear();
  throw FileError(EEXIST, target);
}

// Flushes a folder's entries (the renames in it) to the disk. File systems
// that cannot do this for folders are left to their own devices.
void SyncFolder(const std::string& folder) {
  const std::string dir = folder.empty() ? std::string(".") : folder;
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// When this process started, near enough: its temporaries of an earlier
// life of the same process id are older.
// File times come from a coarser clock than now(), so a file made right
// after the start may carry a time just before it: the margin covers that.
const std::chrono::system_clock::time_point kProcessStart = std::chrono::system_clock::now() - std::chrono::seconds(10);

// A process that kept a temporary untouched this long is not its writer:
// the id was given to a new process since.
constexpr std::chrono::hours kReusedIdAge{24};

// Whether a process of this id may still run.
bool ProcessAlive(long pid) {
  if (pid <= 0) return false;
  if (pid == ::getpid()) return true;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// The process id in a temporary name ".NAME.lorvant-PID-XXXXXX"; 0 when the
// name is not of the pattern.
long TempOwner(const std::string& name) {
  if (name.size() < kTempOverhead || name[0] != '.') return 0;
  const std::size_t marker = name.rfind(kTempMarker);
  if (marker == std::string::npos || marker == 0) return 0;
  const std::size_t digits = marker + std::strlen(kTempMarker);
  const std::size_t dash = name.find('-', digits);
  if (dash == std::string::npos || dash == digits || name.size() - dash - 1 != kRandomChars) return 0;
  long pid = 0;
  for (std::size_t i = digits; i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9' || pid > 1'000'000'000) return 0;
    pid = pid * 10 + (name[i] - '0');
  }
  for (std::size_t i = dash + 1; i < name.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return 0;
  return pid;
}

}  // namespace

FileError::FileError(int error, std::string path)
    : std::runtime_error((error == kNotRegularFile ? std::string("Not a regular file") : std::strerror(error)) +
                         (": " + path)),
      error_(error),
      path_(std::move(path)) {}

void SetFileHooks(FileHooks* hooks) { gHooks = hooks; }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ---- StagedFile ----------------------------------------------------------------

StagedFile::StagedFile(std::string target) : target_(std::move(target)) {}

StagedFile::~StagedFile() { discard(); }

void StagedFile::setTarget(std::string target) {
  discard();
  target_ = std::move(target);
}

void StagedFile::open() {
  discard();
  // Whatever writes into a folder clears it of what crashed writers left.
  RemoveStaleTemporaries(FolderOf(target_), std::chrono::system_clock::now());
  if (gHooks)
    if (const int err = gHooks->create(target_)) throw FileError(err, target_);
  fd_ = CreateTemp(target_, temp_);
  written_ = 0;
  finished_ = false;
  committed_ = false;
}

void StagedFile::write(std::string_view bytes) {
  if (fd_ < 0) throw FileError(EBADF, target_);
  while (!bytes.empty()) {
    std::size_t size = bytes.size();
    int injected = 0;
    if (gHooks) injected = gHooks->write(target_, written_, size);
    size = std::min(size, bytes.size());
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = ::write(fd_, bytes.data() + done, size - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        const int err = errno;
        written_ += done;
        throw FileError(err, target_);
      }
      done += static_cast<std::size_t>(n);
    }
    written_ += done;
    bytes.remove_prefix(done);
    if (injected) throw FileError(injected, target_);
  }
}

void StagedFile::finish() {
  if (fd_ < 0) {
    if (finished_) return;
    throw FileError(EBADF, target_);
  }
  int err = gHooks ? gHooks->sync(target_) : 0;
  // Without the flush a power cut right after the rename could leave an
  // empty file under the target's name.
  if (!err && ::fsync(fd_) != 0 && errno != EINVAL) err = errno;
  if (::close(fd_) != 0 && !err && errno != EINTR) err = errno;
  fd_ = -1;
  if (err) throw FileError(err, target_);
  finished_ = true;
}

void StagedFile::discard() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty() && !committed_) ::unlink(temp_.c_str());
  temp_.clear();
  finished_ = false;
}

// ---- commit -----------------------------------------------------------------------

void CommitFiles(std::span<StagedFile* const> files) {
  // A target that cannot be replaced is found before anything is renamed.
  for (const StagedFile* f : files) {
    if (f->committed_) continue;
    if (!f->finished_ || f->temp_.empty()) throw FileError(EBADF, f->target_);
    struct stat st {};
    if (::lstat(f->target_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) throw FileError(EISDIR, f->target_);
  }

  // Each earlier file keeps a second name until the set is in place, so a
  // rename that fails half-way can put it back.
  struct Done {
    StagedFile* file;
    bool hadEarlier;
    std::string backup;  // empty: no earlier file, or no second name possible
  };
  std::vector<Done> done;
  auto rollBack = [&done] {
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
      StagedFile& f = *it->file;
      // An earlier file without a second name cannot come back; the new one
      // then stays rather than leaving no file at all.
      if (it->hadEarlier && it->backup.empty()) continue;
      // The new data goes back to its temporary name, ready for a retry.
      ::rename(f.target_.c_str(), f.temp_.c_str());
      if (!it->backup.empty()) ::rename(it->backup.c_str(), f.target_.c_str());
      f.committed_ = false;
    }
  };
  for (StagedFile* f : files) {
    if (f->committed_) continue;
    std::string backup;
    struct stat st {};
    const bool hadEarlier = ::lstat(f->target_.c_str(), &st) == 0;
    if (hadEarlier) {
      for (int attempt = 0; attempt < 100; ++attempt) {
        backup = TempPrefix(f->target_) + RandomPart();
        if (::link(f->target_.c_str(), backup.c_str()) == 0) break;
        const bool taken = errno == EEXIST;
        backup.clear();
        if (!taken) break;  // no hard links here: this file cannot be put back
      }
    }
    int err = gHooks ? gHooks->rename(f->target_) : 0;
    if (!err && ::rename(f->temp_.c_str(), f->target_.c_str()) != 0) err = errno;
    if (err) {
      if (!backup.empty()) ::unlink(backup.c_str());
      rollBack();
      for (const Done& d : done)
        if (!d.backup.empty()) ::unlink(d.backup.c_str());
      throw FileError(err, f->target_);
    }
    f->committed_ = true;
    done.push_back({f, hadEarlier, backup});
    if (gHooks) gHooks->renamed(f->target_);
  }

  std::vector<std::string> folders;
  for (const StagedFile* f : files) folders.push_back(FolderOf(f->target_));
  std::sort(folders.begin(), folders.end());
  folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  for (const std::string& folder : folders) SyncFolder(folder);

  for (Done& d : done) {
    if (!d.backup.empty()) ::unlink(d.backup.c_str());
    d.file->temp_.clear();
  }
}

void WriteFileAtomically(const std::string& target, std::string_view bytes) {
  StagedFile file(target);
  file.open();
  file.write(bytes);
  file.finish();
  StagedFile* set[] = {&file};
  CommitFiles(set);
}

// ---- StagedPath --------------------------------------------------------------------

StagedPath::StagedPath(std::string target) : file_(std::move(target)) { file_.open(); }

StagedPath::~StagedPath() = default;

void StagedPath::commit() {
  // The foreign writer has written through its own descriptor; the flush
  // goes through a fresh one.
  if (file_.fd_ >= 0) ::close(file_.fd_);
  file_.fd_ = ::open(file_.temp_.c_str(), O_RDONLY | O_CLOEXEC);
  if (file_.fd_ < 0) throw FileError(errno, file_.target_);
  file_.finish();
  StagedFile* set[] = {&file_};
  CommitFiles(set);
}

// ---- StagedStreamBuf --------------------------------------------------------------

namespace {
constexpr std::size_t kStreamBuffer = 1 << 16;
}

StagedStreamBuf::StagedStreamBuf(StagedFile& file) : file_(file), buffer_(kStreamBuffer, '\0') {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

void StagedStreamBuf::reset() {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  failure_.reset();
}

bool StagedStreamBuf::flushBuffer() {
  const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  if (failure_) return false;
  if (stop_ && stop_()) {
    failure_ = FileError(ECANCELED, file_.target());
    return false;
  }
  try {
    file_.write(pending);
  } catch (const FileError& e) {
    failure_ = e;
  }
  return !failure_;
}

StagedStreamBuf::int_type StagedStreamBuf::overflow(int_type ch) {
  if (!flushBuffer()) return traits_type::eof();
  if (traits_type::eq_int_type(ch, traits_type::eof())) return 0;
  *pptr() = traits_type::to_char_type(ch);
  pbump(1);
  return ch;
}

int StagedStreamBuf::sync() { return flushBuffer() ? 0 : -1; }

// ---- folders ------------------------------------------------------------------------

int ProbeFolder(const std::string& folder) {
  std::string dir = folder;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  struct stat st {};
  if (::stat(dir.empty() ? "." : dir.c_str(), &st) != 0) return errno;
  if (!S_ISDIR(st.st_mode)) return ENOTDIR;
  try {
    StagedFile probe(dir + "probe");
    probe.open();
    probe.discard();
  } catch (const FileError& e) {
    return e.error();
  }
  return 0;
}

std::optional<std::uint64_t> FreeBytes(const std::string& folder) {
  if (gHooks)
    if (auto hooked = gHooks->freeBytes(folder)) return hooked;
  struct statvfs st {};
  if (::statvfs(folder.empty() ? "." : folder.c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
}

std::size_t RemoveStaleTemporaries(const std::string& folder, std::chrono::system_clock::time_point before) {
  const auto beforeNs = std::chrono::duration_cast<std::chrono::nanoseconds>(before.time_since_epoch()).count();
  std::string dir = folder.empty() ? std::string("./") : folder;
  if (dir.back() != '/') dir += '/';
  DIR* d = ::opendir(dir.c_str());
  if (!d) return 0;
  const auto ns = [](std::chrono::system_clock::time_point t) {
    return static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count());
  };
  const long long reusedNs = ns(std::chrono::system_clock::now() - kReusedIdAge);
  const long long startNs = ns(kProcessStart);
  std::size_t removed = 0;
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    const long owner = TempOwner(name);
    if (owner == 0) continue;
    struct stat st {};
    const std::string path = dir + name;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    const auto changedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    if (changedNs >= beforeNs) continue;
    // A live owner may still be writing, unless the file is older than the
    // owner can be: this process's own from before it started, another's
    // untouched for a day.
    if (owner == ::getpid() ? changedNs >= startNs : ProcessAlive(owner) && changedNs >= reusedNs) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  ::closedir(d);
  return removed;
}

FolderLock::~FolderLock() { unlock(); }

bool FolderLock::tryLock(const std::string& folder) {
  unlock();
  std::string dir = folder.empty() ? std::string("./") : folder;
  if (dir.back() != '/') dir += '/';
  const std::string path = dir + kLockName;
  // Never through a link (it would make a file wherever it points), and
  // never waiting on a pipe someone put there.
  constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
  // Another user's lock file may be read-only for us; a lock needs no more.
  if (fd < 0) {
    const int err = errno;
    if (err == EACCES) fd = ::open(path.c_str(), O_RDONLY | kFlags);
    // A missing folder is the folder's fault; anything else is the lock
    // file's own.
    if (fd < 0 && (err == ENOENT || err == ENOTDIR)) throw FileError(err, folder);
    if (fd < 0) throw FileError(err == ENXIO ? kNotRegularFile : err, path);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw FileError(S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFile, path);
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK) return false;
    throw FileError(err, path);
  }
  fd_ = fd;
  return true;
}

void FolderLock::unlock() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace lorvant::files
