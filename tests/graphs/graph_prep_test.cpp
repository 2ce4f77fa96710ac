#include "graphs/graph_prep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/scripted_platform.h"

namespace kinvalo {
namespace {

class GraphPrepTest : public ::testing::Test {
 protected:
  // Fills the graph arrays as the output file reader leaves them.
  void Load(const std::vector<double>& xs, const std::vector<double>& ys,
            const std::vector<double>& ycalc = {}) {
    state.DM.GraphXData = xs;
    state.DM.GraphYData = ys;
    state.DM.GraphYCalc = ycalc.empty() ? ys : ycalc;
    state.DM.NrOfData = static_cast<std::int32_t>(xs.size());
  }
  void Prepare() {
    SelectGraphData(state);
    ScaleAxes(state);
    SetAxisLabels(state);
  }

  test::ScriptedPlatform platform;
  AppState state{platform};
};

enum class Axis { X, Y };

struct AxisCase {
  const char* name;
  Axis axis;
  std::vector<double> values;
  std::int32_t low, high, intervals, decimals;
};

void PrintTo(const AxisCase& c, std::ostream* os) { *os << c.name; }

class AxisRoundingTest : public GraphPrepTest, public ::testing::WithParamInterface<AxisCase> {};

TEST_P(AxisRoundingTest, AxisEndsIntervalsAndDecimals) {
  const AxisCase& c = GetParam();
  const std::vector<double> ones(c.values.size(), 1.0);
  const GraphState& g = state.Graph;
  if (c.axis == Axis::X) {
    Load(c.values, ones);
    ScaleAxes(state);
    EXPECT_EQ(state.R.XMin, *std::min_element(c.values.begin(), c.values.end()));
    EXPECT_EQ(state.R.XMax, *std::max_element(c.values.begin(), c.values.end()));
    EXPECT_EQ(g.XAxisLow, c.low);
    EXPECT_EQ(g.XAxisHigh, c.high);
    EXPECT_EQ(g.XIntervals, c.intervals);
    EXPECT_EQ(g.XDecimals, c.decimals);
  } else {
    Load(ones, c.values);
    ScaleAxes(state);
    EXPECT_EQ(g.YAxisLow, c.low);
    EXPECT_EQ(g.YAxisHigh, c.high);
    EXPECT_EQ(g.YIntervals, c.intervals);
    EXPECT_EQ(g.YDecimals, c.decimals);
  }
}

INSTANTIATE_TEST_SUITE_P(
    ScaleAxes, AxisRoundingTest,
    ::testing::Values(
        AxisCase{"X2_3To7_9UnitRow", Axis::X, {2.3, 5.0, 7.9}, 2, 8, 6, 1},
        AxisCase{"X0To12StepFourRoundsHalfToEven", Axis::X, {0, 6, 12}, 0, 16, 4, 1},
        AxisCase{"XMinus9To8ClampedToTenIntervals", Axis::X, {-9, 0, 8}, -10, 8, 10, 2},
        AxisCase{"X600_2To1430_6RoundedExtremes", Axis::X, {600.2, 1000, 1430.6}, 600, 1431, 4, 0},
        AxisCase{"X600_2To600_4WidenedToWholeUnits", Axis::X, {600.2, 600.4}, 600, 601, 4, 2},
        AxisCase{"Y2000_1To2000_3WidenedToWholeUnits", Axis::Y, {2000.1, 2000.3}, 2000, 2001, 4,
                 2},
        AxisCase{"XAllEqualFive", Axis::X, {5, 5, 5}, 4, 6, 4, 2},
        AxisCase{"XOnBound10TakesStepFour", Axis::X, {0, 10}, 0, 12, 4, 2},
        AxisCase{"XOnBound500DividesBy100", Axis::X, {0, 500}, 0, 500, 5, 0},
        AxisCase{"XOnBound10000DividesBy2500", Axis::X, {0, 10000}, 0, 10000, 4, 0},
        AxisCase{"XDatesAboveTenMillion", Axis::X, {20240301, 20240115, 20240201}, 20240115,
                 20240301, 4, 0},
        AxisCase{"XAllBelowMinusOneMillion", Axis::X, {-2000000, -1500000}, -2000000, -1500000, 10,
                 1},
        AxisCase{"YMinus9To8HalvesEighteenIntervals", Axis::Y, {-9, 0, 8}, -10, 8, 9, 1},
        AxisCase{"YTwentyIntervalsHalvedToTen", Axis::Y, {-9.4, 9.4}, -10, 10, 10, 1},
        AxisCase{"YThousandfoldTwoToEightOnUnitRow", Axis::Y, {0.002, 0.005, 0.008}, 2, 8, 6, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct FactorCase {
  const char* name;
  std::vector<double> ys;
  std::int32_t factor;
};

void PrintTo(const FactorCase& c, std::ostream* os) { *os << c.name; }

class YFactorTest : public GraphPrepTest, public ::testing::WithParamInterface<FactorCase> {};

TEST_P(YFactorTest, ScalesExtremesAndEveryYValue) {
  const FactorCase& c = GetParam();
  Load(std::vector<double>(c.ys.size(), 1.0), c.ys);
  ScaleAxes(state);
  ASSERT_EQ(state.Graph.YFactor, c.factor);
  EXPECT_DOUBLE_EQ(state.Graph.YMin, *std::min_element(c.ys.begin(), c.ys.end()) * c.factor);
  EXPECT_DOUBLE_EQ(state.Graph.YMax, *std::max_element(c.ys.begin(), c.ys.end()) * c.factor);
  for (size_t i = 0; i < c.ys.size(); ++i) {
    EXPECT_DOUBLE_EQ(state.DM.GraphYData[i], c.ys[i] * c.factor) << "data set " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    ScaleAxes, YFactorTest,
    ::testing::Values(FactorCase{"Thousandfold", {0.002, 0.005, 0.008}, 1000},
                      FactorCase{"Hundredfold", {0.02, 0.05}, 100},
                      FactorCase{"Tenfold", {0.2, 0.5}, 10},
                      FactorCase{"CrossingZeroNegativeDominated", {-0.5, 0.3}, 1},
                      FactorCase{"ZeroMinimum", {0, 0.005}, 1},
                      FactorCase{"MaximumExactlyHundredth", {0.005, 0.01}, 1},
                      FactorCase{"MaximumExactlyTenth", {0.02, 0.1}, 1},
                      FactorCase{"NegativeThousandfold", {-0.008, -0.002}, 1000},
                      FactorCase{"NegativeTenfold", {-0.5, -0.2}, 10},
                      FactorCase{"NegativeMinimumExactlyHundredth", {-0.01, -0.005}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GraphPrepTest, AnAxisEndBeyond32BitsThrows) {
  const std::vector<std::vector<double>> cases[] = {{{1, 3e9}, {1, 2}}, {{1, 2}, {1, -5e9}}, {{-2e9, 2e9}, {1, 2}}};
  for (const auto& c : cases) {
    Load(c[0], c[1]);
    EXPECT_THROW(ScaleAxes(state), std::overflow_error);
  }
}

TEST_F(GraphPrepTest, CalcObsModePlotsYcalcOnTheXAxis) {
  Load({100, 200, 300}, {0.3, 0.5, 0.8}, {2.3, 5.0, 7.9});
  state.Graph.GraphMode = 3;
  state.Graph.FileType = 4;
  Prepare();
  EXPECT_EQ(state.Graph.GraphCode, 18);
  EXPECT_EQ(state.Graph.GraphType, 1);
  EXPECT_EQ(state.DM.GraphXData, (std::vector<double>{2.3, 5.0, 7.9}));
  EXPECT_EQ(state.R.XMin, 2.3);
  EXPECT_EQ(state.Graph.XAxisLow, 2);
  EXPECT_EQ(state.Graph.XAxisHigh, 8);
}

TEST_F(GraphPrepTest, OrdinaryModesTakeTheFileTypeAndKeepX) {
  for (std::uint8_t mode : {0, 1}) {
    Load({1, 2, 3}, {4, 5, 6}, {7, 8, 9});
    state.Graph.GraphMode = mode;
    state.Graph.FileType = 3;
    state.Graph.GraphCode = 18;  // left by an earlier calc-obs graph
    SelectGraphData(state);
    EXPECT_EQ(state.Graph.GraphCode, 0);
    EXPECT_EQ(state.Graph.GraphType, 3);
    EXPECT_EQ(state.DM.GraphXData, (std::vector<double>{1, 2, 3}));
  }
}

struct LabelCase {
  const char* name;
  std::uint8_t mode;
  std::vector<double> ys;
  const char* xLabel;
  const char* yLabel;
};

void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.name; }

class AxisLabelTest : public GraphPrepTest, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(AxisLabelTest, Captions) {
  const LabelCase& c = GetParam();
  Load({1, 2}, c.ys, {3, 4});
  state.Graph.GraphMode = c.mode;
  Prepare();
  EXPECT_EQ(state.Graph.XLabel, c.xLabel);
  EXPECT_EQ(state.Graph.YLabel, c.yLabel);
}

INSTANTIATE_TEST_SUITE_P(
    SetAxisLabels, AxisLabelTest,
    ::testing::Values(LabelCase{"OrdinaryUnscaled", 0, {1, 5}, "X-Data", "Y-Data"},
                      LabelCase{"OrdinaryTenfold", 0, {0.2, 0.5}, "X-Data", "Y-data * 10"},
                      LabelCase{"OrdinaryThousandfoldHasNoCaption", 0, {0.002, 0.008}, "X-Data",
                                "Y-Data"},
                      LabelCase{"CalcObsUnscaled", 3, {1, 5}, "Ycalc", "Yobs"},
                      LabelCase{"CalcObsHundredfold", 3, {0.02, 0.05}, "Ycalc", "Yobs * 100"},
                      LabelCase{"CalcObsThousandfoldHasNoCaption", 3, {0.002, 0.008}, "Ycalc",
                                "Yobs"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kinvalo
