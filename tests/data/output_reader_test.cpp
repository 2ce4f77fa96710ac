// Reading output files back: the values the graphs draw from, older and
// hand-edited files, and files that are not output files at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/paths.h"
#include "data/app_state.h"
#include "data/output_reader.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

using test::ReadBytes;
using test::ScriptedPlatform;
using test::TempDir;
using test::WriteBytes;

std::string Golden(const std::string& name) {
  return ReadBytes(std::string(KINVALO_TEST_DATA) + "/" + name);
}

// Replaces the first occurrence of `from`; the test fails when it is absent.
std::string Edit(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

class OutputReaderTest : public ::testing::Test {
 protected:
  ScriptedPlatform platform;
  AppState s{platform};
  TempDir dir;

  void Read(const std::string& bytes, const std::string& name = "result.out") {
    s.DM.FileName = dir / name;
    WriteBytes(s.DM.FileName, bytes);
    ReadOutputFile(s);
  }
};

TEST_F(OutputReaderTest, Type3ResultGivesEveryValueTheGraphsUse) {
  Read(Golden("salinity.out"));
  ASSERT_FALSE(s.DM.NotOutputFile);
  EXPECT_TRUE(platform.messages.empty());
  const GraphState& g = s.Graph;
  EXPECT_EQ(s.DM.GraphKind, " Fun");
  EXPECT_EQ(g.FileType, 3);
  EXPECT_EQ(g.FileMethod, 2);
  EXPECT_DOUBLE_EQ(g.FileBreakPoint, 6.071);
  EXPECT_EQ(s.DM.Title1, " Wheat yield against soil salinity, 40 field plots");
  EXPECT_EQ(s.DM.Title2, " Y: relative grain yield (%), X: salinity of the soil extract ECe (dS/m)");
  EXPECT_DOUBLE_EQ(s.R.ConfidenceFactor, 1.75);
  // All data, then side 1 in the Graph* fields.
  EXPECT_DOUBLE_EQ(s.R.SlopeAllGraph, -4.91);
  EXPECT_DOUBLE_EQ(g.AvXAll, 7.697);
  EXPECT_DOUBLE_EQ(g.StErrSlopeAll, 0.252);
  EXPECT_DOUBLE_EQ(g.StDevResAll, 5.85);
  EXPECT_DOUBLE_EQ(g.StDevXAll, 3.77);
  EXPECT_DOUBLE_EQ(g.SSXAll, 3.77 * 3.77 * 40);
  EXPECT_DOUBLE_EQ(g.GraphN, 13);
  EXPECT_DOUBLE_EQ(g.GraphAvY, 101);
  EXPECT_DOUBLE_EQ(g.GraphAvX, 3.206);
  EXPECT_DOUBLE_EQ(g.SlopeBelow, -0.673);
  EXPECT_DOUBLE_EQ(g.GraphStErrSlope, 0.766);
  EXPECT_DOUBLE_EQ(g.StDevYBelow, 2.64);
  EXPECT_DOUBLE_EQ(g.GraphStDevRes, 2.55);
  EXPECT_DOUBLE_EQ(g.StDevXBelow, 1.01);
  EXPECT_DOUBLE_EQ(g.GraphN2, 27);
  EXPECT_DOUBLE_EQ(g.GraphAvY2, 72.6);
  EXPECT_DOUBLE_EQ(g.GraphAvX2, 9.86);
  EXPECT_DOUBLE_EQ(g.SlopeAbove, -6.92);
  EXPECT_DOUBLE_EQ(g.GraphStErrSlope2, 0.271);
  EXPECT_DOUBLE_EQ(g.StDevYAbove, 17.1);
  EXPECT_DOUBLE_EQ(g.GraphStDevRes2, 3.30);
  EXPECT_DOUBLE_EQ(g.StDevXAbove, 2.44);
  // Parameter table.
  EXPECT_DOUBLE_EQ(g.FileYbp, 101);
  EXPECT_DOUBLE_EQ(g.FileStErrBP, 0.867);
  EXPECT_DOUBLE_EQ(g.FileCoefExpl, 0.978);
  EXPECT_DOUBLE_EQ(g.GraphCoefExpl, 0.978);
  EXPECT_DOUBLE_EQ(s.R.CoefExplCombined, 0.978);
  EXPECT_DOUBLE_EQ(s.R.BPType3, 6.071);
  EXPECT_DOUBLE_EQ(s.R.ConfBPLeftType3, 5.613);
  EXPECT_DOUBLE_EQ(s.R.ConfBPRightType3, 6.851);
  EXPECT_DOUBLE_EQ(s.R.AvYType4, 72.6);
  EXPECT_DOUBLE_EQ(s.R.BPType4, 6.071);
  EXPECT_DOUBLE_EQ(s.R.ConfBPLeftType4, 5.613);
  EXPECT_DOUBLE_EQ(s.R.ConfBPRightType4, 6.851);
  EXPECT_DOUBLE_EQ(s.R.AvYType3, 0);  // no graph type set yet
  // Equations and observations.
  EXPECT_DOUBLE_EQ(g.FileSlopeA, 0);
  EXPECT_DOUBLE_EQ(g.FileSlopeAg, -7.45);
  ASSERT_EQ(s.DM.NrOfData, 40);
  ASSERT_EQ(s.DM.GraphXData.size(), 40u);
  EXPECT_DOUBLE_EQ(s.DM.GraphYData.front(), 99.4);
  EXPECT_DOUBLE_EQ(s.DM.GraphXData.front(), 1.49);
  EXPECT_DOUBLE_EQ(s.DM.GraphYCalc.front(), 101);
  EXPECT_DOUBLE_EQ(s.DM.GraphXData.back(), 13.87);
  EXPECT_TRUE(s.Controls.ExplainButtonEnabled);
}

TEST_F(OutputReaderTest, Type4ResultTakesTheOtherTypesLimitsFromTheLastRow) {
  Read(Golden("fertiliser.out"));
  ASSERT_FALSE(s.DM.NotOutputFile);
  EXPECT_EQ(s.Graph.FileType, 4);
  EXPECT_DOUBLE_EQ(s.Graph.FileBreakPoint, 121.0);
  EXPECT_DOUBLE_EQ(s.R.BPType4, 121.0);
  EXPECT_DOUBLE_EQ(s.R.ConfBPLeftType4, 108.9);
  EXPECT_DOUBLE_EQ(s.R.ConfBPRightType4, 130.9);
  EXPECT_DOUBLE_EQ(s.R.AvYType3, 0);
  EXPECT_DOUBLE_EQ(s.R.BPType3, 0);
  EXPECT_DOUBLE_EQ(s.R.ConfBPLeftType3, 0);
  EXPECT_DOUBLE_EQ(s.R.ConfBPRightType3, 22.0);
  EXPECT_DOUBLE_EQ(s.Graph.FileSlopeA, 0.037);
  EXPECT_DOUBLE_EQ(s.Graph.FileSlopeAg, 0);
  EXPECT_EQ(s.DM.NrOfData, 36);
}

TEST_F(OutputReaderTest, StraightLineResultReadsAsType1WithoutSides) {
  s.Graph.GraphN2 = 99;  // left from an earlier file
  Read(Golden("straight.out"));
  ASSERT_FALSE(s.DM.NotOutputFile);
  EXPECT_EQ(s.DM.GraphKind, " Fun");
  EXPECT_EQ(s.Graph.FileType, 1);
  EXPECT_DOUBLE_EQ(s.Graph.FileSlopeA, 0.196);
  EXPECT_DOUBLE_EQ(s.Graph.GraphN, 40);
  EXPECT_DOUBLE_EQ(s.Graph.GraphN2, 99);
  EXPECT_EQ(s.DM.NrOfData, 40);
}

// The levels of the equations are taken only once a graph of the type has
// been prepared, as the graph commands do between two reads.
TEST_F(OutputReaderTest, LevelsComeFromTheEquationsOfThePreparedGraphType) {
  s.Graph.GraphType = 3;
  Read(Golden("salinity.out"));
  EXPECT_DOUBLE_EQ(s.R.AvYType3, 101);
  s.Graph.GraphType = 4;
  Read(Golden("fertiliser.out"));
  EXPECT_DOUBLE_EQ(s.R.AvYType4, 6.73);
}

struct Variant {
  const char* name;
  const char* from;
  const char* to;
};

class OutputVariantTest : public OutputReaderTest, public ::testing::WithParamInterface<Variant> {};

TEST_P(OutputVariantTest, ReadsTheVariant) {
  Read(Edit(Golden("salinity.out"), GetParam().from, GetParam().to));
  ASSERT_FALSE(s.DM.NotOutputFile) << platform.messages.at(0);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(s.Graph.FileType, 3);
  EXPECT_EQ(s.DM.NrOfData, 40);
}

INSTANTIATE_TEST_SUITE_P(
    Salinity, OutputVariantTest,
    ::testing::Values(
        Variant{"AddedRows", "9.94E+001  1.490E+000   1.01E+002", "9.94E+001  1.490E+000   1.01E+002  Added"},
        Variant{"LfLineEnds", "\r\n", "\n"},
        Variant{"TrailingBlankLines", "4.48E+001\r\n", "4.48E+001\r\n\r\n  \r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OutputReaderTest, HeaderWithoutInputFileLineStillGivesTheTitles) {
  Read(Edit(Golden("salinity.out"), " Name of input file used :  salinity.inp\r\n\r\n", ""));
  EXPECT_EQ(s.DM.Title1, " Wheat yield against soil salinity, 40 field plots");
  EXPECT_DOUBLE_EQ(s.R.ConfidenceFactor, 1.75);
}

TEST_F(OutputReaderTest, TitlesComeBackWithSingleBlanks) {
  Read(Edit(Golden("salinity.out"), " Wheat yield against", " Wheat   yield  against"));
  EXPECT_EQ(s.DM.Title1, " Wheat yield against soil salinity, 40 field plots");
}

TEST_F(OutputReaderTest, ConfidenceFactorFollowsTheMinimumConfidence) {
  const struct {
    const char* percent;
    double factor;
  } rows[] = {{"90", 1.75}, {"95", 2.1}, {"98", 2.5}, {"nine", 1.75}, {"91", 2.1}};
  for (const auto& row : rows) {
    Read(Edit(Golden("salinity.out"), "Minimum confidence % : 90",
              std::string("Minimum confidence % : ") + row.percent));
    EXPECT_DOUBLE_EQ(s.R.ConfidenceFactor, row.factor) << row.percent;
  }
}

TEST_F(OutputReaderTest, BreakpointLimitsAreClampedToThirtyPercent) {
  Read(Edit(Golden("salinity.out"), "   5.613E+000           6.851E+000        7.26E+001",
            "   1.000E+000           9.000E+000        7.26E+001"));
  EXPECT_DOUBLE_EQ(s.R.ConfBPLeftType3, 0.7 * 6.071);
  EXPECT_DOUBLE_EQ(s.R.ConfBPRightType3, 1.3 * 6.071);
}

// An older file lacks the central explanation and both confidence rows.
TEST_F(OutputReaderTest, OlderFileFallsBackAndWarnsOncePerFile) {
  std::string older = Golden("salinity.out");
  older = Edit(older, "Expl. Coeff.  Central expl.", "Expl. Coeff.");
  older = Edit(older, "9.78E-001     9.78E-001", "9.78E-001");
  const size_t from = older.find("   Conf. BP left");
  const size_t to = older.find("\r\n\r\n\r\n SUMMARY");
  older.erase(from, to - from);
  s.R.BPType3 = 6.0;
  s.R.BPType4 = 10.0;
  Read(older);
  ASSERT_FALSE(s.DM.NotOutputFile);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0],
            "This is an older output file. Please do the calculations again from the input "
            "tabsheet.");
  EXPECT_DOUBLE_EQ(s.Graph.FileCoefExpl, 0.5);
  EXPECT_DOUBLE_EQ(s.R.ConfBPLeftType3, 0.9 * 6.0);
  EXPECT_DOUBLE_EQ(s.R.ConfBPRightType3, 1.1 * 6.0);
  EXPECT_DOUBLE_EQ(s.R.ConfBPLeftType4, 0.95 * 10.0);
  EXPECT_DOUBLE_EQ(s.R.ConfBPRightType4, 1.05 * 10.0);
  EXPECT_EQ(s.DM.NrOfData, 40);
  Read(older);
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(OutputReaderTest, WideBreakpointDoesNotShiftTheCounts) {
  Read(Edit(Golden("salinity.out"), " BPx=   1.49             4.00E+001",
            " BPx=123456789012345678901234.00 4.00E+001"));
  ASSERT_FALSE(s.DM.NotOutputFile);
  EXPECT_DOUBLE_EQ(s.Graph.AvXAll, 7.697);
}

// Whatever a file holds, a rejected read changes nothing the graphs use.
class RejectedFileTest : public OutputReaderTest {
 protected:
  void SetUp() override {
    Read(Golden("fertiliser.out"));
    ASSERT_FALSE(s.DM.NotOutputFile);
    platform.messages.clear();
  }
  void ExpectRejected(const std::string& message) {
    EXPECT_TRUE(s.DM.NotOutputFile);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], message);
    EXPECT_EQ(s.Graph.FileType, 4);
    EXPECT_DOUBLE_EQ(s.R.BPType4, 121.0);
    EXPECT_EQ(s.DM.NrOfData, 36);
    EXPECT_EQ(s.DM.GraphXData.size(), 36u);
    EXPECT_EQ(s.DM.Title1.substr(0, 6), " Maize");
  }
};

