#include "core/leftovers.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <tuple>

#include "core/textfile.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

using test::TempDir;

// The id of a process that has ended (reaped, so nothing holds it).
long EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

// A temporary name of the writer gives its process; only one the writer
// can have made is taken apart, to the target it was to become.
TEST(TemporaryName, IsRecognisedWithTheIdOfItsProcessAndTakenApart) {
  const struct {
    const char* name;
    long pid;            // -1: not a temporary name
    const char* target;  // nullptr: not taken apart
  } cases[] = {
      {"run.out.kinvalo-4711-0123456789abcdef.tmp", 4711, "run.out"},
      {"/data/run.var.kinvalo-1-fedcba9876543210.tmp", 1, "/data/run.var"},
      {"a.kinvalo-1-2.tmp.kinvalo-31-00000000000000ab.tmp", 31, "a.kinvalo-1-2.tmp"},
      {".kinvalo-2147483647-0000000000000000.tmp", 2147483647, nullptr},  // no target
      // kill(0) would ask about a group of processes; the writer puts no zero before a pid
      {"run.out.kinvalo-0-00000000000000ab.tmp", 0, nullptr},
      {"run.out.kinvalo-042-00000000000000ab.tmp", 42, nullptr},
      {"run.out.kinvalo-4294967297-00000000000000ab.tmp", 4294967297, nullptr},
      {"run.out.kinvalo-4711-0123456789abcdef.tm", -1, nullptr},
      {"run.out.kinvalo-4711-0123456789abcdef.tmpx", -1, nullptr},
      {"run.out.kinvalo-4711-0123456789ABCDEF.tmp", -1, nullptr},  // upper-case digits
      {"run.out.kinvalo-4711-0123456789abcde.tmp", -1, nullptr},   // 15 digits
      {"run.out.kinvalo-4242-11112222333344445.tmp", -1, nullptr},  // 17 digits
      {"run.out.kinvalo-4242-.tmp", -1, nullptr},
      {"run.var.kinvalo-7-0.tmp", -1, nullptr},
      {"run.out.kinvalo--0123456789abcdef.tmp", -1, nullptr},  // no pid
      {"run.out.kinvalo--1-00000000000000ab.tmp", -1, nullptr},
      {"run.out.kinvalo-47x1-0123456789abcdef.tmp", -1, nullptr},
      {"run.out.other-4711-0123456789abcdef.tmp", -1, nullptr},
      {"run.out-4711-0123456789abcdef.tmp", -1, nullptr},
      {"run.out.tmp", -1, nullptr},
      {"run.out", -1, nullptr},
  };
  for (const auto& c : cases) {
    long pid = -1;
    EXPECT_EQ(IsKinvaloTemporaryName(c.name, &pid), c.pid >= 0) << c.name;
    EXPECT_EQ(pid, c.pid) << c.name;
    const std::optional<TemporaryName> parsed = ParseTemporaryName(c.name);
    ASSERT_EQ(parsed.has_value(), c.target != nullptr) << c.name;
    if (!parsed) continue;
    EXPECT_EQ(std::tuple(parsed->target, parsed->pid), std::tuple(c.target, c.pid)) << c.name;
  }
}

// A live id on a file older than a day is taken for a reused one. A folder
// or a link of a leftover's name is no file this program made.
TEST(Leftovers, OnlyThisSetsFilesOfEndedRunsAreRemoved) {
  TempDir dir;
  const std::string dead = std::to_string(EndedProcess());
  const std::string live = std::to_string(::getpid());
  const std::string removable[] = {
      "run.out.kinvalo-" + dead + "-0000000000009a8b.tmp",
      "run.txt.kinvalo-" + dead + "-0000000000000001.tmp",
      "run.var.kinvalo-" + dead + "-ffffffffffffffff.tmp",
      "run.inp.kinvalo-" + dead + "-0000000000000002.tmp",
      "run.txt.kinvalo-" + live + "-0000000000000004.tmp",  // 25 hours old
  };
  const std::string kept[] = {
      // a run still writing, in this very process, for 23 hours
      "run.out.kinvalo-" + live + "-0000000000009a8b.tmp",
      // other result sets of the folder, whose base names start alike
      "run2.out.kinvalo-" + dead + "-0000000000000001.tmp",
      "run.b.out.kinvalo-" + dead + "-0000000000000001.tmp",
      "other.out.kinvalo-" + dead + "-0000000000000001.tmp",
      // the user's own files
      "run.inp", "run.out", "run.txt", "run.var", "run.out.tmp", "run.out.kinvalo-" + dead + "-1.bak",
      "run.kinvalo.lock",
  };
  for (const std::string& name : removable) test::WriteBytes(dir / name, "half a file");
  for (const std::string& name : kept) test::WriteBytes(dir / name, "keep " + name);
  const auto now = std::filesystem::file_time_type::clock::now();
  std::filesystem::last_write_time(dir / removable[4], now - std::chrono::hours(25));
  std::filesystem::last_write_time(dir / kept[0], now - std::chrono::hours(23));
  const std::string folder = dir / ("run.txt.kinvalo-" + dead + "-0000000000000003.tmp");
  const std::string link = dir / ("run.var.kinvalo-" + dead + "-0000000000000005.tmp");
  std::filesystem::create_directory(folder);
  std::filesystem::create_symlink(dir / "run.inp", link);

  EXPECT_EQ(RemoveLeftovers(dir / "run.inp").size(), std::size(removable));
  for (const std::string& name : removable) EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
  for (const std::string& name : kept) EXPECT_EQ(test::ReadBytes(dir / name), "keep " + name) << name;
  EXPECT_TRUE(std::filesystem::is_directory(folder) && std::filesystem::is_symlink(link));
  EXPECT_TRUE(RemoveLeftovers("/nonexistent-folder-of-kinvalo/run.inp").empty());
}

}  // namespace
}  // namespace kinvalo
