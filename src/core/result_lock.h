#pragma once
// One calculation at a time per result set. Two runs on the same input (the
// window and a script, or two scripts) would otherwise interleave their
// .txt, .out and .var files and leave a set whose parts disagree. A run
// holds an advisory lock (flock) on a lock file beside the input from before
// its first result file is written until its files are in place.
#include <chrono>
#include <string>

namespace kinvalo {

// The lock file of the result set of `inputPath`: "<base>.kinvalo.lock" in
// the input's folder, where <base> is the input's name without its
// extension. The two dots keep it from ever naming the input itself or a
// user's own ".lock" file. A name that would pass the 255-byte limit keeps
// the start of the base name and ends in a hash of the whole of it.
std::string ResultLockPath(const std::string& inputPath);

class ResultLock {
 public:
  enum class State {
    Held,         // this run may write the result set
    Busy,         // another run held the lock for the whole wait
    Unavailable,  // no lock file could be made or locked (a folder that
                  // cannot be written, a file system without locks)
  };

  // Takes the lock of the result set of `inputPath`, trying again every
  // `poll` until `wait` has passed. A wait of zero tries once.
  ResultLock(const std::string& inputPath, std::chrono::milliseconds wait,
             std::chrono::milliseconds poll = std::chrono::milliseconds(50));
  // Removes the lock file while still holding it, then releases it.
  ~ResultLock();
  ResultLock(const ResultLock&) = delete;
  ResultLock& operator=(const ResultLock&) = delete;

  State state() const { return state_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
  State state_ = State::Unavailable;
};

// What a refused run tells the user.
std::string ResultsBusyMessage(const std::string& inputPath);

}  // namespace kinvalo
