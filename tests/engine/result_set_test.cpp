// The result files of a calculation change as one set: a failure leaves
// the earlier set as it was, and the run reports it.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "cli/batch.h"
#include "support/engine_fixture.h"
#include "support/file_faults.h"

namespace kinvalo {
namespace {

using test::FileFault;
using test::VisibleFiles;

double Threshold(double x) { return x < 20 ? 10 : 10 + 0.5 * (x - 20); }
double Plateau(double x) { return x < 25 ? 5 + 0.8 * x : 25; }

class ResultSetTest : public test::EngineTest {
 protected:
  // The set of an earlier run: .lsq, .out, .txt and .var.
  std::map<std::string, std::string> EarlierSet() {
    Generate(40, 1, 1, Threshold);
    Calculate();
    EXPECT_EQ(dir.Listing(), "run.lsq run.out run.txt run.var ");
    Generate(40, 1, 1, Plateau);  // the data of the run that fails
    return VisibleFiles(dir);
  }
  std::string Path(const char* extension) const { return dir / (std::string("run") + extension); }
  mode_t Mode(const char* extension) const {
    struct stat st {};
    EXPECT_EQ(::stat(Path(extension).c_str(), &st), 0);
    return st.st_mode & 07777;
  }
};

struct RunFault {
  const char* name;
  FileStep step;
  const char* file;  // the extension of the file that fails
  int error;
  const char* doing;
};

void PrintTo(const RunFault& c, std::ostream* os) { *os << c.name; }

class ResultSetFaultTest : public ResultSetTest, public ::testing::WithParamInterface<RunFault> {};

// A full disk or a lost file anywhere in the run: the error names the file
// and the cause, and every earlier result file is as it was; before any
// run nothing is left at all.
TEST_P(ResultSetFaultTest, KeepsTheEarlierSetAndReportsTheFailure) {
  const RunFault& c = GetParam();
  for (const bool earlier : {true, false}) {
    std::map<std::string, std::string> before;
    if (earlier) {
      before = EarlierSet();
    } else {
      Generate(40, 1, 1, Plateau);
    }
    FileFault fault(c.step, 1, c.error, c.file);
    EXPECT_EQ(test::Thrown([&] { Calculate(); }),
              "The file \"" + Path(c.file) + "\" could not be " + c.doing + " (" + std::strerror(c.error) + ").");
    EXPECT_TRUE(fault.Struck());
    EXPECT_EQ(VisibleFiles(dir), before);
    EXPECT_EQ(test::TemporaryFiles(dir.path()), 0) << dir.Listing();
    for (const char* extension : {".lsq", ".out", ".txt", ".var"}) std::filesystem::remove(Path(extension));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Calculation, ResultSetFaultTest,
    ::testing::Values(RunFault{"DiskFullWhileTheVarianceTableIsWritten", FileStep::Write, ".var", ENOSPC, "written"},
                      RunFault{"DiskFullInTheReport", FileStep::Write, ".out", ENOSPC, "written"},
                      RunFault{"DiskFullInTheExplanationTable", FileStep::Write, ".txt", ENOSPC, "written"},
                      RunFault{"DiskFullInTheLeastSquaresReport", FileStep::Write, ".lsq", ENOSPC, "written"},
                      RunFault{"VarianceFileCannotBeCreated", FileStep::Create, ".var", EACCES, "created"},
                      RunFault{"ReportNotOnTheDisk", FileStep::Sync, ".out", EIO, "written"},
                      RunFault{"ReportCannotBePutInPlace", FileStep::Rename, ".out", EIO, "put in place"}),
    [](const auto& info) { return std::string(info.param.name); });

// The batch command says so and ends with status 1, naming no result.
TEST_F(ResultSetTest, TheBatchCommandReportsAFullDiskWithStatusOne) {
  std::filesystem::copy_file(std::string(KINVALO_EXAMPLES) + "/salinity.inp", dir / "salinity.inp");
  FileFault full(FileStep::Write, 1, ENOSPC, ".var");
  std::ostringstream out, err;
  EXPECT_EQ(RunBatch({"calculate", dir / "salinity.inp"}, out, err), 1);
  EXPECT_EQ(err.str(), "The file \"" + dir / "salinity.var" + "\" could not be written (No space left on device).\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(dir.Listing(), "salinity.inp ");
}

// A straight-line result removes the earlier explanation table as part of
// its set: not when the set fails, and only then when it succeeds.
TEST_F(ResultSetTest, AResultWithoutExplanationRemovesTheOldTableWithItsSet) {
  const auto before = EarlierSet();
  Generate(40, 1, 1, [](double x) { return 3 + 0.7 * x; });
  {
    FileFault fault(FileStep::Rename, 1, EIO, ".out");
    EXPECT_THROW(Calculate(), std::runtime_error);
    EXPECT_EQ(VisibleFiles(dir), before);
  }
  Calculate();
  EXPECT_EQ(result.type, FunctionType::StraightLine);
  EXPECT_EQ(dir.Listing(), "run.lsq run.out run.var ");
}

// Data the search refuses leave no least-squares report of earlier data
// beside them; the other files stay as they were.
TEST_F(ResultSetTest, RefusedDataRemoveTheEarlierLeastSquaresReport) {
  auto before = EarlierSet();
  Generate(40, 1, 0, Threshold);  // one X value
  Calculate();
  ASSERT_TRUE(result.refusal);
  before.erase("run.lsq");
  EXPECT_EQ(VisibleFiles(dir), before);
}

// Result files keep the protection the user gave them: the mode of a
// private file, the link to a file kept elsewhere. A read-only one stops
// the run with the open-failure message before any file changes.
TEST_F(ResultSetTest, KeepsTheProtectionOfTheResultFiles) {
  const auto before = EarlierSet();
  ASSERT_EQ(::chmod(Path(".var").c_str(), 0600), 0);
  ASSERT_EQ(::chmod(Path(".txt").c_str(), 0640), 0);
  std::filesystem::create_directory(dir / "kept");
  std::filesystem::rename(Path(".out"), dir / "kept/report.out");
  std::filesystem::create_symlink("kept/report.out", Path(".out"));
  Calculate();
  EXPECT_EQ(Mode(".var"), 0600u);
  EXPECT_EQ(Mode(".txt"), 0640u);
  EXPECT_TRUE(std::filesystem::is_symlink(Path(".out")));
  EXPECT_NE(test::ReadBytes(dir / "kept/report.out"), before.at("run.out"));
  EXPECT_EQ(test::ReadBytes(dir / "kept/report.out").substr(0, 20), before.at("run.out").substr(0, 20));
  EXPECT_EQ(test::TemporaryFiles(dir / "kept"), 0);

  const auto protectedSet = VisibleFiles(dir);
  const std::string keptReport = test::ReadBytes(dir / "kept/report.out");
  ASSERT_EQ(::chmod(Path(".txt").c_str(), 0444), 0);
  Generate(40, 1, 1, Threshold);
  EXPECT_EQ(test::Thrown([&] { Calculate(); }), OpenFailureMessage(Path(".txt")));
  EXPECT_EQ(VisibleFiles(dir), protectedSet);
  EXPECT_EQ(test::ReadBytes(dir / "kept/report.out"), keptReport);
  EXPECT_EQ(Mode(".txt"), 0444u);
  EXPECT_EQ(test::TemporaryFiles(dir.path()), 0) << dir.Listing();
}

// An input file whose name takes 250 bytes calculates like any other.
TEST_F(ResultSetTest, AnInputNameOf250BytesCalculates) {
  const std::string base(246, 'k');
  dm.FileName = dir / (base + ".inp");
  Generate(40, 1, 1, Threshold);
  Calculate();
  EXPECT_EQ(dir.Listing(), base + ".lsq " + base + ".out " + base + ".txt " + base + ".var ");
  EXPECT_NE(test::ReadBytes(dir / (base + ".var")).find(" File Name : " + base + ".var"), std::string::npos);
}

}  // namespace
}  // namespace kinvalo
