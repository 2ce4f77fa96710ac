#include "anova/anova.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

using Long = long double;
constexpr Long kPi = 3.141592653589793238462643383279502884L;

// Exact cumulative F distributions in percent, from closed forms.
Long NumeratorTwo(int n, Long f) { return 100 * -std::expm1(-n / 2.0L * std::log1p(2 * f / n)); }
Long DenominatorTwo(int m, Long f) { return 100 * std::pow(m * f / (m * f + 2), m / 2.0L); }
// With one numerator degree of freedom F is the square of Student's t.
Long StudentOneOne(Long f) { return 100 * 2 / kPi * std::atan(std::sqrt(f)); }
Long StudentTwo(Long f) { return 100 * std::sqrt(f / (f + 2)); }
Long StudentThree(Long f) {
  const Long u = std::sqrt(f / 3);
  return 100 * 2 / kPi * (std::atan(u) + u / (1 + f / 3));
}
Long StudentFour(Long f) { return 100 * std::sqrt(f) * (6 + f) / std::pow(4 + f, 1.5L); }

struct Exact {
  int m, n;
  double f;
  Long percent;
  double tolerance;  // in percent
};

// The significance against exact values, for denominators from 1 to a
// million, odd and even.
TEST(FProbability, IsTheCumulativeFDistributionForEveryDegreesOfFreedom) {
  const Exact cases[] = {
      // m = 2 for any n
      {2, 1, 3.0, NumeratorTwo(1, 3.0), 1e-9},
      {2, 3, 0.5, NumeratorTwo(3, 0.5), 1e-9},
      {2, 16, 3.6337, NumeratorTwo(16, 3.6337), 1e-9},
      {2, 999, 3.0, NumeratorTwo(999, 3.0), 1e-9},
      {2, 1000, 0.05, NumeratorTwo(1000, 0.05), 1e-9},
      {2, 99999, 4.6, NumeratorTwo(99999, 4.6), 1e-9},
      {2, 1000000, 3.0, NumeratorTwo(1000000, 3.0), 1e-9},
      // n = 2 for any m
      {1, 2, 0.3, DenominatorTwo(1, 0.3), 1e-9},
      {3, 2, 19.164, DenominatorTwo(3, 19.164), 1e-9},
      {4, 2, 1.0, DenominatorTwo(4, 1.0), 1e-9},
      {7, 2, 50.0, DenominatorTwo(7, 50.0), 1e-9},
      {40, 2, 300.0, DenominatorTwo(40, 300.0), 1e-9},
      // m = 1 through Student's t
      {1, 1, 0.01, StudentOneOne(0.01), 1e-9},
      {1, 1, 1.0, StudentOneOne(1.0), 1e-9},
      {1, 1, 161.4476, StudentOneOne(161.4476), 1e-9},
      {1, 2, 8.0, StudentTwo(8.0), 1e-9},
      {1, 3, 0.3, StudentThree(0.3), 1e-9},
      {1, 3, 10.0, StudentThree(10.0), 1e-9},
      {1, 4, 2.0, StudentFour(2.0), 1e-9},
      {1, 4, 50.0, StudentFour(50.0), 1e-9},
      // Published critical values: t(0.975, 1000) = 1.962339 squared, the
      // chi-square limits 3.841459 (1), 7.814728 / 3 and 9.487729 / 4, and
      // table values of F.
      {1, 1000, 3.850775, 95, 1e-3},
      {1, 1000000, 3.841459, 95, 1e-2},
      {3, 999999, 2.604909, 95, 1e-2},
      {4, 1000000, 2.371932, 95, 1e-2},
      {3, 16, 3.2389, 95, 1e-3},
      {1, 30, 4.1709, 95, 1e-3},
      {5, 10, 3.3258, 95, 1e-3},
      {12, 7, 3.5747, 95, 1e-3},
      {3, 60, 4.1259, 99, 1e-3},
      {10, 20, 3.3682, 99, 1e-3},
      {1, 1, 4052.181, 99, 1e-3},
      // Large denominators, to the printed decimal.
      {1, 998, 6.092, 98.6, 0.05},
      {3, 1000, 2.614, 95.0, 0.05},
  };
  for (const Exact& c : cases) {
    EXPECT_NEAR(FProbability(c.m, c.n, c.f), static_cast<double>(c.percent), c.tolerance)
        << "F(" << c.m << "," << c.n << ") = " << c.f;
  }
}

// Kept between 0.1 and 99.99: an F of zero or less, or one too small to
// show, gives 0.1; a very large one 99.99 (printed as 99.9).
TEST(FProbability, StaysWithinItsPrintedRange) {
  const Exact cases[] = {
      {2, 10, 0.0, 0.1, 0},         {1, 18, -2.5, 0.1, 0},     {3, 16, 1e-6, 0.1, 0},
      {1, 1, 1e-300, 0.1, 0},       {2, 16, 200.0, 99.99, 0},  {1, 1, 99999999.999, 99.99, 0},
      {3, 1000000, 1e300, 99.99, 0}, {8, 3, std::numeric_limits<double>::infinity(), 99.99, 0},
  };
  for (const Exact& c : cases) {
    EXPECT_EQ(FProbability(c.m, c.n, c.f), static_cast<double>(c.percent)) << c.m << "," << c.n << " " << c.f;
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
