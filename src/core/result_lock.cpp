#include "core/result_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "core/paths.h"

namespace kinvalo {

namespace {

constexpr const char* kLockSuffix = ".kinvalo.lock";
constexpr size_t kNameMax = 255;  // bytes in one name on the usual file systems

std::uint64_t Fnv1a(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

// The start of `name` in at most `bytes` bytes, not cutting a UTF-8
// character in two.
std::string Head(const std::string& name, size_t bytes) {
  if (name.size() <= bytes) return name;
  size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

bool SameFile(int fd, const std::string& path) {
  struct stat held {}, named {};
  if (::fstat(fd, &held) != 0 || ::lstat(path.c_str(), &named) != 0) return false;
  return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace

std::string ResultLockPath(const std::string& inputPath) {
  const std::string folder = ExtractFilePath(inputPath);
  const std::string base = ExtractFileName(ChangeFileExt(inputPath, ""));
  const std::string suffix = kLockSuffix;
  if (base.size() + suffix.size() <= kNameMax) return folder + base + suffix;
  char hash[18];
  std::snprintf(hash, sizeof hash, "-%016llx", static_cast<unsigned long long>(Fnv1a(base)));
  return folder + Head(base, kNameMax - suffix.size() - 17) + hash + suffix;
}

ResultLock::ResultLock(const std::string& inputPath, std::chrono::milliseconds wait,
                       std::chrono::milliseconds poll)
    : path_(ResultLockPath(inputPath)) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  // A holder removes the file before it lets go, so a lock won on a file
  // that no longer carries the name is worth nothing: try the name again.
  // Those retries cost no waiting, but they are bounded.
  int renamed = 0;
  while (true) {
    int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0 && errno == EACCES) fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
      state_ = State::Unavailable;
      return;
    }
    int locked;
    do {
      locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) {
      if (SameFile(fd, path_)) {
        fd_ = fd;
        state_ = State::Held;
        return;
      }
      ::close(fd);
      if (++renamed < 1000) continue;
      state_ = State::Busy;
      return;
    }
    const int error = errno;
    ::close(fd);
    if (error != EWOULDBLOCK) {
      state_ = State::Unavailable;
      return;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      state_ = State::Busy;
      return;
    }
    std::this_thread::sleep_for(poll);
  }
}

ResultLock::~ResultLock() {
  if (fd_ < 0) return;
  // Removed while held: a run that opened this file meanwhile finds, once it
  // gets the lock, that the name has gone and starts again on a new file.
  if (SameFile(fd_, path_)) ::unlink(path_.c_str());
  ::close(fd_);
}

std::string ResultsBusyMessage(const std::string& inputPath) {
  return "The results of \"" + inputPath +
         "\" are being calculated by another run. Please try again when it has finished.";
}

}  // namespace kinvalo
