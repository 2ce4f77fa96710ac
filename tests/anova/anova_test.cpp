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
  std::vector<Exact> cases;
  using Pairs = std::vector<std::pair<int, double>>;
  // m = 2 for any n; n = 2 for any m
  for (const auto& [n, f] : Pairs{{1, 3.0}, {3, 0.5}, {16, 3.6337}, {999, 3.0}, {1000, 0.05}, {99999, 4.6}, {1000000, 3.0}}) {
    cases.push_back({2, n, f, NumeratorTwo(n, f), 1e-9});
  }
  for (const auto& [m, f] : Pairs{{1, 0.3}, {3, 19.164}, {4, 1.0}, {7, 50.0}, {40, 300.0}}) {
    cases.push_back({m, 2, f, DenominatorTwo(m, f), 1e-9});
  }
  // m = 1 through Student's t
  for (const double f : {0.01, 1.0, 161.4476}) cases.push_back({1, 1, f, StudentOneOne(f), 1e-9});
  for (const double f : {0.3, 10.0}) cases.push_back({1, 3, f, StudentThree(f), 1e-9});
  for (const double f : {2.0, 50.0}) cases.push_back({1, 4, f, StudentFour(f), 1e-9});
  cases.push_back({1, 2, 8.0, StudentTwo(8.0), 1e-9});
  // Published critical values: t(0.975, 1000) = 1.962339 squared, the
  // chi-square limits 3.841459 (1), 7.814728 / 3 and 9.487729 / 4, and
  // table values of F; large denominators to the printed decimal.
  const Exact published[] = {
      {1, 1000, 3.850775, 95, 1e-3}, {1, 1000000, 3.841459, 95, 1e-2}, {3, 999999, 2.604909, 95, 1e-2},
      {4, 1000000, 2.371932, 95, 1e-2}, {3, 16, 3.2389, 95, 1e-3},    {1, 30, 4.1709, 95, 1e-3},
      {5, 10, 3.3258, 95, 1e-3},        {12, 7, 3.5747, 95, 1e-3},    {3, 60, 4.1259, 99, 1e-3},
      {10, 20, 3.3682, 99, 1e-3},       {1, 1, 4052.181, 99, 1e-3},   {1, 998, 6.092, 98.6, 0.05},
      {3, 1000, 2.614, 95.0, 0.05}};
  cases.insert(cases.end(), std::begin(published), std::end(published));
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
      {1, 1, 1e-300, 0.1, 0},       {2, 16, 200.0, 99.99, 0},  {1, 1, 1e9, 99.99, 0},
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
  // The raw lines the report writer left, the file when no table is made.
  const std::vector<std::string> rawLines = {" 1", "   20", "   2.50E+002", "   2.00E+002", "       4.500", "     150.000"};
  const std::string raw = Lines(rawLines);
};

struct TableCase {
  const char* name;
  std::uint8_t resultType;
  bool bothTypes;
  VarianceSums sums;
  std::string expected;
};

void PrintTo(const TableCase& c, std::ostream* os) { *os << c.name; }

class AnovaTableTest : public AnovaFileTest, public ::testing::WithParamInterface<TableCase> {};

TEST_P(AnovaTableTest, ReplacesTheRawLinesByTheTable) {
  const TableCase& c = GetParam();
  test::WriteBytes(varPath, "an earlier table");
  TextWriter out;
  ASSERT_TRUE(out.Create(varPath));
  AnovaRun(out, c.sums, rawLines, {FunctionTypeFromFile(c.resultType), c.bothTypes, 4.5, 6.25}, platform);
  out.Commit();
  EXPECT_EQ(test::ReadBytes(varPath), c.expected + kClosing);
  EXPECT_EQ(dir.Listing(), "data.var ");
  EXPECT_TRUE(platform.messages.empty());
}

