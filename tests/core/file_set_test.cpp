#include "core/file_set.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

using test::FileFault;
using test::TempDir;
using test::VisibleFiles;

using Files = std::map<std::string, std::string>;

// The set of a run: the .var and the .out rewritten, the .txt removed.
void WriteSet(const TempDir& dir) {
  FileSet set;
  set.Stage(dir / "run.var").WriteLine("new var");
  set.Remove(dir / "run.txt");
  TextWriter& out = set.Stage(dir / "run.out");
  out.WriteLine("new out");
  out.WriteLine("second line");
  set.Commit();
}

const Files kOld = {{"run.out", "old out"}, {"run.txt", "old txt"}, {"run.var", "old var"}};
const Files kNew = {{"run.out", "new out\r\nsecond line\r\n"}, {"run.var", "new var\r\n"}};

void Put(const TempDir& dir, const Files& files) {
  for (const auto& [name, bytes] : files) test::WriteBytes(dir / name, bytes);
}

struct FaultCase {
  const char* name;
  FileStep step;
  int nth;
  int error;
  const char* file;    // the file the message names
  const char* doing;   // "written", "put in place", ...
  bool oldSetOnly;     // the step is reached only when there are old files
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class FileSetFaultTest : public ::testing::TestWithParam<FaultCase> {};

// Whatever step fails, the folder holds the old set byte for byte (or,
// before there was one, nothing), no temporary file is left, and the error
// names the file and the cause.
TEST_P(FileSetFaultTest, LeavesTheOldSetWholeAndSaysWhy) {
  const FaultCase& c = GetParam();
  for (const Files& before : {kOld, Files{}}) {
    if (c.oldSetOnly && before.empty()) continue;
    TempDir dir;
    Put(dir, before);
    FileFault fault(c.step, c.nth, c.error);
    EXPECT_EQ(test::Thrown([&] { WriteSet(dir); }),
              "The file \"" + dir / c.file + "\" could not be " + c.doing + " (" + std::strerror(c.error) + ").");
    EXPECT_TRUE(fault.Struck());
    EXPECT_EQ(VisibleFiles(dir), before);
    EXPECT_EQ(test::TemporaryFiles(dir.path()), 0) << dir.Listing();
  }
}

INSTANTIATE_TEST_SUITE_P(
    FileSet, FileSetFaultTest,
    ::testing::Values(
        FaultCase{"SecondTemporaryCannotBeCreated", FileStep::Create, 2, ENOSPC, "run.out", "created", false},
        FaultCase{"DiskFullWhileWriting", FileStep::Write, 3, ENOSPC, "run.out", "written", false},
        FaultCase{"DiskFullWhenFlushed", FileStep::Flush, 2, ENOSPC, "run.out", "written", false},
        FaultCase{"SyncFails", FileStep::Sync, 1, EIO, "run.var", "written", false},
        FaultCase{"CloseFails", FileStep::Close, 2, EDQUOT, "run.out", "written", false},
        FaultCase{"FirstRenameFails", FileStep::Rename, 1, EACCES, "run.var", "put in place", false},
        FaultCase{"BackupFails", FileStep::Backup, 2, EMLINK, "run.txt", "put in place", true},
        FaultCase{"RemovalFails", FileStep::Rename, 2, EBUSY, "run.txt", "removed", true},
        FaultCase{"LastRenameFailsAndTheOthersAreRestored", FileStep::Rename, 3, EIO, "run.out",
                  "put in place", true}),
    [](const auto& info) { return std::string(info.param.name); });

// A process killed between any two steps leaves the old set to a reader
// until the renames begin, and the new one once they are done; a file
// there is either its old or its new self.
TEST(FileSet, AKillBeforeTheRenamesLeavesTheOldSet) {
  TempDir dir;
  Put(dir, kOld);
  bool renaming = false;
  int checked = 0;
  SetFileFaultHookForTesting([&](FileStep step, const std::string&) {
    if (step == FileStep::Rename) renaming = true;
    const Files seen = VisibleFiles(dir);
    if (!renaming) {
      EXPECT_EQ(seen, kOld);
    } else {
      for (const auto& [name, bytes] : seen) {
        const bool old = kOld.count(name) && kOld.at(name) == bytes;
        const bool fresh = kNew.count(name) && kNew.at(name) == bytes;
        EXPECT_TRUE(old || fresh) << name;
      }
    }
    ++checked;
    return 0;
  });
  WriteSet(dir);
  SetFileFaultHookForTesting({});
  EXPECT_GT(checked, 10);
  EXPECT_EQ(VisibleFiles(dir), kNew);
  EXPECT_EQ(test::TemporaryFiles(dir.path()), 0) << dir.Listing();
}

// When a rename fails and an old file cannot be put back, it stays under
// a temporary name rather than be lost.
TEST(FileSet, AnOldFileThatCannotBePutBackIsKept) {
  TempDir dir;
  Put(dir, kOld);
  int renames = 0;
  SetFileFaultHookForTesting([&](FileStep step, const std::string& path) {
    if (step == FileStep::Rename && ++renames == 3) return EIO;
    return step == FileStep::Restore && path == dir / "run.var" ? EIO : 0;
  });
  EXPECT_THROW(WriteSet(dir), std::runtime_error);
  SetFileFaultHookForTesting({});
  int kept = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (IsKinvaloTemporaryName(entry.path().filename().string())) {
      EXPECT_EQ(test::ReadBytes(entry.path().string()), "old var");
      ++kept;
    }
  }
  EXPECT_EQ(kept, 1) << dir.Listing();
  EXPECT_EQ(test::ReadBytes(dir / "run.txt"), "old txt");
  EXPECT_EQ(test::ReadBytes(dir / "run.out"), "old out");
}

TEST(FileSet, DroppedWithoutCommitLeavesEveryTarget) {
  TempDir dir;
  Put(dir, kOld);
  FileSet{}.Stage(dir / "run.var").WriteLine("new var");
  FileSet{}.Remove(dir / "run.txt");
  EXPECT_EQ(dir.Listing(), "run.out run.txt run.var ");
  EXPECT_EQ(VisibleFiles(dir), kOld);
}

}  // namespace
}  // namespace kinvalo
