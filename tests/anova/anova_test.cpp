#include "anova/anova.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <boost/math/distributions/fisher_f.hpp>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

namespace fs = std::filesystem;

// The cumulative F distribution in percent, kept within 0.1 and 99.99.
double ReferencePercent(int m, int n, double f) {
  const double p = 100 * cdf(boost::math::fisher_f_distribution<double>(m, n), f);
  return std::clamp(p, 0.1, 99.99);
}

struct Dof {
  int m, n;
  double f;
};

TEST(FProbability, EvenDegreesMatchTheCumulativeFDistribution) {
  const Dof cases[] = {{2, 10, 1.5}, {2, 3, 0.5},  {2, 1, 5.0},  {4, 7, 2.0},   {6, 5, 3.0},
                       {8, 20, 1.2}, {4, 4, 1.0},  {6, 4, 2.0},  {10, 2, 3.0},  {12, 9, 1.1},
                       {40, 60, 1.3}, {2, 98, 3.0}, {1, 2, 0.3}, {1, 18, 5.0},  {3, 16, 3.0},
                       {5, 12, 0.8}, {3, 40, 2.5}, {1, 6, 1e-4},
                       // beyond the clamps
                       {2, 16, 200.0}, {8, 3, 1e6}, {4, 30, 0.01}, {3, 8, 0.001}};
  for (const auto& [m, n, f] : cases) {
    SCOPED_TRACE(testing::Message() << "m=" << m << " n=" << n << " F=" << f);
    const double expected = ReferencePercent(m, n, f);
    EXPECT_NEAR(FProbability(m, n, f), expected, 1e-9);
    if (m % 2 == 0) {
      EXPECT_NEAR(FProbEvenDf1(m, n, f), expected, 1e-9);
    }
    if (n % 2 == 0) {
      EXPECT_NEAR(FProbEvenDf2(m, n, f), expected, 1e-9);
    }
  }
}

TEST(FProbability, OddDegreesWeighTheEvenNeighbours) {
  const Dof cases[] = {{1, 17, 5.0}, {3, 7, 1.5}, {7, 9, 2.5}, {3, 3, 2.0}, {5, 3, 2.0}, {9, 5, 0.7}};
  for (const auto& [m, n, f] : cases) {
    SCOPED_TRACE(testing::Message() << "m=" << m << " n=" << n << " F=" << f);
    const double expected =
        n > m ? (ReferencePercent(m, n - 1, f) + 3 * ReferencePercent(m, n + 1, f)) / 4
              : (ReferencePercent(m - 1, n, f) + 3 * ReferencePercent(m + 1, n, f)) / 4;
    EXPECT_NEAR(FProbability(m, n, f), expected, 1e-9);
  }
  for (double f : {0.01, 0.5, 4.0, 1e9}) {
    EXPECT_NEAR(FProbability(1, 1, f), std::clamp(100 * (1 - 0.6375 * std::sqrt(1 / (1 + f))), 0.1, 99.99), 1e-9);
  }
}

TEST(FProbability, KnownValuesAndNoSignificanceWithoutAPositiveF) {
  EXPECT_DOUBLE_EQ(std::round(FProbability(1, 18, 5.0) * 10) / 10, 96.2);
  EXPECT_DOUBLE_EQ(std::round(FProbability(3, 16, 3.0) * 10) / 10, 93.8);
  EXPECT_DOUBLE_EQ(std::round(FProbability(1, 17, 5.0) * 10) / 10, 96.1);
  // An extra sum of squares of zero or less must not read as 99.99 %.
  for (const auto& [m, n, f] : {Dof{2, 10, 0.0}, Dof{4, 7, 0.0}, Dof{1, 18, 0.0}, Dof{3, 16, -2.5}, Dof{2, 6, -0.5}}) {
    EXPECT_EQ(FProbability(m, n, f), 0.1) << m << "," << n;
  }
}

// Lines of a text file as the program writes them, each ended by CR LF.
std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

const std::string kCaptions = Lines({
    " Sum of squares      Degrees of                          Probability/",
    " of deviations        freedom     Variance     F-Test    Significance",
    " " + std::string(68, '-'),
});

const std::string kClosing = Lines({
    "",
    " " + std::string(68, '-'),
    "#",
    " The variance analysis and its F-tests are explained in a paper on the maker's web site.",
});

