#pragma once
// The real kinvalo-cli, run as a user or a script runs it: in the folder
// of its files, in the background if need be, its standard output and
// error kept apart.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace kinvalo::test {

class CliProcess {
 public:
  // Started in `folder` with the arguments given, blank-separated.
  CliProcess(const TempDir& folder, const std::string& arguments, const std::string& program = KINVALO_CLI) {
    std::vector<std::string> args = {program};
    std::istringstream words(arguments);
    for (std::string word; words >> word;) args.push_back(word);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.path().c_str());
    posix_spawn_file_actions_addopen(&actions, 1, (logs_ / "out").c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, (logs_ / "err").c_str(), O_WRONLY | O_CREAT, 0644);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~CliProcess() { Wait(); }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  bool Finished() { return Reap(WNOHANG); }
  // The exit status, -1 for a run that did not end normally.
  int Wait() {
    Reap(0);
    return status_;
  }
  std::string Out() const { return ReadBytes(logs_ / "out"); }
  std::string Err() const { return ReadBytes(logs_ / "err"); }

 private:
  bool Reap(int options) {
    if (pid_ <= 0 || reaped_) return true;
    int raw = 0;
    if (::waitpid(pid_, &raw, options) != pid_) return false;
    reaped_ = true;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return true;
  }

  TempDir logs_;
  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = -1;
};

// A run to its end: its status, standard output and standard error.
struct CliRun {
  int status;
  std::string out, err;
};
inline CliRun RunCli(const TempDir& folder, const std::string& arguments,
                     const std::string& program = KINVALO_CLI) {
  CliProcess run(folder, arguments, program);
  const int status = run.Wait();
  return {status, run.Out(), run.Err()};
}

}  // namespace kinvalo::test
