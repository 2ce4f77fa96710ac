#include "cli/batch.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace kinvalo {
namespace {

using test::ReadBytes;
using test::TempDir;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

// Runs the real kinvalo-cli, as a user or a script does.
CliRun RunCli(const TempDir& dir, const std::string& arguments) {
  const std::string out = dir / "stdout.log";
  const std::string err = dir / "stderr.log";
  const std::string command = "cd '" + dir.path().string() + "' && '" KINVALO_CLI "' " + arguments +
                              " >'" + out + "' 2>'" + err + "'";
  const int raw = std::system(command.c_str());
  CliRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(out), ReadBytes(err)};
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

void CopyExample(const TempDir& dir, const std::string& name) {
  std::filesystem::copy_file(std::string(KINVALO_EXAMPLES) + "/" + name + ".inp", dir / (name + ".inp"));
}

std::string Expected(const std::string& file, const TempDir& dir) {
  std::string text = ReadBytes(std::string(KINVALO_TEST_DATA) + "/" + file);
  const size_t at = text.find("@DIR@");
  if (at != std::string::npos) text.replace(at, 5, dir.path().string());
  return text;
}

struct Golden {
  const char* name;
  const char* options;
  bool hasTxt;
  const char* err;
  bool lsqGolden = false;  // the least-squares report is kept too
};

class GoldenFiles : public ::testing::TestWithParam<Golden> {};

TEST_P(GoldenFiles, CalculateWritesTheExpectedFilesByteForByte) {
  const Golden& g = GetParam();
  TempDir dir;
  CopyExample(dir, g.name);
  const std::string input = dir / (std::string(g.name) + ".inp");
  const std::string before = ReadBytes(input);
  const CliRun run = RunCli(dir, std::string("calculate ") + g.name + ".inp" + g.options);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, g.err);
  EXPECT_EQ(ReadBytes(input), before) << "the input file is never rewritten";
  const std::string base = g.name;
  EXPECT_EQ(ReadBytes(dir / (base + ".out")), Expected(base + ".out", dir));
  EXPECT_EQ(ReadBytes(dir / (base + ".var")), Expected(base + ".var", dir));
  if (g.hasTxt) {
    EXPECT_EQ(ReadBytes(dir / (base + ".txt")), Expected(base + ".txt", dir));
  }
  if (g.lsqGolden) {
    EXPECT_EQ(ReadBytes(dir / (base + ".lsq")), Expected(base + ".lsq", dir));
  }
  EXPECT_EQ(dir.Listing(),
            base + ".inp " + base + ".lsq " + base + ".out " + (g.hasTxt ? base + ".txt " : "") + base + ".var ");
  EXPECT_NE(run.out.find(dir / (base + ".out")), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, GoldenFiles,
    ::testing::Values(Golden{"salinity", "", true, "", true},
                      Golden{"fertiliser", " --prefer best --confidence 90", true, ""},
                      Golden{"straight", "", false, "No horizontal segment found.\n"}),
    [](const ::testing::TestParamInfo<Golden>& info) { return std::string(info.param.name); });

// Messages go to standard error; a refused run exits with 1 and writes
// nothing. Values up to 1E+100 are taken.
TEST(Cli, RunsShowTheirMessagesAndRefusalsExitWithOne) {
  TempDir dir;
  // Eighteen data sets with `distinct` X values; the sixth Y as given.
  auto inp = [](int distinct, const std::string& y6) {
    std::string text = "t1\r\nt2\r\n File name:  x\r\n Number of independent variables:  1\r\n"
                       " Number of data sets:  18\r\n\r\n\r\nh\r\nh\r\nh\r\nh\r\n";
    for (int i = 0; i < 18; ++i) {
      text += std::to_string(i + 1) + " " + (i == 5 ? y6 : std::to_string(i)) + " " + std::to_string(i % distinct) + "\r\n";
    }
    return text;
  };
  test::WriteBytes(dir / "few.inp", inp(9, "5"));
  test::WriteBytes(dir / "bad.inp", inp(9, "5") + "19 2,5 3\r\n");
  test::WriteBytes(dir / "edge.inp", inp(18, "1e100"));
  test::WriteBytes(dir / "over.inp", inp(18, "1.0000000001e100"));
  CopyExample(dir, "salinity");
  const struct {
    const char* arguments;
    int status;
    std::string err;
  } runs[] = {
      {"calculate few.inp", 1, "Due to scarcity of differing X-values the partial regression could not be done.\n"},
      {"calculate absent.inp", 1,
       "The file \"" + (dir / "absent.inp") +
           "\"could not be opened. It may be in use by another program,  or the programmer should incorporate "
           "more time. The system reports: No such file or directory.\n"},
      {"calculate bad.inp --prefer 3", 1,
       "A program error occurred.Real numbers in the inputfile \"" + (dir / "bad.inp") + "\" are corrupt\n"},
      {"calculate salinity.inp --prefer 4 --confidence 98", 0, "Type 4 could not be found\n"},
      {"calculate over.inp", 1,
       "The database is not fit for regression analysis. There are values beyond 1E+100 or below -1E+100. "
       "Please correct the input file.\n"},
      {"calculate edge.inp", 0, ""},
  };
  for (const auto& r : runs) {
    const CliRun run = RunCli(dir, r.arguments);
    EXPECT_EQ(run.status, r.status) << r.arguments;
    EXPECT_EQ(run.err, r.err) << r.arguments;
  }
  EXPECT_EQ(dir.Listing(), "bad.inp edge.inp edge.lsq edge.out edge.txt edge.var few.inp over.inp salinity.inp "
                           "salinity.lsq salinity.out salinity.txt salinity.var ");
  EXPECT_NE(ReadBytes(dir / "salinity.out")
                .find(" Minimum confidence % : 98\r\n X-type excluded: 4 \r\n X-type preferred: 4 \r\n"),
            std::string::npos);
}

// A wrong command line says so on standard error, with the usage, and
// exits with 2; standard output stays empty. Help goes to standard output.
TEST(Cli, UsageErrorsGoToStandardErrorAndHelpToStandardOutput) {
  const std::vector<std::vector<std::string>> wrong{
      {},
      {"calculate"},          {"calculate", "a.inp", "--prefer", "5"}, {"calculate", "a.inp", "--confidence"},
      {"compute", "a.inp"},   {"calculate", "a.inp", "b.inp"},         {"calculate", "a.inp", "--fast"},
      {"calculate", "run.out"}, {"calculate", "results.TXT"},          {"graph"},
      {"graph", "a.out"},     {"graph", "a.out", "a.jpg"},             {"graph", "a.out", "a.bmp", "--colour"},
      {"graph", "a.out", "a.bmp", "b.bmp"}, {"calculate", "--"},       {"calculate", "a.inp", "--", "b.inp"},
      {"calculate", "--", "-a.out"},        {"graph", "--", "a.out"},  {"graph", "a.out", "--", "-a.jpg"}};
  for (const std::vector<std::string>& args : wrong) {
    const std::string shown = args.empty() ? "(nothing)" : args.back();
    std::ostringstream o, e;
    EXPECT_EQ(RunBatch(args, o, e), 2) << shown;
    EXPECT_NE(e.str().find("Usage: kinvalo-cli"), std::string::npos) << shown;
    EXPECT_NE(e.str().find("Try 'kinvalo-cli --help' for more."), std::string::npos) << shown;
    EXPECT_EQ(o.str(), "") << shown;
  }
  std::ostringstream help, none;
  EXPECT_EQ(RunBatch({"calculate", "a.inp", "--help"}, help, none), 0);
  EXPECT_NE(help.str().find("--prefer 3|4|best"), std::string::npos);
  EXPECT_NE(help.str().find("Exit status"), std::string::npos);
  EXPECT_EQ(none.str(), "");
}

// Through the real binary: "--" ends the options, so that a file name may
// begin with '-' (or be "--help"); without it such a name is an unknown
// option. Every fault is on standard error, every result on standard output.
TEST(Cli, DoubleDashEndsTheOptionsAndFaultsGoToStandardError) {
  TempDir dir;
  std::filesystem::copy_file(std::string(KINVALO_EXAMPLES) + "/salinity.inp", dir / "-salinity.inp");
  std::filesystem::create_directory(dir / "x.inp");
  ASSERT_EQ(::mkfifo((dir / "fifo.inp").c_str(), 0600), 0);
  const std::string tooLong = std::string(300, 'n') + ".inp";
  const std::string usage = "Try 'kinvalo-cli --help' for more.\n";
  const struct {
    std::string arguments;
    int status;
    std::string out, err;  // err: the whole of it, or its end for a usage
  } runs[] = {
      {"calculate -salinity.inp", 2, "", usage},
      {"calculate --confidence 95 -- -salinity.inp", 0,
       "Results of " + (dir / "-salinity.inp") + ":\n  " + (dir / "-salinity.out") + "\n  " +
           (dir / "-salinity.txt") + "\n  " + (dir / "-salinity.var") + "\n  " + (dir / "-salinity.lsq") + "\n",
       ""},
      {"calculate -- --help", 1, "",
       "The file \"" + (dir / "--help") + "\"could not be opened. It may be in use by another program,  or the "
       "programmer should incorporate more time. The system reports: No such file or directory.\n"},
      {"calculate x.inp", 1, "", "The file \"" + (dir / "x.inp") + "\" could not be read: it is a folder.\n"},
      {"calculate fifo.inp", 1, "", "The file \"" + (dir / "fifo.inp") + "\" could not be read: it is not a regular file.\n"},
      {"calculate /dev/zero", 1, "", "The file \"/dev/zero\" could not be read: it is not a regular file.\n"},
      {"calculate " + tooLong, 1, "", "The file \"" + (dir / tooLong) + "\" could not be opened: File name too long.\n"},
  };
  for (const auto& r : runs) {
    const CliRun run = RunCli(dir, r.arguments);
    EXPECT_EQ(run.status, r.status) << r.arguments;
    EXPECT_EQ(run.out, r.out) << r.arguments;
    if (r.status == 2) EXPECT_TRUE(run.err.ends_with(r.err)) << r.arguments << "\n" << run.err;
    else EXPECT_EQ(run.err, r.err) << r.arguments;
  }
  // The graph command through its entry point: the binary's standard error
  // also holds what a sanitizer reports of the drawing libraries.
  std::ostringstream out, err;
  EXPECT_EQ(RunBatch({"graph", "--bw", "--", dir / "-salinity.out", dir / "-salinity.bmp"}, out, err), 0);
  EXPECT_EQ(out.str(), "Graph of " + (dir / "-salinity.out") + " written to " + (dir / "-salinity.bmp") + "\n");
  EXPECT_EQ(err.str(), "");
  std::ostringstream out2, err2;
  EXPECT_EQ(RunBatch({"graph", dir / "x.inp", dir / "a.bmp"}, out2, err2), 1);
  EXPECT_EQ(out2.str(), "");
  EXPECT_EQ(err2.str(), "The file \"" + (dir / "x.inp") + "\" could not be read: it is a folder.\n");
  EXPECT_EQ(dir.Listing(),
            "-salinity.bmp -salinity.inp -salinity.lsq -salinity.out -salinity.txt -salinity.var fifo.inp x.inp ");
}

}  // namespace
}  // namespace kinvalo
