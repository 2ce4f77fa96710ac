#include "anova/anova.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <boost/math/distributions/fisher_f.hpp>
#include <cmath>
#include <ostream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

// The cumulative F distribution in percent, kept within 0.1 and 99.99.
double ReferencePercent(int m, int n, double f) {
  const double p = 100 * cdf(boost::math::fisher_f_distribution<double>(m, n), f);
  return std::clamp(p, 0.1, 99.99);
}

struct Dof {
  int m, n;
  double f;
};

// Where m or n is even, every closed form that applies gives the cumulative
// F distribution. Where both are odd the probability weighs the even
// neighbours of the larger one 1 : 3, and m = n = 1 has a formula of its own.
TEST(FProbability, MatchesTheCumulativeFDistribution) {
  const Dof cases[] = {{2, 10, 1.5}, {2, 3, 0.5},  {2, 1, 5.0},  {4, 7, 2.0},   {6, 5, 3.0},
                       {8, 20, 1.2}, {4, 4, 1.0},  {6, 4, 2.0},  {10, 2, 3.0},  {12, 9, 1.1},
                       {40, 60, 1.3}, {2, 98, 3.0}, {1, 2, 0.3}, {1, 18, 5.0},  {3, 16, 3.0},
                       {5, 12, 0.8}, {3, 40, 2.5}, {1, 6, 1e-4},
                       // beyond the clamps
                       {2, 16, 200.0}, {8, 3, 1e6}, {4, 30, 0.01}, {3, 8, 0.001},
                       // both odd
                       {1, 17, 5.0}, {3, 7, 1.5}, {7, 9, 2.5}, {3, 3, 2.0}, {5, 3, 2.0}, {9, 5, 0.7},
                       {1, 1, 0.01}, {1, 1, 0.5}, {1, 1, 4.0}, {1, 1, 1e9}};
  for (const auto& [m, n, f] : cases) {
    SCOPED_TRACE(testing::Message() << "m=" << m << " n=" << n << " F=" << f);
    double expected = ReferencePercent(m, n, f);
    if (m == 1 && n == 1) {
      expected = std::clamp(100 * (1 - 0.6375 * std::sqrt(1 / (1 + f))), 0.1, 99.99);
    } else if (m % 2 == 1 && n % 2 == 1) {
      expected = n > m ? (ReferencePercent(m, n - 1, f) + 3 * ReferencePercent(m, n + 1, f)) / 4
                       : (ReferencePercent(m - 1, n, f) + 3 * ReferencePercent(m + 1, n, f)) / 4;
    }
    EXPECT_NEAR(FProbability(m, n, f), expected, 1e-9);
    if (m % 2 == 0) {
      EXPECT_NEAR(FProbEvenDf1(m, n, f), expected, 1e-9);
    }
    if (n % 2 == 0) {
      EXPECT_NEAR(FProbEvenDf2(m, n, f), expected, 1e-9);
    }
  }
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

// The opening lines down to the column captions, with the values as written.
std::string Opening(const std::string& types, const std::string& sum, const std::string& breakpoints,
                    const std::string& count, const std::string& dof) {
  return Lines({" Variance Analysis, ANOVA table, Regression " + types, " File Name : data.var",
                " Sum[(Y-Av.Y)sq.] =" + sum + "  (total sum of squares of deviations)"}) +
         (breakpoints.empty() ? "" : Lines({" Breakpoints at X = " + breakpoints})) +
         Lines({"", " Total nr. of data  =" + count, " Degrees of freedom =" + dof, "",
                " Sum of squares      Degrees of                          Probability/",
                " of deviations        freedom     Variance     F-Test    Significance", " " + std::string(68, '-')});
}

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

// The extra and the total break-point blocks, which share their remainder.
std::string BreakPointBlocks(const std::string& extraDof, const std::string& extraRow,
                             const std::string& totalDof, const std::string& totalRow, const std::string& rest) {
  std::string text;
  for (const auto& [label, dof, row] : {std::tuple{" extra expl. by", extraDof, extraRow},
                                        std::tuple{" total expl. by", totalDof, totalRow}}) {
    text += Lines({"", label, "  break-point" + std::string(34, ' ') + " " + dof, row, "", " remaining",
                   " unexplained", rest});
  }
  return text;
}

class AnovaFileTest : public ::testing::Test {
 protected:
  test::ScriptedPlatform platform;
  test::TempDir dir;
  const std::string varPath = dir / "data.var";
};

struct TableCase {
  const char* name;
  std::uint8_t resultType;
  bool bothTypes;
  std::vector<std::string> raw;
  std::string expected;
};

void PrintTo(const TableCase& c, std::ostream* os) { *os << c.name; }

class AnovaTableTest : public AnovaFileTest, public ::testing::WithParamInterface<TableCase> {};

TEST_P(AnovaTableTest, ReplacesTheRawFileByTheTable) {
  const TableCase& c = GetParam();
  test::WriteBytes(varPath, Lines(c.raw));
  AnovaRun(varPath, {FunctionTypeFromFile(c.resultType), c.bothTypes, 4.5, 6.25}, platform);
  EXPECT_EQ(test::ReadBytes(varPath), c.expected + kClosing);
  EXPECT_EQ(dir.Listing(), "data.var ");
  EXPECT_TRUE(platform.messages.empty());
}

// Twenty data sets of a Type 3 result, with the breakpoint as its raw line.
TableCase Type3Twenty(const char* name, const char* breakpoint) {
  return {name, 3, false, {" 1", "   20", "   2.50E+002", "   2.00E+002", breakpoint, "     150.000"},
          Opening("Type: 3", "     250.000", "", "      20", "      19") +
              LinearBlock("F(1,18)=", "      50.000              1         50.000       4.500         95.2 %",
                          "     200.000             18         11.111") +
              BreakPointBlocks("F(2,16)=", "      50.000              2         25.000        2.667        90.0 %",
                               "F(3,16)=", "     100.000              3         33.333        3.556        96.2 %",
                               "     150.000             16          9.375")};
}

std::vector<TableCase> TableCases() {
  return {
      // Ten data sets: the most whose degrees of freedom take one digit.
      {"Type1TenDataSets", 1, false, {" 1", "   10", "   1.23E+002", "   4.56E+001", " -99999"},
       Opening("Type: 1", "     123.000", "", "      10", "       9") +
           LinearBlock("F(1,8)=", "      77.400              1         77.400      13.579         99.4 %",
                       "      45.600              8          5.700")},
      Type3Twenty("Type3TwentyDataSets", "       4.500"),
      // A breakpoint at X = -99999 is no straight-line mark.
      Type3Twenty("Type3BreakpointAtMinus99999IsNoStraightLine", "  -99999.000"),
      {"Type4HundredAndOneDataSetsShowsAtMost99_9", 4, false,
       {" 1", "  101", "   1.00E+003", "   1.00E+001", "      55.250", "       9.000"},
       Opening("Type: 4", "    1000.000", "", "     101", "     100") +
           LinearBlock("F(1, 99)=", "     990.000              1        990.000    9801.000         99.9 %",
                       "      10.000             99          0.101") +
           BreakPointBlocks("F(2, 97)=", "       1.000              2          0.500        5.389        99.4 %",
                            "F(3, 97)=", "     991.000              3        330.333     3560.259        99.9 %",
                            "       9.000             97          0.093")},
      // A hundred data sets: the most whose degrees of freedom take two digits.
      {"BothTypesHundredDataSets", 3, true,
       {" 1", "  100", "   6.00E+001", "   5.80E+001", "       4.500       6.250", "      55.000"},
       Opening("Types:3 and 4", "      60.000", "   4.500   and    6.250", "     100", "      99") +
           LinearBlock("F(1,98)=", "       2.000              1          2.000       3.379         93.1 %",
                       "      58.000             98          0.592") +
           BreakPointBlocks("F(2,96)=", "       3.000              2          1.500        2.618        92.2 %",
                            "F(3,96)=", "       5.000              3          1.667        2.909        96.2 %",
                            "      55.000             96          0.573")},
  };
}

INSTANTIATE_TEST_SUITE_P(AnovaRun, AnovaTableTest, ::testing::ValuesIn(TableCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A raw file without variation gets the message; one that is broken or
// missing throws naming it. Either way the file stays as it was.
struct KeptCase {
  const char* name;
  std::uint8_t resultType;
  bool exists;
  std::vector<std::string> raw;
  const char* message;  // "" for an exception
};

void PrintTo(const KeptCase& c, std::ostream* os) { *os << c.name; }

class RawFileKeptTest : public AnovaFileTest, public ::testing::WithParamInterface<KeptCase> {};

TEST_P(RawFileKeptTest, ShowsWhyOrThrowsNamingTheFile) {
  const KeptCase& c = GetParam();
  if (c.exists) test::WriteBytes(varPath, Lines(c.raw));
  const std::string before = test::ReadBytes(varPath);
  std::string thrown;
  try {
    AnovaRun(varPath, {FunctionTypeFromFile(c.resultType)}, platform);
  } catch (const std::runtime_error& e) {
    thrown = e.what();
  }
  if (*c.message) {
    EXPECT_EQ(thrown, "");
    EXPECT_EQ(platform.messages, std::vector<std::string>{c.message});
  } else {
    EXPECT_NE(thrown.find(varPath), std::string::npos) << thrown;
    EXPECT_TRUE(platform.messages.empty());
  }
  EXPECT_EQ(test::ReadBytes(varPath), before);
  EXPECT_EQ(dir.Listing(), c.exists ? "data.var " : "");
}

INSTANTIATE_TEST_SUITE_P(
    AnovaRun, RawFileKeptTest,
    ::testing::Values(
        KeptCase{"NoVariation", 1, true, {" 1", "    8", "   0.00E+000", "   0.00E+000", " -99999"},
                 "There is no variation. Variance analysis is not done."},
        KeptCase{"Empty", 1, true, {}, ""},
        KeptCase{"Missing", 1, false, {}, ""},
        KeptCase{"EndsBeforeBreakPointResidual", 3, true,
                 {" 1", "   20", "   2.50E+002", "   2.00E+002", "       4.500"}, ""},
        KeptCase{"CountIsNotANumber", 1, true, {" 1", "  abc", "   1.23E+002", "   4.56E+001", " -99999"}, ""},
        KeptCase{"FewerThanFiveDataSets", 3, true,
                 {" 1", "    4", "   2.50E+002", "   2.00E+002", "       4.500", "     150.000"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kinvalo
