#include "graphs/graph_prep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
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

// An axis as the user reads it: its ends, intervals and decimals, its
// caption and the label of its highest tick.
struct AxisCase {
  const char* name;
  Axis axis;
  std::vector<double> values;
  double low, high;
  std::int32_t intervals, decimals;
  const char* caption;
  const char* highLabel;
};

void PrintTo(const AxisCase& c, std::ostream* os) { *os << c.name; }

class AxisRoundingTest : public ::testing::TestWithParam<AxisCase> {};

TEST_P(AxisRoundingTest, AxisEndsIntervalsDecimalsAndLabels) {
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
  EXPECT_EQ(x ? p.xLabel : p.yLabel, c.caption);
  EXPECT_EQ(TickLabel(a, a.high), c.highLabel);
}

// The magnitude rows give the axes of everyday data; where the data fill
// less than half of such an axis, stand out of it or get labels that repeat
// or do not fit, the axis runs from one multiple of 1, 2, 2.5 or 5 times a
// power of ten to another.
INSTANTIATE_TEST_SUITE_P(
    PrepareGraph, AxisRoundingTest,
    ::testing::Values(
        AxisCase{"X2_3To7_9UnitRow", Axis::X, {2.3, 5.0, 7.9}, 2, 8, 6, 1, "X-Data", "8.0"},
        AxisCase{"X0To12StepFourRoundsHalfToEven", Axis::X, {0, 6, 12}, 0, 16, 4, 1, "X-Data", "16.0"},
        AxisCase{"XMinus9To8ClampedToTenIntervals", Axis::X, {-9, 0, 8}, -10, 8, 10, 2, "X-Data", "8.00"},
        AxisCase{"Y26To48StepFive", Axis::Y, {26, 48}, 25, 50, 5, 1, "Y-Data", "50.0"},
        AxisCase{"X20To95StepTen", Axis::X, {20, 95}, 20, 100, 8, 0, "X-Data", "100"},
        AxisCase{"Y50To240StepTwentyFive", Axis::Y, {50, 240}, 50, 250, 8, 0, "Y-Data", "250"},
        AxisCase{"X100To480StepFifty", Axis::X, {100, 480}, 100, 500, 8, 0, "X-Data", "500"},
        AxisCase{"X600_2To1430_6RoundedExtremes", Axis::X, {600.2, 1000, 1430.6}, 600, 1431, 4, 0, "X-Data", "1431"},
        AxisCase{"X600_6To700_4StandsOutALittle", Axis::X, {600.6, 700.4}, 601, 700, 4, 0, "X-Data", "700"},
        AxisCase{"XOnBound500DividesBy100", Axis::X, {0, 500}, 0, 500, 5, 0, "X-Data", "500"},
        AxisCase{"XOnBound10000DividesBy2500", Axis::X, {0, 10000}, 0, 10000, 4, 0, "X-Data", "10000"},
        AxisCase{"XDatesAboveTenMillion", Axis::X, {20240301, 20240115}, 20240115, 20240301, 4, 0, "X-Data", "20240301"},
        AxisCase{"XMillionAndThirty", Axis::X, {1e6, 1000030}, 1e6, 1000030, 4, 0, "X-Data", "1000030"},
        AxisCase{"YMinus9To8HalvesEighteenIntervals", Axis::Y, {-9, 0, 8}, -10, 8, 9, 1, "Y-Data", "8.0"},
        AxisCase{"YTwentyIntervalsHalvedToTen", Axis::Y, {-9.4, 9.4}, -10, 10, 10, 1, "Y-Data", "10.0"},
        AxisCase{"YThousandfoldTwoToEightOnUnitRow", Axis::Y, {0.002, 0.008}, 2, 8, 6, 1, "Y-Data", "8.0"},
        AxisCase{"XAllEqualFive", Axis::X, {5, 5, 5}, 4, 6, 4, 2, "X-Data", "6.00"},
        AxisCase{"XOnBound10TakesStepFour", Axis::X, {0, 10}, 0, 12, 4, 2, "X-Data", "12.00"},
        AxisCase{"X0To1FillsHalf", Axis::X, {0, 1}, 0, 2, 4, 2, "X-Data", "2.00"},
        AxisCase{"X0_1To1FillsLessThanHalf", Axis::X, {0.1, 1}, 0.1, 1, 9, 1, "X-Data", "1.0"},
        AxisCase{"XThousandthsToHundredths", Axis::X, {0.001, 0.03}, 0, 0.03, 6, 3, "X-Data", "0.030"},
        AxisCase{"X600_2To600_4", Axis::X, {600.2, 600.4}, 600.2, 600.4, 4, 2, "X-Data", "600.40"},
        AxisCase{"X600_6To620_4StandsOutTooFar", Axis::X, {600.6, 620.4}, 600, 622.5, 9, 1, "X-Data", "622.5"},
        AxisCase{"X100To103", Axis::X, {100, 103}, 100, 103, 6, 1, "X-Data", "103.0"},
        AxisCase{"X1000To1003LabelsWouldRepeat", Axis::X, {1000, 1003}, 1000, 1003, 6, 1, "X-Data", "1003.0"},
        AxisCase{"XNegativeTenths", Axis::X, {-0.5, -0.1}, -0.5, -0.1, 4, 1, "X-Data", "-0.1"},
        AxisCase{"YNegativeLabelsTooWide", Axis::Y, {-1180, -1120}, -1180, -1120, 6, 0, "Y-Data", "-1120"},
        AxisCase{"XLabelsTooWideForTenIntervals", Axis::X, {-9999, 9999}, -1e4, 1e4, 4, 0, "X-Data", "10000"},
        AxisCase{"XAllBelowMinusOneMillion", Axis::X, {-2e6, -1.5e6}, -2e6, -1.5e6, 5, 1, "X-Data * 1E-6", "-1.5"},
        AxisCase{"YHundredThousandths", Axis::Y, {1e-5, 9e-5}, 1e-5, 9e-5, 8, 0, "Y-data * 1E6", "90"},
        AxisCase{"YBillions", Axis::Y, {2e9, 5e9}, 2e9, 5e9, 6, 1, "Y-data * 1E-9", "5.0"},
        AxisCase{"Y2000_1To2000_3", Axis::Y, {2000.1, 2000.3}, 2000.1, 2000.3, 4, 2, "Y-data - 2000", "0.30"},
        AxisCase{"XTenthsBesideAMillion", Axis::X, {1000000.2, 1000000.8}, 1000000.2, 1000000.8, 6, 1,
                 "X-Data - 1E6", "0.8"},
        AxisCase{"XMillionsBesideATrillion", Axis::X, {1000001e6, 1000004e6}, 1000001e6, 1000004e6, 6, 1,
                 "(X-Data - 1E12) * 1E-6", "4.0"}),
    [](const auto& info) { return std::string(info.param.name); });