std::vector<TableCase> TableCases() {
  return {
      // Ten data sets: the most whose degrees of freedom take one digit.
      {"Type1TenDataSets", 1, false, {10, 123, 45.6, {}},
       Opening("Type: 1", "     123.000", "", "      10", "       9") +
           LinearBlock("F(1,8)=", "      77.400              1         77.400      13.579         99.4 %",
                       "      45.600              8          5.700")},
      {"Type3TwentyDataSets", 3, false, {20, 250, 200, 150},
       Opening("Type: 3", "     250.000", "", "      20", "      19") +
           LinearBlock("F(1,18)=", "      50.000              1         50.000       4.500         95.2 %",
                       "     200.000             18         11.111") +
           BreakPointBlocks("F(2,16)=", "      50.000              2         25.000        2.667        90.0 %",
                            "F(3,16)=", "     100.000              3         33.333        3.556        96.2 %",
                            "     150.000             16          9.375")},
      {"Type4HundredAndOneDataSetsShowsAtMost99_9", 4, false, {101, 1000, 10, 9},
       Opening("Type: 4", "    1000.000", "", "     101", "     100") +
           LinearBlock("F(1, 99)=", "     990.000              1        990.000    9801.000         99.9 %",
                       "      10.000             99          0.101") +
           BreakPointBlocks("F(2, 97)=", "       1.000              2          0.500        5.389        99.4 %",
                            "F(3, 97)=", "     991.000              3        330.333     3560.259        99.9 %",
                            "       9.000             97          0.093")},
      // A hundred data sets: the most whose degrees of freedom take two digits.
      {"BothTypesHundredDataSets", 3, true, {100, 60, 58, 55},
       Opening("Types:3 and 4", "      60.000", "   4.500   and    6.250", "     100", "      99") +
           LinearBlock("F(1,98)=", "       2.000              1          2.000       3.379         93.1 %",
                       "      58.000             98          0.592") +
           BreakPointBlocks("F(2,96)=", "       3.000              2          1.500        2.618        92.2 %",
                            "F(3,96)=", "       5.000              3          1.667        2.909        96.2 %",
                            "      55.000             96          0.573")},
      // The break-point model fits worse than the straight line: nothing
      // extra is explained, and no negative sum or F is shown.
      {"BreakPointWorseThanTheLineExplainsNothingExtra", 3, false, {20, 250, 150, 150.5},
       Opening("Type: 3", "     250.000", "", "      20", "      19") +
           LinearBlock("F(1,18)=", "     100.000              1        100.000      12.000         99.7 %",
                       "     150.000             18          8.333") +
           BreakPointBlocks("F(2,16)=", "       0.000              2          0.000        0.000         0.1 %",
                            "F(3,16)=", "      99.500              3         33.167        3.526        96.1 %",
                            "     150.500             16          9.406")},
      // A perfect line, its residual rounded a hair below zero.
      {"PerfectLineGivesTheLargestF", 1, false, {12, 80, -1e-12, {}},
       Opening("Type: 1", "      80.000", "", "      12", "      11") +
           LinearBlock("F(1,10)=", "      80.000              1         80.000 9999999.999         99.9 %",
                       "       0.000             10          0.000")},
      {"PerfectBreakPointFitGivesTheLargestF", 4, false, {30, 50, 20, 0},
       Opening("Type: 4", "      50.000", "", "      30", "      29") +
           LinearBlock("F(1,28)=", "      30.000              1         30.000      42.000         99.9 %",
                       "      20.000             28          0.714") +
           BreakPointBlocks("F(2,26)=", "      20.000              2         10.000  9999999.999        99.9 %",
                            "F(3,26)=", "      50.000              3         16.667  9999999.999        99.9 %",
                            "       0.000             26          0.000")},
      // Sums too small to show still give their exact F.
      {"SmallSumsKeepTheirF", 3, false, {40, 1.46753e-4, 1.33e-5, 3.242e-6},
       Opening("Type: 3", "       0.000", "", "      40", "      39") +
           LinearBlock("F(1,38)=", "       0.000              1          0.000     381.294         99.9 %",
                       "       0.000             38          0.000") +
           BreakPointBlocks("F(2,36)=", "       0.000              2          0.000       55.843        99.9 %",
                            "F(3,36)=", "       0.000              3          0.000      531.194        99.9 %",
                            "       0.000             36          0.000")},
      // An F too large to print is capped.
      {"LargeFIsCapped", 1, false, {1000, 1e6, 1e-6, {}},
       Opening("Type: 1", " 1000000.000", "", "    1000", "     999") +
           LinearBlock("F(1,998)=", " 1000000.000              1    1000000.000 9999999.999         99.9 %",
                       "       0.000            998          0.000")},
  };
}

INSTANTIATE_TEST_SUITE_P(AnovaRun, AnovaTableTest, ::testing::ValuesIn(TableCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Without variation the message is shown and the raw lines are the file;
// sums that no result can have throw before a line is written.
TEST_F(AnovaFileTest, KeepsTheRawLinesAndShowsWhyOrThrows) {
  const struct {
    std::uint8_t resultType;
    VarianceSums sums;
    bool throws;
  } cases[] = {{1, {8, 0, 0, {}}, false},            // no variation
               {3, {20, -1e-20, 0, 0}, false},       // total rounded below zero
               {3, {4, 250, 200, 150}, true},        // fewer than five data sets
               {4, {20, 250, 200, {}}, true}};       // a break-point result without its residual
  for (const auto& c : cases) {
    platform.messages.clear();
    TextWriter out;
    ASSERT_TRUE(out.Create(varPath));
    auto run = [&] { AnovaRun(out, c.sums, rawLines, {FunctionTypeFromFile(c.resultType)}, platform); };
    if (c.throws) EXPECT_THROW(run(), std::invalid_argument);
    else run();
    out.Commit();
    EXPECT_EQ(platform.messages, c.throws ? std::vector<std::string>{} : std::vector<std::string>{kNoVariationAnova});
    EXPECT_EQ(test::ReadBytes(varPath), c.throws ? "" : raw);
    EXPECT_EQ(dir.Listing(), "data.var ");
  }
}

}  // namespace
}  // namespace kinvalo