std::string LinearBlock(const std::string& dof, const std::string& row, const std::string& rest) {
  return Lines({" explained by", "  lin. regr. " + std::string(33, ' ') + " " + dof, row, "",
                " remaining", " unexplained", rest});
}

std::string BreakPointBlock(const std::string& label, const std::string& dof,
                            const std::string& row, const std::string& rest) {
  return Lines({"", label, "  break-point" + std::string(34, ' ') + " " + dof, row, "",
                " remaining", " unexplained", rest});
}

class AnovaFileTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_FALSE(fs::exists("Anova.tmp")) << "nothing is left in the current folder"; }
  std::string WriteRaw(const std::string& name, const std::vector<std::string>& lines) {
    test::WriteBytes(dir / name, Lines(lines));
    return dir / name;
  }
  static std::string Read(const std::string& path) { return test::ReadBytes(path); }
  std::string FolderNames() const { return dir.Listing(); }

  test::ScriptedPlatform platform;
  test::TempDir dir;
};

struct TableCase {
  const char* name;
  const char* fileName;  // the working file name; the raw file shares its base name
  std::uint8_t resultType;
  bool bothTypes;
  std::vector<std::string> raw;
  std::string expected;
};

void PrintTo(const TableCase& c, std::ostream* os) { *os << c.name; }

class AnovaTableTest : public AnovaFileTest, public ::testing::WithParamInterface<TableCase> {};

TEST_P(AnovaTableTest, ReplacesTheRawFileByTheTable) {
  const TableCase& c = GetParam();
  const std::string varName = fs::path(c.fileName).replace_extension(".var").string();
  const std::string varPath = WriteRaw(varName, c.raw);
  AnovaRun(varPath, {FunctionTypeFromFile(c.resultType), c.bothTypes, 4.5, 6.25}, platform);
  EXPECT_EQ(Read(varPath), c.expected);
  EXPECT_EQ(FolderNames(), varName + " ");
  EXPECT_TRUE(platform.messages.empty());
}

// Twenty data sets of a Type 3 result, with the breakpoint as its raw line.
TableCase Type3Twenty(const char* name, const char* breakpoint) {
  return {name, "data.inp", 3, false,
          {" 1", "   20", "   2.50E+002", "   2.00E+002", breakpoint, "     150.000"},
       Lines({" Variance Analysis, ANOVA table, Regression Type: 3", " File Name : data.var",
              " Sum[(Y-Av.Y)sq.] =     250.000  (total sum of squares of deviations)", "",
              " Total nr. of data  =      20", " Degrees of freedom =      19", ""}) +
           kCaptions +
           LinearBlock("F(1,18)=",
                       "      50.000              1         50.000       4.500         95.2 %",
                       "     200.000             18         11.111") +
           BreakPointBlock(" extra expl. by", "F(2,16)=",
                           "      50.000              2         25.000        2.667        90.0 %",
                           "     150.000             16          9.375") +
           BreakPointBlock(" total expl. by", "F(3,16)=",
                           "     100.000              3         33.333        3.556        96.2 %",
                           "     150.000             16          9.375") +
           kClosing};
}

