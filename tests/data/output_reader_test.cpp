// Reading output files back: the values the graphs draw from, older and
// hand-edited files, and files that are not output files at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "core/paths.h"
#include "core/textfile.h"
#include "data/output_reader.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

using test::ReadBytes;
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

std::string Repeated(const std::string& text, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += text;
  return out;
}

// The salinity result without its last `rowsLess` lines, then `tail`.
std::string Cut(size_t rowsLess, const std::string& tail = {}) {
  const std::string full = Golden("salinity.out");
  size_t end = full.size() - 2;
  for (size_t i = 0; i < rowsLess; ++i) end = full.rfind("\r\n", end - 1);
  return full.substr(0, end + 2) + tail;
}

class OutputReaderTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = dir / "result.out";

  OutputReadResult Read(const std::string& bytes, FunctionType prepared = FunctionType::NoRelation) {
    WriteBytes(path, bytes);
    return ReadOutputFile(path, prepared);
  }
  // The model of a file that must be read whole.
  GraphModel Model(const std::string& bytes, FunctionType prepared = FunctionType::NoRelation) {
    OutputReadResult read = Read(bytes, prepared);
    EXPECT_FALSE(read.refusal) << read.refusalMessage;
    EXPECT_FALSE(read.olderFile);
    return read.model.value_or(GraphModel{});
  }
};

TEST_F(OutputReaderTest, Type3ResultGivesEveryValueTheGraphsUse) {
  const GraphModel m = Model(Golden("salinity.out"));
  EXPECT_EQ(m.type, FunctionType::Threshold);
  EXPECT_EQ(m.method, 2);
  EXPECT_DOUBLE_EQ(m.breakpoint, 6.071);
  EXPECT_EQ(m.title1, " Wheat yield against soil salinity, 40 field plots");
  EXPECT_EQ(m.title2, " Y: relative grain yield (%), X: salinity of the soil extract ECe (dS/m)");
  EXPECT_EQ(m.confidence.Percent(), 90);
  EXPECT_EQ(std::vector({m.all.n, m.all.avY, m.all.avX, m.all.slope, m.all.stErrSlope, m.all.stDevRes}),
            std::vector({40.0, 81.7, 7.697, -4.91, 0.252, 5.85}));
  EXPECT_EQ(std::vector({m.below.n, m.below.avY, m.below.avX, m.below.slope, m.below.stDevY, m.below.stDevX}),
            std::vector({13.0, 101.0, 3.206, -0.673, 2.64, 1.01}));
  EXPECT_EQ(std::vector({m.above.n, m.above.avY, m.above.avX, m.above.slope, m.above.stDevY, m.above.stDevX}),
            std::vector({27.0, 72.6, 9.86, -6.92, 17.1, 2.44}));
  EXPECT_EQ(std::vector({m.coefExpl, m.centralCoefExpl, m.equationSlopeBelow, m.equationSlopeAbove}),
            std::vector({0.978, 0.978, 0.0, -7.45}));
  // The level of the own type comes only from the equations (see below).
  EXPECT_EQ(std::vector({m.type3.breakpoint, m.type3.confLeft, m.type3.confRight, m.type3.level}),
            std::vector({6.071, 5.613, 6.851, 0.0}));
  EXPECT_EQ(std::vector({m.type4.breakpoint, m.type4.confLeft, m.type4.confRight, m.type4.level}),
            std::vector({6.071, 5.613, 6.851, 72.6}));
  ASSERT_EQ(m.size(), 40);
  EXPECT_EQ(std::vector({m.yObs.front(), m.x.front(), m.yCalc.front(), m.x.back()}),
            std::vector({99.4, 1.49, 101.0, 13.87}));
}

