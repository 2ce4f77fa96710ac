// kinvalo-cli calculate with data files of columns and with several files,
// through the real binary in the folder of its files.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/version.h"
#include "support/cli_process.h"

namespace kinvalo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// As a spreadsheet with a decimal comma saves it; row F has no Y.
const char* const kTrial =
    "Plot;Yield;Salinity\r\nA;10,2;1\r\nB;9,8;2\r\nC;10,1;3\r\nD;9,9;4\r\nE;10;5\r\nF;n/a;6\r\n"
    "G;9,1;6,5\r\nH;7,9;7\r\nI;6,1;8\r\nJ;4,2;9\r\nK;1,9;10\r\nL;0,2;11\r\n";
const char* const kLeftOut = "1 row was left out because Y or X is empty or not a number: row 7.\n";

std::string TrialInput(const TempDir& dir, const std::string& title1) {
  return title1 + "\r\nFrom trial.csv\r\n File name:  " + (dir / "trial.inp") +
         "\r\n Number of independent variables:  1\r\n Number of data sets:  11\r\n\r\n\r\n"
         "          Dependent    independent\r\nSerial    variable     variable\r\nnumber    Y            X\r\n"
         "----------------------------------\r\n";
}

std::map<std::string, std::string> Files(const TempDir& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    files[entry.path().filename().string()] = ReadBytes(entry.path().string());
  }
  return files;
}

