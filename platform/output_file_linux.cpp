#include "platform/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

namespace platform {
namespace {

// The temporary files not yet committed, for the signal handler: fixed slots
// of plain characters, which a handler may read.
constexpr int temporary_slots = 8;
constexpr std::size_t temporary_length = 4096;
char temporary_files[temporary_slots][temporary_length];
volatile std::sig_atomic_t temporary_in_use[temporary_slots];

const int cleanup_signals[] = {SIGINT, SIGTERM, SIGHUP};

// Holds the cleanup signals back while the slots change.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : cleanup_signals) sigaddset(&held, signal);
    sigprocmask(SIG_BLOCK, &held, &before_);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &before_, nullptr); }

 private:
  sigset_t before_;
};

void remember_temporary(const std::string& path) {
  for (int i = 0; i < temporary_slots; ++i) {
    if (temporary_in_use[i] || path.size() >= temporary_length) continue;
    std::memcpy(temporary_files[i], path.c_str(), path.size() + 1);
    temporary_in_use[i] = 1;
    return;
  }
}

void forget(const std::string& path) {
  for (int i = 0; i < temporary_slots; ++i)
    if (temporary_in_use[i] && path == temporary_files[i]) temporary_in_use[i] = 0;
}

void remove_temporaries_and_die(int signal) {
  for (int i = 0; i < temporary_slots; ++i)
    if (temporary_in_use[i]) unlink(temporary_files[i]);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

OutputFile::OutputFile(std::string path, Kind kind) : path_(std::move(path)) {
  if (kind == Kind::new_file) {
    destination_ = path_;
    stage(nullptr);
    return;
  }
  if (path_ == "-") {
    if (isatty(STDOUT_FILENO)) throw OutputError("will not write a picture to a terminal");
    fd_ = STDOUT_FILENO;
    owns_fd_ = false;
    return;
  }
  // Follow symbolic links to the file they finally name.
  destination_ = path_;
  struct stat found{};
  bool exists = false;
  for (int links = 0;; ++links) {
    if (lstat(destination_.c_str(), &found) != 0) {
      if (errno != ENOENT) fail(errno);
      break;
    }
    if (!S_ISLNK(found.st_mode)) {
      exists = true;
      break;
    }
    if (links == 40) fail(ELOOP);
    char target[4096];
    const ssize_t length = readlink(destination_.c_str(), target, sizeof target - 1);
    if (length < 0) fail(errno);
    target[length] = '\0';
    // Relative to the link's folder; an absolute target replaces the path.
    destination_ = (std::filesystem::path(destination_).parent_path() / target).string();
  }
  if (exists && S_ISDIR(found.st_mode)) fail(EISDIR);
  if (exists && (S_ISFIFO(found.st_mode) || S_ISCHR(found.st_mode) || S_ISBLK(found.st_mode))) {
    fd_ = open(destination_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) fail(errno);
    return;
  }
  stage(exists ? &found : nullptr);
}

// A temporary file beside the destination, with the existing file's mode, or
// the usual mode of a new file.
void OutputFile::stage(const struct stat* existing) {
  staged_ = true;
  const std::filesystem::path place(destination_);
  std::string pattern = (place.parent_path() / ("." + place.filename().string() + ".XXXXXX")).string();
  {
    const SignalsHeld held;
    fd_ = mkstemp(pattern.data());
    if (fd_ < 0) fail(errno);
    temporary_ = pattern;
    remember_temporary(temporary_);
  }
  if (existing) {
    fchmod(fd_, existing->st_mode & 07777);
    if (geteuid() == 0 && fchown(fd_, existing->st_uid, existing->st_gid) != 0) {
      // Another owner is a nicety; the picture is what matters.
    }
  } else {
    const mode_t mask = umask(0);  // mkstemp makes the file private
    umask(mask);
    fchmod(fd_, 0666 & ~mask);
  }
}

OutputFile::~OutputFile() {
  if (owns_fd_ && fd_ >= 0) close(fd_);
  if (!temporary_.empty()) {
    unlink(temporary_.c_str());
    forget_temporary();
  }
}

void OutputFile::fail(int error) const {
  throw OutputError("cannot write " + name() + ": " + std::strerror(error));
}

void OutputFile::write(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) fail(written < 0 ? errno : EIO);
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
}

void OutputFile::flush_staged() {
  if (fd_ < 0) return;  // done already
  // On the disk before the name: a crash then leaves the old file or the new one.
  if (fsync(fd_) != 0) fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) fail(errno);
}

void OutputFile::forget_temporary() {
  const SignalsHeld held;
  forget(temporary_);
  temporary_.clear();
}

void OutputFile::commit() {
  if (!staged_) {
    if (!owns_fd_) return;
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) fail(errno);
    return;
  }
  flush_staged();
  if (std::rename(temporary_.c_str(), destination_.c_str()) != 0) fail(errno);
  forget_temporary();
}

bool OutputFile::commit_as_new(const std::string& path) {
  flush_staged();
  if (link(temporary_.c_str(), path.c_str()) != 0) {
    if (errno == EEXIST) return false;
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP) fail(errno);
    // A file system without hard links: claim the name, then replace the claim.
    const int claim = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (claim < 0) {
      if (errno == EEXIST) return false;
      fail(errno);
    }
    close(claim);
    if (std::rename(temporary_.c_str(), path.c_str()) != 0) fail(errno);
  } else {
    unlink(temporary_.c_str());
  }
  path_ = path;
  forget_temporary();
  return true;
}

void remove_temporary_files_on_signals() {
  for (const int signal : cleanup_signals) {
    struct sigaction action{}, before{};
    sigaction(signal, nullptr, &before);
    if (before.sa_handler == SIG_IGN) continue;  // as under nohup: stays ignored
    action.sa_handler = remove_temporaries_and_die;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}

void fail_writes_to_closed_pipes() { std::signal(SIGPIPE, SIG_IGN); }

bool same_file(const std::string& a, const std::string& b) {
  if (a == "-" || b == "-") return a == b;
  struct stat first{}, second{};
  if (stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0)
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
  namespace fs = std::filesystem;
  std::error_code ignored;
  return fs::weakly_canonical(fs::absolute(a), ignored) == fs::weakly_canonical(fs::absolute(b), ignored);
}

}  // namespace platform
