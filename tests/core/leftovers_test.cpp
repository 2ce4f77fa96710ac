#include "core/leftovers.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

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

struct NameCase {
  const char* name;
  std::string file;
  bool parsed;
  std::string target;
  long pid;
};

class TemporaryNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(TemporaryNames, OnlyTheWritersOwnNamesAreTakenApart) {
  const NameCase& c = GetParam();
  const std::optional<TemporaryName> parsed = ParseTemporaryName(c.file);
  ASSERT_EQ(parsed.has_value(), c.parsed);
  if (!parsed) return;
  EXPECT_EQ(parsed->target, c.target);
  EXPECT_EQ(parsed->pid, c.pid);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TemporaryNames,
    ::testing::Values(NameCase{"Out", "run.out.kinvalo-4242-1f2e3d4c5b6a7988.tmp", true, "run.out", 4242},
                      NameCase{"ShortHex", "run.var.kinvalo-7-0.tmp", false, "", 0},
                      NameCase{"MarkInTheTarget", "a.kinvalo-1-2.tmp.kinvalo-31-00000000000000ab.tmp", true, "a.kinvalo-1-2.tmp", 31},
                      NameCase{"UserTmp", "run.out.tmp", false, "", 0},
                      NameCase{"OtherProgram", "run.out.other-4242-00000000000000ab.tmp", false, "", 0},
                      NameCase{"NoTarget", ".kinvalo-4242-00000000000000ab.tmp", false, "", 0},
                      NameCase{"NoHex", "run.out.kinvalo-4242-.tmp", false, "", 0},
                      NameCase{"NoPid", "run.out.kinvalo--00000000000000ab.tmp", false, "", 0},
                      NameCase{"UpperHex", "run.out.kinvalo-4242-AB.tmp", false, "", 0},
                      NameCase{"HexTooLong", "run.out.kinvalo-4242-11112222333344445.tmp", false, "", 0},
                      // kill(0) and kill(-1) would ask about groups of processes
                      NameCase{"PidZero", "run.out.kinvalo-0-00000000000000ab.tmp", false, "", 0},
                      NameCase{"PidNegative", "run.out.kinvalo--1-00000000000000ab.tmp", false, "", 0},
                      NameCase{"PidLeadingZero", "run.out.kinvalo-042-00000000000000ab.tmp", false, "", 0},
                      NameCase{"PidBeyondInt", "run.out.kinvalo-4294967297-00000000000000ab.tmp", false, "", 0},
                      NameCase{"OtherEnd", "run.out.kinvalo-4242-ab.tmpx", false, "", 0}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

TEST(Leftovers, OnlyThisSetsFilesOfEndedRunsAreRemoved) {
  TempDir dir;
  const std::string dead = std::to_string(EndedProcess());
  const std::string live = std::to_string(::getpid());
  const std::string removable[] = {
      "run.out.kinvalo-" + dead + "-0000000000009a8b.tmp",
      "run.txt.kinvalo-" + dead + "-0000000000000001.tmp",
      "run.var.kinvalo-" + dead + "-ffffffffffffffff.tmp",
      "run.inp.kinvalo-" + dead + "-0000000000000002.tmp",
  };
  const std::string kept[] = {
      // a run still writing, in this very process
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
  std::filesystem::create_directory(dir / ("run.txt.kinvalo-" + dead + "-0000000000000003.tmp"));

  const std::vector<std::string> removed = RemoveLeftovers(dir / "run.inp");

  EXPECT_EQ(removed.size(), std::size(removable));
  for (const std::string& name : removable) EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
  for (const std::string& name : kept) EXPECT_EQ(test::ReadBytes(dir / name), "keep " + name) << name;
  EXPECT_TRUE(std::filesystem::is_directory(dir / ("run.txt.kinvalo-" + dead + "-0000000000000003.tmp")))
      << "a folder of that name is not a file this program made";
}

TEST(Leftovers, ALiveIdOlderThanADayIsTakenForAReusedOne) {
  TempDir dir;
  const std::string live = std::to_string(::getpid());
  const std::string old = "run.out.kinvalo-" + live + "-0000000000000001.tmp";
  const std::string fresh = "run.var.kinvalo-" + live + "-0000000000000002.tmp";
  test::WriteBytes(dir / old, "x");
  test::WriteBytes(dir / fresh, "x");
  const auto now = std::filesystem::file_time_type::clock::now();
  std::filesystem::last_write_time(dir / old, now - std::chrono::hours(25));
  std::filesystem::last_write_time(dir / fresh, now - std::chrono::hours(23));

  RemoveLeftovers(dir / "run.inp");
  EXPECT_EQ(dir.Listing(), fresh + " ");
}

TEST(Leftovers, ALinkInPlaceOfALeftoverIsLeftAndItsTargetUntouched) {
  TempDir dir;
  const std::string dead = std::to_string(EndedProcess());
  test::WriteBytes(dir / "precious", "keep");
  std::filesystem::create_symlink(dir / "precious", dir / ("run.out.kinvalo-" + dead + "-0000000000000001.tmp"));
  RemoveLeftovers(dir / "run.inp");
  EXPECT_EQ(test::ReadBytes(dir / "precious"), "keep");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / ("run.out.kinvalo-" + dead + "-0000000000000001.tmp")));
}

TEST(Leftovers, AFolderThatIsNotThereIsNoError) {
  EXPECT_TRUE(RemoveLeftovers("/nonexistent-folder-of-kinvalo/run.inp").empty());
}

}  // namespace
}  // namespace kinvalo