TEST_F(RejectedFileTest, FilesOfOtherKinds) {
  const char* kNot = "This is not a Kinvalo output file. It can not be read.";
  const std::string inputFile = ReadBytes(std::string(KINVALO_EXAMPLES) + "/salinity.inp");
  const std::string kinds[] = {"", "one line\r\n", inputFile, Golden("salinity.txt"),
                               Golden("salinity.var"), std::string("BM\0\0\x36\x10", 6)};
  for (const std::string& bytes : kinds) {
    platform.messages.clear();
    Read(bytes);
    ExpectRejected(kNot);
  }
  // A kind of summary this program never writes, and a type beyond 6.
  platform.messages.clear();
  Read(Edit(Golden("salinity.out"), " Function type : 3", " Other type : 3"));
  ExpectRejected(kNot);
  platform.messages.clear();
  Read(Edit(Golden("salinity.out"), " Function type : 3", " Function type : 9"));
  ExpectRejected(kNot);
}

TEST_F(RejectedFileTest, MissingFileShowsTheOpenMessage) {
  s.DM.FileName = dir / "gone.out";
  ReadOutputFile(s);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0], "The file \"" + s.DM.FileName +
                                      "\"could not be opened. It may be damaged or in use by "
                                      "another program.");
  EXPECT_TRUE(s.DM.NotOutputFile);
  EXPECT_EQ(s.DM.NrOfData, 36);
}