// Type 4 takes the other type's limits from the last row; a straight line
// reads as Type 1 without sides.
TEST_F(OutputReaderTest, Type4AndStraightLineResults) {
  const GraphModel m = Model(Golden("fertiliser.out"));
  EXPECT_EQ(std::tuple(m.type, m.size()), std::tuple(FunctionType::Plateau, 36));
  EXPECT_EQ(std::vector({m.breakpoint, m.type4.breakpoint, m.type4.confLeft, m.type4.confRight}),
            std::vector({121.0, 121.0, 108.9, 130.9}));
  EXPECT_EQ(std::vector({m.type3.breakpoint, m.type3.confLeft, m.type3.confRight, m.type3.level}),
            std::vector({0.0, 0.0, 22.0, 0.0}));
  EXPECT_EQ(std::vector({m.equationSlopeBelow, m.equationSlopeAbove}), std::vector({0.037, 0.0}));
  const GraphModel s = Model(Golden("straight.out"));
  EXPECT_EQ(std::tuple(s.type, s.size()), std::tuple(FunctionType::StraightLine, 40));
  EXPECT_EQ(std::vector({s.equationSlopeBelow, s.all.n, s.above.n}), std::vector({0.196, 40.0, 0.0}));
}

// The levels of the equations are taken of the graph type prepared last,
// as the graph commands do between two reads.
TEST_F(OutputReaderTest, LevelsComeFromTheEquationsOfThePreparedGraphType) {
  EXPECT_DOUBLE_EQ(Model(Golden("salinity.out"), FunctionType::Threshold).type3.level, 101);
  EXPECT_DOUBLE_EQ(Model(Golden("fertiliser.out"), FunctionType::Plateau).type4.level, 6.73);
  EXPECT_DOUBLE_EQ(Model(Golden("salinity.out"), FunctionType::StraightLine).type3.level, 0);
}

// Hand-edited and older variants of a result read as the result; the
// confidence follows the minimum confidence given, 90 when it is none.
TEST_F(OutputReaderTest, ReadsTheVariants) {
  const std::string confidence = "Minimum confidence % : ";
  const struct {
    std::string from, to;
    int percent = 90;
  } variants[] = {
      {"9.94E+001  1.490E+000   1.01E+002", "9.94E+001  1.490E+000   1.01E+002  Added"},
      {"\r\n", "\n"},
      {"4.48E+001\r\n", "4.48E+001\r\n\r\n  \r\n"},
      {" Name of input file used :  salinity.inp\r\n\r\n", ""},
      {" Wheat yield against", " Wheat   yield  against"},  // titles come back with single blanks
      {" BPx=   1.49             4.00E+001", " BPx=123456789012345678901234.00 4.00E+001"},
      {confidence + "90", confidence + "95", 95},
      {confidence + "90", confidence + "98", 98},
      {confidence + "90", confidence + "nine", 90},
      {confidence + "90", confidence + "91", 95},
      // Longer than the reader's window of the file (256 KiB).
      {"1.01E+002\r\n", "1.01E+002" + std::string(300000, ' ') + "Added\r\n"},
      {"1.490E+000", std::string(300000, ' ') + "1.490E+000"},
      {"4.48E+001\r\n", "4.48E+001\r\n" + std::string(300000, ' ') + "\r\n"}};
  for (const auto& v : variants) {
    const GraphModel m = Model(Edit(Golden("salinity.out"), v.from, v.to));
    EXPECT_EQ(std::tuple(m.type, m.size(), m.title1, m.all.avX, m.confidence.Percent()),
              std::tuple(FunctionType::Threshold, 40, " Wheat yield against soil salinity, 40 field plots", 7.697,
                         v.percent))
        << v.to;
  }
}

TEST_F(OutputReaderTest, BreakpointLimitsAreClampedToThirtyPercent) {
  const GraphModel m = Model(Edit(Golden("salinity.out"), "   5.613E+000           6.851E+000        7.26E+001",
                                  "   1.000E+000           9.000E+000        7.26E+001"));
  EXPECT_DOUBLE_EQ(m.type3.confLeft, 0.7 * 6.071);
  EXPECT_DOUBLE_EQ(m.type3.confRight, 1.3 * 6.071);
}

