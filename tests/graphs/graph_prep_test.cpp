#include "graphs/graph_prep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace kinvalo {
namespace {

// A model with the observation table as the output file reader gives it.
GraphModel Model(const std::vector<double>& xs, const std::vector<double>& ys,
                 const std::vector<double>& ycalc = {}) {
  GraphModel m;
  m.x = xs;
  m.yObs = ys;
  m.yCalc = ycalc.empty() ? ys : ycalc;
  return m;
}

enum class Axis { X, Y };

struct AxisCase {
  const char* name;
  Axis axis;
  std::vector<double> values;
  std::int32_t low, high, intervals, decimals;
};

void PrintTo(const AxisCase& c, std::ostream* os) { *os << c.name; }

class AxisRoundingTest : public ::testing::TestWithParam<AxisCase> {};

TEST_P(AxisRoundingTest, AxisEndsIntervalsAndDecimals) {
  const AxisCase& c = GetParam();
  const std::vector<double> ones(c.values.size(), 1.0);
  const bool x = c.axis == Axis::X;
  const PreparedGraph p = PrepareGraph(x ? Model(c.values, ones) : Model(ones, c.values), false);
  const AxisScale& a = x ? p.xAxis : p.yAxis;
  if (x) {
    EXPECT_EQ(p.xMin, *std::min_element(c.values.begin(), c.values.end()));
    EXPECT_EQ(p.xMax, *std::max_element(c.values.begin(), c.values.end()));
  }
  EXPECT_EQ(std::tuple(a.low, a.high, a.intervals, a.decimals), std::tuple(c.low, c.high, c.intervals, c.decimals));
}

INSTANTIATE_TEST_SUITE_P(
    PrepareGraph, AxisRoundingTest,
    ::testing::Values(
        AxisCase{"X2_3To7_9UnitRow", Axis::X, {2.3, 5.0, 7.9}, 2, 8, 6, 1},
        AxisCase{"X0To12StepFourRoundsHalfToEven", Axis::X, {0, 6, 12}, 0, 16, 4, 1},
        AxisCase{"XMinus9To8ClampedToTenIntervals", Axis::X, {-9, 0, 8}, -10, 8, 10, 2},
        AxisCase{"X600_2To1430_6RoundedExtremes", Axis::X, {600.2, 1000, 1430.6}, 600, 1431, 4, 0},
        AxisCase{"X600_2To600_4WidenedToWholeUnits", Axis::X, {600.2, 600.4}, 600, 601, 4, 2},
        AxisCase{"Y2000_1To2000_3WidenedToWholeUnits", Axis::Y, {2000.1, 2000.3}, 2000, 2001, 4, 2},
        AxisCase{"XAllEqualFive", Axis::X, {5, 5, 5}, 4, 6, 4, 2},
        AxisCase{"XOnBound10TakesStepFour", Axis::X, {0, 10}, 0, 12, 4, 2},
        AxisCase{"XOnBound500DividesBy100", Axis::X, {0, 500}, 0, 500, 5, 0},
        AxisCase{"XOnBound10000DividesBy2500", Axis::X, {0, 10000}, 0, 10000, 4, 0},
        AxisCase{"XDatesAboveTenMillion", Axis::X, {20240301, 20240115, 20240201}, 20240115, 20240301, 4, 0},
        AxisCase{"XAllBelowMinusOneMillion", Axis::X, {-2000000, -1500000}, -2000000, -1500000, 10, 1},
        AxisCase{"YMinus9To8HalvesEighteenIntervals", Axis::Y, {-9, 0, 8}, -10, 8, 9, 1},
        AxisCase{"YTwentyIntervalsHalvedToTen", Axis::Y, {-9.4, 9.4}, -10, 10, 10, 1},
        AxisCase{"YThousandfoldTwoToEightOnUnitRow", Axis::Y, {0.002, 0.005, 0.008}, 2, 8, 6, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct FactorCase {
  const char* name;
  bool calcObs;
  std::vector<double> ys;
  std::int32_t factor;
  const char* yLabel;
};

void PrintTo(const FactorCase& c, std::ostream* os) { *os << c.name; }

class YFactorTest : public ::testing::TestWithParam<FactorCase> {};

TEST_P(YFactorTest, ScalesExtremesAndEveryYValueButNotTheModelAndNamesTheAxes) {
  const FactorCase& c = GetParam();
  const GraphModel model = Model(std::vector<double>(c.ys.size(), 1.0), c.ys, c.ys);
  const PreparedGraph p = PrepareGraph(model, c.calcObs);
  ASSERT_EQ(p.yFactor, c.factor);
  EXPECT_DOUBLE_EQ(p.yMin, *std::min_element(c.ys.begin(), c.ys.end()) * c.factor);
  EXPECT_DOUBLE_EQ(p.yMax, *std::max_element(c.ys.begin(), c.ys.end()) * c.factor);
  for (size_t i = 0; i < c.ys.size(); ++i) EXPECT_DOUBLE_EQ(p.y[i], c.ys[i] * c.factor) << "data set " << i;
  EXPECT_EQ(model.yObs, c.ys);  // a second preparation starts from the same values
  EXPECT_EQ(p.xLabel, c.calcObs ? "Ycalc" : "X-Data");
  EXPECT_EQ(p.yLabel, c.yLabel);  // a thousandfold scale has no caption
}

INSTANTIATE_TEST_SUITE_P(
    PrepareGraph, YFactorTest,
    ::testing::Values(FactorCase{"Unscaled", false, {1, 5}, 1, "Y-Data"},
                      FactorCase{"Thousandfold", false, {0.002, 0.005, 0.008}, 1000, "Y-Data"},
                      FactorCase{"Hundredfold", false, {0.02, 0.05}, 100, "Y-data * 100"},
                      FactorCase{"Tenfold", false, {0.2, 0.5}, 10, "Y-data * 10"},
                      FactorCase{"CrossingZeroNegativeDominated", false, {-0.5, 0.3}, 1, "Y-Data"},
                      FactorCase{"ZeroMinimum", false, {0, 0.005}, 1, "Y-Data"},
                      FactorCase{"MaximumExactlyHundredth", false, {0.005, 0.01}, 1, "Y-Data"},
                      FactorCase{"MaximumExactlyTenth", false, {0.02, 0.1}, 1, "Y-Data"},
                      FactorCase{"NegativeThousandfold", false, {-0.008, -0.002}, 1000, "Y-Data"},
                      FactorCase{"NegativeTenfold", false, {-0.5, -0.2}, 10, "Y-data * 10"},
                      FactorCase{"NegativeMinimumExactlyHundredth", false, {-0.01, -0.005}, 1, "Y-Data"},
                      FactorCase{"CalcObsUnscaled", true, {1, 5}, 1, "Yobs"},
                      FactorCase{"CalcObsHundredfold", true, {0.02, 0.05}, 100, "Yobs * 100"},
                      FactorCase{"CalcObsThousandfold", true, {0.002, 0.008}, 1000, "Yobs"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GraphPrepTest, AnAxisEndBeyond32BitsThrows) {
  const std::vector<std::vector<double>> cases[] = {{{1, 3e9}, {1, 2}}, {{1, 2}, {1, -5e9}}, {{-2e9, 2e9}, {1, 2}}};
  for (const auto& c : cases) EXPECT_THROW(PrepareGraph(Model(c[0], c[1]), false), std::overflow_error);
}

}  // namespace
}  // namespace kinvalo