TEST_F(RejectedFileTest, MissingSummaryEndsTheRead) {
  Read(Edit(Golden("salinity.out"), " SUMMARY OF THE Y-X REGRESSION.", " (summary removed)"));
  ExpectRejected("The output file \"" + s.DM.FileName +
                 "\" is incomplete: its summary is missing. It can not be read.");
}

TEST_F(RejectedFileTest, LetterInsideANumberEndsTheRead) {
  Read(Edit(Golden("salinity.out"), "9.09E-001", "9.O9E-001"));
  ExpectRejected("The output file \"" + s.DM.FileName +
                 "\" is damaged: line 24 holds \"9.O9E-001\" where a number belongs. It can "
                 "not be read.");
}

TEST_F(RejectedFileTest, ObservationTableCutShort) {
  const std::vector<std::string> lines = Lines(Golden("salinity.out"));
  std::string cut;
  for (size_t i = 0; i < lines.size() - 15; ++i) cut += lines[i] + "\r\n";
  Read(cut);
  ExpectRejected("The output file \"" + s.DM.FileName +
                 "\" is incomplete: its observation table breaks off after 25 rows. It can not "
                 "be read.");
  platform.messages.clear();
  Read(cut + "  26         7.22E+001  9.6");
  ExpectRejected("The output file \"" + s.DM.FileName +
                 "\" is incomplete: it ends at line " + std::to_string(lines.size() - 14) +
                 " where a number belongs. It can not be read.");
}