TEST(CliDataFiles, AreWrittenAsTheirInputFileAndCalculatedAsIt) {
  TempDir dir;
  WriteBytes(dir / "trial.csv", kTrial);
  WriteBytes(dir / "one.csv", "Plot,Yield\nA,1\nB,2\n");
  WriteBytes(dir / "few.tsv", "1\t2\n3\t4\n");
  WriteBytes(dir / "image.dat", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
  const std::string rows =
      "    1      10.20         1.00\r\n    2       9.80         2.00\r\n    3      10.10         3.00\r\n"
      "    4       9.90         4.00\r\n    5      10.00         5.00\r\n    6       9.10         6.50\r\n"
      "    7       7.90         7.00\r\n    8       6.10         8.00\r\n    9       4.20         9.00\r\n"
      "   10       1.90        10.00\r\n   11       0.20        11.00\r\n";
  const std::string byDefault = TrialInput(dir, "Yield against Salinity") + rows;
  auto listed = [&](bool txt) {
    return "Results of " + (dir / "trial.csv") + ":\n  " + (dir / "trial.inp") + "\n  " + (dir / "trial.out") +
           "\n  " + (txt ? (dir / "trial.txt") + "\n  " : "") + (dir / "trial.var") + "\n  " + (dir / "trial.lsq") +
           "\n";
  };
  const std::string results = listed(true);
  const std::string columns = "\" in \"" + (dir / "trial.csv") +
                              "\". Its columns are 1 \"Plot\", 2 \"Yield\" and 3 \"Salinity\".\n";
  struct Run {
    std::string arguments;
    int status;
    std::string out, err;
    std::string inp;  // trial.inp afterwards
    bool headerOnly = false;  // of it
  };
  const std::vector<Run> runs = {
      {"calculate trial.csv", 0, results, kLeftOut, byDefault},
      {"calculate trial.csv --y 2", 1, "",
       kLeftOut + ("The input file \"" + (dir / "trial.inp") + "\" exists already. Give --force to replace it.\n"),
       byDefault},
      {"calculate trial.csv --force --y 3 --x Yield", 0, listed(false),
       kLeftOut + std::string("No horizontal segment found.\n"),
       TrialInput(dir, "Salinity against Yield"), true},
      {"calculate --force trial.csv --x Salinity", 0, results, kLeftOut, byDefault},
      {"calculate trial.csv --force --y Salt", 1, "", "There is no column \"Salt" + columns, byDefault},
      {"calculate trial.csv --force --x 4", 1, "", "There is no column 4" + columns.substr(1), byDefault},
      {"calculate one.csv", 1, "",
       "The file \"" + (dir / "one.csv") + "\" has only one column of numbers, \"Yield\": Y and X need one each.\n",
       byDefault},
      {"calculate few.tsv", 1, "",
       "Only 2 rows of \"" + (dir / "few.tsv") + "\" have a number in both Y and X; at least 10 are needed.\n",
       byDefault},
      {"calculate image.dat", 1, "",
       "The file \"" + (dir / "image.dat") +
           "\" is not text but binary data. A spreadsheet must first be saved as CSV or as tab-separated text.\n",
       byDefault},
  };
  for (const Run& r : runs) {
    const test::CliRun run = test::RunCli(dir, r.arguments);
    EXPECT_EQ(run.status, r.status) << r.arguments;
    EXPECT_EQ(run.out, r.out) << r.arguments;
    EXPECT_EQ(run.err, r.err) << r.arguments;
    const std::string inp = ReadBytes(dir / "trial.inp");
    EXPECT_EQ(r.headerOnly ? inp.substr(0, r.inp.size()) : inp, r.inp) << r.arguments;
  }
  // The data file gives the very files that its input file gives.
  const std::map<std::string, std::string> fromData = Files(dir);
  EXPECT_EQ(test::RunCli(dir, "calculate trial.inp").status, 0);
  EXPECT_EQ(Files(dir), fromData);
  EXPECT_EQ(dir.Listing(),
            "few.tsv image.dat one.csv trial.csv trial.inp trial.lsq trial.out trial.txt trial.var ");
}

// Several files: one line each, in the order given, whatever finishes
// first; the messages after the name of their file; the worst status. Run
// side by side they write the same files, and a data file and the input
// file it writes never run at the same time.
TEST(CliSeveralFiles, OneLineEachInOrderAndTheSameFilesSideBySide) {
  TempDir dir;
  for (const char* name : {"salinity", "straight"}) {
    std::filesystem::copy_file(std::string(KINVALO_EXAMPLES) + "/" + name + ".inp", dir / (std::string(name) + ".inp"));
  }
  WriteBytes(dir / "trial.csv", kTrial);
  WriteBytes(dir / "one.csv", "Plot,Yield\nA,1\n");
  const std::map<std::string, std::string> before = Files(dir);
  const std::string arguments = "calculate salinity.inp one.csv straight.inp trial.csv trial.inp";
  const std::string lines =
      "salinity.inp: Type 3, breakpoint at X = 6.0706; salinity.out salinity.txt salinity.var salinity.lsq\n"
      "one.csv: not calculated\n"
      "straight.inp: Type 1, no breakpoint; straight.out straight.var straight.lsq\n"
      "trial.csv: Type 3, breakpoint at X = 6.5; trial.inp trial.out trial.txt trial.var trial.lsq\n"
      "trial.inp: Type 3, breakpoint at X = 6.5; trial.out trial.txt trial.var trial.lsq\n";
  const std::string messages = "one.csv: The file \"" + (dir / "one.csv") +
                               "\" has only one column of numbers, \"Yield\": Y and X need one each.\n"
                               "straight.inp: No horizontal segment found.\n"
                               "trial.csv: " + kLeftOut;
  std::map<std::string, std::string> oneAtATime;
  for (const char* jobs : {"", " -j 2", " -j4"}) {
    for (const auto& [name, bytes] : Files(dir)) {
      if (!before.contains(name)) std::filesystem::remove(dir / name);
    }
    const test::CliRun run = test::RunCli(dir, arguments + jobs);
    EXPECT_EQ(run.status, 1) << jobs;
    EXPECT_EQ(run.out, lines) << jobs;
    EXPECT_EQ(run.err, messages) << jobs;
    if (oneAtATime.empty()) oneAtATime = Files(dir);
    else EXPECT_EQ(Files(dir), oneAtATime) << jobs;
  }

  const test::CliRun json = test::RunCli(dir, "calculate salinity.inp one.csv --json");
  EXPECT_EQ(json.status, 1);
  const size_t end = json.out.find('\n');
  ASSERT_NE(end, std::string::npos);
  const nlohmann::json first = nlohmann::json::parse(json.out.substr(0, end));
  const nlohmann::json second = nlohmann::json::parse(json.out.substr(end + 1));
  EXPECT_EQ(first["file"], "salinity.inp");
  EXPECT_EQ(first["result"]["type"], 3);
  EXPECT_EQ(second["file"], "one.csv");
  EXPECT_EQ(second["result"], nullptr);
  EXPECT_EQ(second["messages"].size(), 1u);

  const test::CliRun quiet = test::RunCli(dir, "--quiet calculate salinity.inp straight.inp -j 2");
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, "straight.inp: No horizontal segment found.\n");
  const test::CliRun version = test::RunCli(dir, "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("kinvalo-cli ") + kVersion + "\n");
}

}  // namespace
}  // namespace kinvalo