// An older file lacks the central explanation and both confidence rows.
TEST_F(OutputReaderTest, OlderFileFallsBackAndIsWarnedOfOnce) {
  std::string older = Golden("salinity.out");
  older = Edit(older, "Expl. Coeff.  Central expl.", "Expl. Coeff.");
  older = Edit(older, "9.78E-001     9.78E-001", "9.78E-001");
  const size_t from = older.find("   Conf. BP left");
  const size_t to = older.find("\r\n\r\n\r\n SUMMARY");
  older.erase(from, to - from);
  const OutputReadResult read = Read(older);
  ASSERT_TRUE(read.model && read.olderFile);
  const GraphModel& m = *read.model;
  // No fractions of breakpoints the file does not give.
  EXPECT_EQ(std::vector({m.coefExpl, m.type3.confLeft, m.type3.confRight, m.type4.confLeft, m.type4.confRight}),
            std::vector({0.5, 0.0, 0.0, 0.0, 0.0}));
  EXPECT_EQ(m.size(), 40);
  const std::string warning =
      "This is an older output file. Please do the calculations again from the input tabsheet.";
  EXPECT_EQ(ReadMessages(read, false), std::vector<std::string>{warning});
  EXPECT_TRUE(ReadMessages(read, true).empty());
  // Cut short after the fallback: the warning comes before the refusal.
  const OutputReadResult cut = Read(older.substr(0, older.size() - 200));
  ASSERT_TRUE(cut.refusal);
  EXPECT_EQ(ReadMessages(cut, false), (std::vector<std::string>{warning, cut.refusalMessage}));
}

struct Refused {
  const char* name;
  std::string bytes;
  ReadRefusal reason;
  std::string message;  // after the file's name
};
void PrintTo(const Refused& r, std::ostream* os) { *os << r.name; }

class RefusedFileTest : public OutputReaderTest, public ::testing::WithParamInterface<Refused> {};

TEST_P(RefusedFileTest, GivesTheReasonAndItsMessage) {
  const OutputReadResult read = Read(GetParam().bytes);
  EXPECT_FALSE(read.model);
  EXPECT_EQ(read.refusal, GetParam().reason);
  const std::string& message = GetParam().message;
  EXPECT_EQ(read.refusalMessage, message[0] == '"' ? "The output file \"" + path + message : message);
  EXPECT_EQ(ReadMessages(read, false), std::vector<std::string>{read.refusalMessage});
}

const char* const kNot = "This is not a Kinvalo output file. It can not be read.";

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFileTest,
    ::testing::Values(
        Refused{"Empty", "", ReadRefusal::NotOutputFile, kNot},
        Refused{"OneLine", "one line\r\n", ReadRefusal::NotOutputFile, kNot},
        Refused{"InputFile", ReadBytes(std::string(KINVALO_EXAMPLES) + "/salinity.inp"), ReadRefusal::NotOutputFile,
                kNot},
        Refused{"ExplanationTable", Golden("salinity.txt"), ReadRefusal::NotOutputFile, kNot},
        Refused{"AnovaTable", Golden("salinity.var"), ReadRefusal::NotOutputFile, kNot},
        Refused{"Bitmap", std::string("BM\0\0\x36\x10", 6), ReadRefusal::NotOutputFile, kNot},
        Refused{"OtherSummary", Edit(Golden("salinity.out"), " Function type : 3", " Other type : 3"),
                ReadRefusal::NotOutputFile, kNot},
        Refused{"TypeBeyondSix", Edit(Golden("salinity.out"), " Function type : 3", " Function type : 9"),
                ReadRefusal::NotOutputFile, kNot},
        Refused{"MissingSummary", Edit(Golden("salinity.out"), " SUMMARY OF THE Y-X REGRESSION.", " (removed)"),
                ReadRefusal::MissingPart, "\" is incomplete: its summary is missing. It can not be read."},
        Refused{"LetterInsideANumber", Edit(Golden("salinity.out"), "9.09E-001", "9.O9E-001"), ReadRefusal::Damaged,
                "\" is damaged: line 24 holds \"9.O9E-001\" where a number belongs. It can not be read."},
        // A number from_chars takes whole, but no number of a result file.
        Refused{"InfinityInTheTable", Edit(Golden("salinity.out"), "1.387E+001", "inf"), ReadRefusal::Damaged,
                "\" is damaged: line 116 holds \"inf\" where a number belongs. It can not be read."},
        Refused{"InfinityBeyondTheWindow",
                Edit(Edit(Golden("salinity.out"), "1.387E+001", "inf"), "  40 ", Repeated("  \r\n", 100000) + "  40 "),
                ReadRefusal::Damaged,
                "\" is damaged: line 100116 holds \"inf\" where a number belongs. It can not be read."},
        Refused{"ObservationTableCutShort", Cut(15), ReadRefusal::ShortTable,
                "\" is incomplete: its observation table breaks off after 25 rows. It can not be read."},
        Refused{"LastNumberCutShort", Cut(15, "  26         7.22E+001  9.6"), ReadRefusal::CutShort,
                "\" is incomplete: it ends at line " + std::to_string(std::ranges::count(Golden("salinity.out"), '\n') - 14) +
                    " where a number belongs. It can not be read."}),
    [](const auto& info) { return std::string(info.param.name); });