std::vector<TableCase> TableCases() {
  return {
      {"Type1EightDataSets", "data.var", 1, false,
       {" 1", "    8", "   1.23E+002", "   4.56E+001", " -99999"},
       Lines({" Variance Analysis, ANOVA table, Regression Type: 1", " File Name : data.var",
              " Sum[(Y-Av.Y)sq.] =     123.000  (total sum of squares of deviations)", "",
              " Total nr. of data  =       8", " Degrees of freedom =       7", ""}) +
           kCaptions +
           LinearBlock("F(1,6)=",
                       "      77.400              1         77.400      10.184         98.1 %",
                       "      45.600              6          7.600") +
           kClosing},
      Type3Twenty("Type3TwentyDataSetsNamedByTheInputFile", "       4.500"),
      // A breakpoint at X = -99999 is no straight-line mark.
      Type3Twenty("Type3BreakpointAtMinus99999IsNoStraightLine", "  -99999.000"),
      {"Type4HundredAndOneDataSetsShowsAtMost99_9", "run.out", 4, false,
       {" 1", "  101", "   1.00E+003", "   1.00E+001", "      55.250", "       9.000"},
       Lines({" Variance Analysis, ANOVA table, Regression Type: 4", " File Name : run.var",
              " Sum[(Y-Av.Y)sq.] =    1000.000  (total sum of squares of deviations)", "",
              " Total nr. of data  =     101", " Degrees of freedom =     100", ""}) +
           kCaptions +
           LinearBlock("F(1, 99)=",
                       "     990.000              1        990.000    9801.000         99.9 %",
                       "      10.000             99          0.101") +
           BreakPointBlock(" extra expl. by", "F(2, 97)=",
                           "       1.000              2          0.500        5.389        99.4 %",
                           "       9.000             97          0.093") +
           BreakPointBlock(" total expl. by", "F(3, 97)=",
                           "     991.000              3        330.333     3560.259        99.9 %",
                           "       9.000             97          0.093") +
           kClosing},
      {"BothTypesTwelveDataSets", "data.var", 3, true,
       {" 1", "   12", "   6.00E+001", "   3.00E+001", "       4.500       6.250", "      10.000"},
       Lines({" Variance Analysis, ANOVA table, Regression Types:3 and 4", " File Name : data.var",
              " Sum[(Y-Av.Y)sq.] =      60.000  (total sum of squares of deviations)",
              " Breakpoints at X =    4.500   and    6.250", "", " Total nr. of data  =      12",
              " Degrees of freedom =      11", ""}) +
           kCaptions +
           LinearBlock("F(1,10)=",
                       "      30.000              1         30.000      10.000         99.0 %",
                       "      30.000             10          3.000") +
           BreakPointBlock(" extra expl. by", "F(2, 8)=",
                           "      20.000              2         10.000        8.000        98.8 %",
                           "      10.000              8          1.250") +
           BreakPointBlock(" total expl. by", "F(3, 8)=",
                           "      50.000              3         16.667       13.333        99.8 %",
                           "      10.000              8          1.250") +
           kClosing},
  };
}

INSTANTIATE_TEST_SUITE_P(AnovaRun, AnovaTableTest, ::testing::ValuesIn(TableCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AnovaFileTest, NoVariationLeavesTheRawFile) {
  const std::string varPath =
      WriteRaw("data.var", {" 1", "    8", "   0.00E+000", "   0.00E+000", " -99999"});
  const std::string before = Read(varPath);
  AnovaRun(varPath, {FunctionType::StraightLine}, platform);
  EXPECT_EQ(platform.messages,
            std::vector<std::string>{"There is no variation. Variance analysis is not done."});
  EXPECT_EQ(Read(varPath), before);
  EXPECT_EQ(FolderNames(), "data.var ");
}

struct BrokenCase {
  const char* name;
  std::uint8_t resultType;
  std::vector<std::string> raw;
};

void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }

class BrokenRawFileTest : public AnovaFileTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenRawFileTest, ThrowsNamingTheFileAndKeepsIt) {
  const std::string varPath = WriteRaw("data.var", GetParam().raw);
  const std::string before = Read(varPath);
  try {
    AnovaRun(varPath, {FunctionTypeFromFile(GetParam().resultType)}, platform);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(varPath), std::string::npos) << e.what();
  }
  EXPECT_EQ(Read(varPath), before);
  EXPECT_EQ(FolderNames(), "data.var ");
}

INSTANTIATE_TEST_SUITE_P(
    AnovaRun, BrokenRawFileTest,
    ::testing::Values(BrokenCase{"Empty", 1, {}},
                      BrokenCase{"EndsBeforeBreakPointResidual", 3,
                                 {" 1", "   20", "   2.50E+002", "   2.00E+002", "       4.500"}},
                      BrokenCase{"CountIsNotANumber", 1,
                                 {" 1", "  abc", "   1.23E+002", "   4.56E+001", " -99999"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AnovaFileTest, MissingRawFileThrowsNamingIt) {
  const std::string varPath = dir / "absent.var";
  try {
    AnovaRun(varPath, {FunctionType::StraightLine}, platform);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(varPath), std::string::npos) << e.what();
  }
  EXPECT_EQ(FolderNames(), "");
}

}  // namespace
}  // namespace kinvalo