// Across ranges of 1e-8 to 1e9, near zero or far from it, the data fill at
// least half of each axis and lie on it, with 4 to 10 intervals and labels
// that differ and fit beside the axis. Below the magnitude rows a range
// scaled by a power of ten gives the same picture.
TEST(GraphPrepTest, AxesFitTheDataAtAnyScaleAndOffset) {
  const double relative[] = {0, -0.6, 312, -4.7e4};  // offsets in ranges
  const double absolute[] = {1e3, -1e6};
  std::vector<double> smallest;  // data positions on the axes at 1e-8
  for (int k = -8; k <= 9; ++k) {
    const double range = 1.37 * std::pow(10.0, k);
    std::vector<double> lows;
    for (double r : relative) lows.push_back(r * range);
    for (double o : absolute) lows.push_back(o);
    for (size_t o = 0; o < lows.size(); ++o) {
      const double lo = lows[o];
      const std::vector<double> v = {lo + 0.3 * range, lo, lo + range, lo + 0.71 * range};
      const PreparedGraph p = PrepareGraph(Model(v, v), false);
      for (const bool y : {false, true}) {
        const AxisScale& a = y ? p.yAxis : p.xAxis;
        const double mn = y ? p.yMin : p.xMin, mx = y ? p.yMax : p.xMax, length = a.high - a.low;
        const std::string at = "range " + std::to_string(range) + " from " + std::to_string(lo) + (y ? " Y" : " X");
        EXPECT_GE(mx - mn, 0.5 * length) << at;
        EXPECT_TRUE(mn >= a.low - 0.01 * length && mx <= a.high + 0.01 * length) << at;
        ASSERT_TRUE(a.intervals >= 4 && a.intervals <= 10) << at;
        const size_t room = y ? 6 : 500 / (8 * a.intervals);
        std::string before;
        for (std::int32_t i = 0; i <= a.intervals; ++i) {
          const std::string label = TickLabel(a, y ? a.FromHigh(i) : a.FromLow(i));
          EXPECT_TRUE(label.size() <= room && label != before) << at << ": " << before << " " << label;
          before = label;
        }
        if (k > -2 || o >= std::size(relative)) continue;
        for (size_t j = 0; j < v.size(); ++j) {
          const double position = (v[j] - a.low) / length;
          if (k == -8) {
            smallest.push_back(position);
          } else {
            EXPECT_NEAR(position, smallest[(o * 2 + y) * v.size() + j], 1e-9) << at;
          }
        }
      }
    }
  }
}

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

TEST(GraphPrepTest, DataTooFarApartForAnAxisThrow) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<std::vector<double>> cases[] = {
      {{-1e308, 1e308}, {1, 2}}, {{1, 2}, {-1e308, 1e308}}, {{1, inf}, {1, 2}}, {{1, 2}, {-inf, 1}}};
  for (const auto& c : cases) EXPECT_THROW(PrepareGraph(Model(c[0], c[1]), false), std::overflow_error);
}

}  // namespace
}  // namespace kinvalo