// Every cut of every golden file is either read whole or refused; none
// crashes or hangs.
TEST_F(OutputReaderTest, EveryTruncationIsRefused) {
  for (const char* name : {"salinity.out", "fertiliser.out", "straight.out"}) {
    const std::string full = Golden(name);
    for (size_t cut = 0; cut < full.size(); cut += 7) {
      if (cut + 2 >= full.size()) break;  // only the final line end missing
      const OutputReadResult read = Read(full.substr(0, cut));
      ASSERT_TRUE(read.refusal && !read.model) << name << " cut at " << cut;
    }
  }
}

// A file of one line is reported as invalid, but the file the user chose,
// and the .var beside it, stay on disk. A file of nothing but line ends,
// 4 MB here, would take 32 bytes of memory for each of its bytes: only the
// first lines are loaded.
TEST_F(OutputReaderTest, ResultTextsLoadWholeOrWithTheirMessage) {
  const std::string many = "The file \"" + (dir / "r.out") + "\" holds more than 4000000 lines; the first 4000000 are shown.";
  const struct {
    const char* name;
    std::string bytes;
    TextLoad status;
    size_t count;  // lines loaded, the first of them:
    std::vector<std::string> lines, messages;
  } rows[] = {
      {"Loaded", "first\r\nsecond line\r\n\r\nW\xe4rme\r\n", TextLoad::Loaded, 4, {"first", "second line", "", "W\u00e4rme"}, {}},
      {"TooShort", "only line\r\n", TextLoad::TooShort, 0, {}, {" The output file is invalid due to inadequate input data"}},
      {"TooMany", "first\r\n" + std::string(kMaxTextLines, '\n'), TextLoad::Loaded, kMaxTextLines, {"first"}, {many}}};
  WriteBytes(dir / "r.var", "anova\r\n");
  for (const auto& row : rows) {
    WriteBytes(dir / "r.out", row.bytes);
    const ResultText text = LoadResultText(dir / "r.out", ".out");
    EXPECT_EQ(std::tuple(text.status, text.messages), std::tuple(row.status, row.messages)) << row.name;
    ASSERT_EQ(text.lines.size(), row.count) << row.name;
    EXPECT_EQ(std::vector(text.lines.begin(), text.lines.begin() + row.lines.size()), row.lines) << row.name;
    EXPECT_TRUE(FileExists(dir / "r.out") && FileExists(dir / "r.var")) << row.name;
  }
}

// What is no file to read is refused by the graph reader and by the loader
// of the Output page alike, at once and with its cause; a .var that is
// missing has a message of its own, one that is a folder has not.
TEST_F(OutputReaderTest, WhatIsNotAFileToReadIsRefusedWithItsCause) {
  const std::string absent = dir / "none.out";
  auto cases = test::UnreadableFiles(dir, ".out");
  cases.push_back({absent, "The file \"" + absent + "\"could not be opened. It may be damaged or in use by another "
                                                     "program. The system reports: No such file or directory."});
  for (const auto& c : cases) {
    const OutputReadResult read = ReadOutputFile(c.path, FunctionType::NoRelation);
    EXPECT_EQ(std::tuple(read.refusal, read.refusalMessage), std::tuple(ReadRefusal::CannotOpen, c.message));
    for (const char* kind : {".out", ".var"}) {
      const std::string message = c.path == absent && std::string(kind) == ".var"
                                      ? "The anova file \"" + absent + "\"could not be found. Please go to the "
                                        "input tabsheet and run the program again to create it."
                                      : c.message;
      const ResultText text = LoadResultText(c.path, kind);
      EXPECT_EQ(std::tuple(text.status, text.messages, text.lines.size()),
                std::tuple(TextLoad::CannotOpen, std::vector<std::string>{message}, size_t{0}))
          << kind << " " << c.path;
    }
  }
}

}  // namespace
}  // namespace kinvalo