// Every cut of every golden file is either read whole or rejected; none
// crashes, hangs or leaves half-read values.
TEST_F(RejectedFileTest, EveryTruncationIsRejected) {
  for (const char* name : {"salinity.out", "fertiliser.out", "straight.out"}) {
    const std::string full = Golden(name);
    for (size_t cut = 0; cut < full.size(); cut += 7) {
      if (cut + 2 >= full.size()) break;  // only the final line end missing
      platform.messages.clear();
      Read(full.substr(0, cut));
      ASSERT_TRUE(s.DM.NotOutputFile) << name << " cut at " << cut;
      ASSERT_EQ(platform.messages.size(), 1u) << name << " cut at " << cut;
      ASSERT_EQ(s.DM.NrOfData, 36);
    }
  }
}

class LoadResultTextTest : public OutputReaderTest {
 protected:
  int cleared = 0;
  void SetUp() override { s.ClearOutputPage = [this] { ++cleared; }; }
};

TEST_F(LoadResultTextTest, LoadsEveryLineOfTheFile) {
  const std::string name = dir / "result.txt";
  WriteBytes(name, "first\r\nsecond line\r\n\r\nW\xe4rme\r\n");
  bool ok = false;
  LoadResultText(s, name, ok, ".txt");
  EXPECT_TRUE(ok);
  EXPECT_EQ(s.DM.TextLines, (LineSet{"first", "second line", "", "W\u00e4rme"}));
  EXPECT_EQ(s.DM.NrOfTextLines, 4);
  EXPECT_TRUE(platform.messages.empty());
}

