#include "cli/batch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>

#include "support/cli_process.h"
#include "support/file_faults.h"

namespace kinvalo {
namespace {

using test::ReadBytes;
using test::TempDir;

void CopyExample(const TempDir& dir, const std::string& name, const std::string& as) {
  std::filesystem::copy_file(std::string(KINVALO_EXAMPLES) + "/" + name + ".inp", dir / (as + ".inp"));
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
void PrintTo(const Golden& g, std::ostream* os) { *os << g.name; }

class GoldenFiles : public ::testing::TestWithParam<Golden> {};

TEST_P(GoldenFiles, CalculateWritesTheExpectedFilesByteForByte) {
  const Golden& g = GetParam();
  const std::string base = g.name;
  TempDir dir;
  CopyExample(dir, base, base);
  const std::string before = ReadBytes(dir / (base + ".inp"));
  const test::CliRun run = test::RunCli(dir, "calculate " + base + ".inp" + g.options);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, g.err);
  EXPECT_EQ(ReadBytes(dir / (base + ".inp")), before) << "the input file is never rewritten";
  for (const std::string extension : {".out", ".var", ".txt"}) {
    if (extension == ".txt" && !g.hasTxt) continue;
    EXPECT_EQ(ReadBytes(dir / (base + extension)), Expected(base + extension, dir)) << extension;
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

// Through the real binary, in the folder of its files: every fault goes to
// standard error, every result to standard output. A refused run exits with
// 1 and writes nothing, a wrong command line with 2. Values up to 1E+100
// are taken. "--" ends the options, so that a file name may begin with '-'
// (or be "--help"); without it such a name is an unknown option.
TEST(Cli, RunsShowTheirMessagesAndRefusalsExitWithOne) {
  TempDir dir;
  // Eighteen data sets with `distinct` X values; the sixth Y as given.
  auto inp = [&](const char* name, int distinct, const std::string& y6, const std::string& more = "") {
    std::string text = "t1\r\nt2\r\n File name:  x\r\n Number of independent variables:  1\r\n"
                       " Number of data sets:  18\r\n\r\n\r\nh\r\nh\r\nh\r\nh\r\n";
    for (int i = 0; i < 18; ++i) {
      text += std::to_string(i + 1) + " " + (i == 5 ? y6 : std::to_string(i)) + " " + std::to_string(i % distinct) + "\r\n";
    }
    test::WriteBytes(dir / name, text + more);
  };
  inp("few.inp", 9, "5");
  inp("bad.inp", 9, "5", "19 2,5 3\r\n");
  inp("edge.inp", 18, "1e100");
  inp("over.inp", 18, "1.0000000001e100");
  CopyExample(dir, "salinity", "salinity");
  CopyExample(dir, "salinity", "-salinity");
  auto results = [&](const std::string& base) {
    return "Results of " + (dir / (base + ".inp")) + ":\n  " + (dir / (base + ".out")) + "\n  " +
           (dir / (base + ".txt")) + "\n  " + (dir / (base + ".var")) + "\n  " + (dir / (base + ".lsq")) + "\n";
  };
  const std::string open = "\"could not be opened. It may be in use by another program,  or the programmer should "
                           "incorporate more time. The system reports: No such file or directory.\n";
  struct Run {
    std::string arguments;
    int status;
    std::string out, err;  // err: the whole of it, or for a usage its end
  };
  std::vector<Run> runs = {
      {"calculate few.inp", 1, "", "Due to scarcity of differing X-values the partial regression could not be done.\n"},
      {"calculate absent.inp", 1, "", "The file \"" + (dir / "absent.inp") + open},
      {"calculate bad.inp --prefer 3", 1, "",
       "A program error occurred.Real numbers in the inputfile \"" + (dir / "bad.inp") + "\" are corrupt\n"},
      {"calculate salinity.inp --prefer 4 --confidence 98", 0, results("salinity"), "Type 4 could not be found\n"},
      {"calculate over.inp", 1, "",
       "The database is not fit for regression analysis. There are values beyond 1E+100 or below -1E+100. "
       "Please correct the input file.\n"},
      {"calculate edge.inp", 0, results("edge"), ""},
      {"calculate -salinity.inp", 2, "", "Try 'kinvalo-cli --help' for more.\n"},
      {"calculate --confidence 95 -- -salinity.inp", 0, results("-salinity"), ""},
      {"calculate -- --help", 1, "", "The file \"" + (dir / "--help") + open},
  };
  for (const auto& c : test::UnreadableFiles(dir, ".inp")) runs.push_back({"calculate " + c.path, 1, "", c.message + "\n"});
  for (const Run& r : runs) {
    const test::CliRun run = test::RunCli(dir, r.arguments);
    EXPECT_EQ(run.status, r.status) << r.arguments;
    EXPECT_EQ(run.out, r.out) << r.arguments;
    if (r.status == 2) EXPECT_TRUE(run.err.ends_with(r.err)) << r.arguments << "\n" << run.err;
    else EXPECT_EQ(run.err, r.err) << r.arguments;
  }
  EXPECT_EQ(dir.Listing(), "-salinity.inp -salinity.lsq -salinity.out -salinity.txt -salinity.var bad.inp big.inp "
                           "edge.inp edge.lsq edge.out edge.txt edge.var few.inp fifo.inp folder.inp over.inp "
                           "salinity.inp salinity.lsq salinity.out salinity.txt salinity.var ");
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
      {"compute", "a.inp"},   {"calculate", "a.csv", "--y"},           {"calculate", "a.inp", "--fast"},
      {"calculate", "run.out"}, {"calculate", "results.TXT"},          {"graph"},
      {"graph", "a.out"},     {"graph", "a.out", "a.jpg"},             {"graph", "a.out", "a.bmp", "--colour"},
      {"graph", "a.out", "a.bmp", "b.bmp"}, {"calculate", "--"},       {"calculate", "a.inp", "b.lsq"},
      {"calculate", "a.inp", "-j", "0"},    {"calculate", "a.inp", "-jx"}, {"--quiet", "calculate", "a.inp", "--json"},
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

}  // namespace
}  // namespace kinvalo