// A file of nothing but line ends, 4 MB here, would take 32 bytes of
// memory for each of its bytes.
TEST_F(LoadResultTextTest, AFileOfMoreLinesThanCanBeShownLoadsTheFirstOnes) {
  const std::string name = dir / "blank.out";
  WriteBytes(name, "first\r\n" + std::string(kMaxTextLines, '\n'));
  bool ok = false;
  LoadResultText(s, name, ok, ".out");
  EXPECT_TRUE(ok);
  ASSERT_EQ(s.DM.TextLines.size(), kMaxTextLines);
  EXPECT_EQ(s.DM.NrOfTextLines, static_cast<std::int32_t>(kMaxTextLines));
  EXPECT_EQ(s.DM.TextLines.front(), "first");
  EXPECT_EQ(platform.messages, (std::vector<std::string>{
                                   "The file \"" + name + "\" holds more than 4000000 lines; the first "
                                   "4000000 are shown."}));
}

// A file of one line is reported as invalid, but the file the user chose,
// and the .var beside it, stay on disk.
TEST_F(LoadResultTextTest, ShortFileIsReportedAndKept) {
  const std::string name = dir / "short.out";
  WriteBytes(name, "only line\r\n");
  WriteBytes(dir / "short.var", "anova\r\n");
  s.DM.FileName = name;
  bool ok = true;
  LoadResultText(s, name, ok, ".out");
  EXPECT_FALSE(ok);
  EXPECT_EQ(platform.messages, (std::vector<std::string>{
                                   " The output file is invalid due to inadequate input data"}));
  EXPECT_TRUE(FileExists(name));
  EXPECT_TRUE(FileExists(dir / "short.var"));
  EXPECT_EQ(s.DM.FileName, name);
}

TEST_F(LoadResultTextTest, MissingFilesGiveTheirMessagesAndClearTheOutputPage) {
  bool ok = true;
  LoadResultText(s, dir / "none.out", ok, ".out");
  LoadResultText(s, dir / "none.var", ok, ".var");
  EXPECT_TRUE(ok);
  EXPECT_EQ(cleared, 2);
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0], "The file \"" + (dir / "none.out") +
                                      "\"could not be opened. It may be damaged or in use by "
                                      "another program.");
  EXPECT_EQ(platform.messages[1], "The anova file \"" + (dir / "none.var") +
                                      "\"could not be found. Please go to the input tabsheet "
                                      "and run the program again to create it.");
}

TEST_F(LoadResultTextTest, ProbeReportsAFileThatCannotBeOpened) {
  s.DM.FileName = dir / "none.out";
  EXPECT_FALSE(ProbeOutputFile(s));
  EXPECT_TRUE(s.DM.NotOutputFile);
  s.DM.FileName = dir / "there.out";
  WriteBytes(s.DM.FileName, "x\r\n");
  EXPECT_TRUE(ProbeOutputFile(s));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find("none.out"), std::string::npos);
}

}  // namespace
}  // namespace kinvalo
