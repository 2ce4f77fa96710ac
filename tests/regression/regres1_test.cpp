#include "regression/regres1.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/scripted_platform.h"

namespace kinvalo {
namespace {

class RegressionTest : public ::testing::Test {
 protected:
  test::ScriptedPlatform platform;
  AppState s{platform};
  Regres1State& r = s.Reg;

  void SetData(const std::vector<double>& x, const std::vector<double>& y) {
    s.DM.XData = x;
    s.DM.YData = y;
    s.DM.NrOfData = static_cast<std::int32_t>(x.size());
  }
};

// NIST StRD "Norris": certified straight-line regression results.
TEST_F(RegressionTest, StraightLineMatchesTheCertifiedNorrisResults) {
  SetData({0.2,   337.4, 118.2, 884.6, 10.1,  226.5, 666.3, 996.3, 448.6, 777.0, 558.2, 0.4,
           0.6,   775.5, 666.9, 338.0, 447.5, 11.6,  556.0, 228.1, 995.8, 887.6, 120.2, 0.3,
           0.3,   556.8, 339.1, 887.2, 999.0, 779.0, 11.1,  118.3, 229.2, 669.1, 448.9, 0.5},
          {0.1,   338.8, 118.1, 888.0, 9.2,   228.1, 668.5, 998.5, 449.1, 778.9, 559.2, 0.3,
           0.1,   778.1, 668.8, 339.3, 448.9, 10.8,  557.7, 228.3, 998.0, 888.8, 119.6, 0.3,
           0.6,   557.6, 339.3, 888.0, 998.5, 778.9, 10.2,  117.6, 228.9, 668.4, 449.2, 0.2});
  double coef = 0;
  ComputeExplanation(s, 0.2, coef, 1, 0);  // the smallest X: every data set above BP
  const GroupStats& st = r.GroupStat[2];
  EXPECT_EQ(r.GroupSum[2].N, 36);
  EXPECT_EQ(r.GroupSum[1].N, 0);
  EXPECT_NEAR(st.Slope, 1.00211681802045, 1e-12);
  EXPECT_NEAR(st.Intercept, -0.262323073774029, 1e-9);
  EXPECT_NEAR(st.R2, 0.999993745883712, 1e-12);
  EXPECT_NEAR(st.StErrSlope, 0.429796848199937e-3, 1e-12);
  EXPECT_NEAR(coef, 0.999993745883712, 1e-10) << "Type 1 gives the coefficient of determination";
  EXPECT_DOUBLE_EQ(r.TotalSSY, st.SSY);
}

TEST_F(RegressionTest, SidesSplitAtTheBreakpointWithTheBreakpointAbove) {
  SetData({1, 2, 3, 4, 5, 6}, {1, 1, 1, 2, 4, 6});
  ComputeGroupStatistics(s, 4.0);
  EXPECT_EQ(r.GroupSum[1].N, 3);
  EXPECT_EQ(r.GroupSum[2].N, 3) << "X equal to BP lies above";
  EXPECT_EQ(r.GroupSum[2].SumX, 15);
  EXPECT_DOUBLE_EQ(r.AvY[2], 4);
  EXPECT_DOUBLE_EQ(r.SegSlope[2], 2);
  // The left side lies exactly on a line: its slope's error is not available.
  EXPECT_EQ(r.GroupStat[1].StErrSlope, NotAvailable);
  EXPECT_EQ(r.GroupStat[1].Slope, 0);
  EXPECT_EQ(r.ResidualSS[1], 0);
  // A side of one data set has all statistics 0, its deviations included.
  ComputeGroupStatistics(s, 2.0);
  EXPECT_EQ(r.GroupSum[1].N, 1);
  EXPECT_EQ(r.GroupStat[1].StDevY, 0);
  EXPECT_EQ(r.AvY[1], 0);
}

TEST_F(RegressionTest, ReplicatedXOnOneSideGivesNoSlopeWhateverTheRounding) {
  // Five replicates at X = 0.1 sum to a tiny non-zero SSX in floating point.
  SetData({0.1, 0.1, 0.1, 0.1, 0.1, 2, 3, 4, 5, 6}, {1.1, 1.3, 0.9, 1.2, 1.0, 2, 3, 4, 5, 6});
  ComputeGroupStatistics(s, 1.0);
  EXPECT_EQ(r.GroupStat[1].SSX, 0);
  EXPECT_EQ(r.GroupStat[1].Slope, 0);
  EXPECT_EQ(r.GroupStat[1].StErrSlope, NotAvailable);
}

TEST_F(RegressionTest, DatesAsXKeepTheirSpread) {
  // X = 20240101 .. 20240140: the squares of X lose the spread in a double.
  std::vector<double> x, y;
  for (int i = 1; i <= 40; ++i) {
    x.push_back(20240100 + i);
    y.push_back(3 + 0.25 * i + (i % 2 ? 0.1 : -0.1));
  }
  SetData(x, y);
  ComputeGroupStatistics(s, 20240101);
  EXPECT_NEAR(r.GroupStat[2].SSX, 5330, 1e-6);  // 40 (40^2 - 1) / 12
  EXPECT_NEAR(r.GroupStat[2].Slope, 0.25, 1e-3);
}

TEST_F(RegressionTest, Type3FitsALevelThenALineThroughTheCentreAbove) {
  // Level 2 up to X = 5, then rising by 1 per unit.
  SetData({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {2, 2, 2, 2, 2, 3, 4, 5, 6, 7});
  double coef = 0;
  ComputeExplanation(s, 1.0, coef, 1, 0);
  ComputeExplanation(s, 5.0, coef, 3, 2);
  EXPECT_EQ(r.SegSlope[1], 0);
  // From (5, level 2) through the centre (7.5, 4.5) of the data above.
  EXPECT_DOUBLE_EQ(r.SegSlope[2], 1.0);
  EXPECT_NEAR(r.ResidualSS[1], 0, 1e-12);
  EXPECT_NEAR(r.ResidualSS[2], 0, 1e-12);
  EXPECT_DOUBLE_EQ(coef, 1.0);
  EXPECT_EQ(r.StErrSlope1, 0) << "side 1 lies on its level: variance 0";
  EXPECT_EQ(r.StErrSlope, r.StErrSlope2);
}

TEST_F(RegressionTest, CoefficientGuards) {
  double coef = 1;
  // All Y equal: no variation to explain.
  SetData({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, std::vector<double>(10, 0.1));
  ComputeExplanation(s, 1.0, coef, 1, 0);
  EXPECT_EQ(r.TotalSSY, 0);
  ComputeExplanation(s, 5.0, coef, 3, 2);
  EXPECT_EQ(coef, 0);
  // Fewer than 4 data on a side.
  SetData({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {2, 2, 2, 3, 4, 5, 6, 7, 8, 9});
  ComputeExplanation(s, 1.0, coef, 1, 0);
  ComputeExplanation(s, 4.0, coef, 3, 2);
  EXPECT_EQ(r.GroupSum[1].N, 3);
  EXPECT_EQ(coef, 0);
  // Type 3 with the centre above exactly at BP: the slope above is 0.
  SetData({1, 2, 3, 5, 5, 5}, {1, 2, 3, 4, 6, 8});
  ComputeExplanation(s, 5.0, coef, 3, 2);
  EXPECT_EQ(r.SegSlope[2], 0);
}

TEST_F(RegressionTest, StandardErrorsOfSidesWithTwoDataOrFewerAreAThousand) {
  SetData({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {1, 3, 2, 5, 4, 6, 8, 7, 9, 11});
  double coef = 0;
  ComputeExplanation(s, 1.0, coef, 1, 0);
  s.Reg.TotalSSX = s.Reg.GroupStat[2].SSX;
  ComputeExplanation(s, 3.0, coef, 3, 2);
  EXPECT_EQ(r.GroupSum[1].N, 2);
  EXPECT_EQ(r.StErrSlope1, 1000.0);
  EXPECT_GT(r.StErrSlope2, 0);
  EXPECT_LT(r.StErrSlope2, 1000.0);
  EXPECT_GT(r.StDevYbp, 0);
}

TEST_F(RegressionTest, CombinedLineJoinsBothBreakpoints) {
  // Level 1 up to 4, rising 1 per unit up to 8, level 5 beyond.
  SetData({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 1, 1, 1, 2, 3, 4, 5, 5, 5, 5, 5});
  double coef = 0;
  ComputeExplanation(s, 1.0, coef, 1, 0);
  s.R.BPType3 = 4;
  s.R.BPType4 = 8;
  s.R.AvYType3 = 1;
  s.R.AvYType4 = 5;
  s.R.BothTypesFound = true;
  ComputeCombinedLine(s);
  EXPECT_EQ(r.MidCount, 4);
  EXPECT_DOUBLE_EQ(r.MidSlope, 1.0);
  EXPECT_DOUBLE_EQ(s.R.CombY1, 1.0);
  EXPECT_DOUBLE_EQ(s.R.CombY2, 5.0);
  EXPECT_NEAR(r.ResidualSSCombined, 0, 1e-12);
  EXPECT_DOUBLE_EQ(s.R.CoefExplCombined, 1.0);
  EXPECT_TRUE(s.R.BothTypesFound);

  // Nothing between the breakpoints: the corners are the two levels.
  s.R.BPType3 = 4.2;
  s.R.BPType4 = 4.8;
  ComputeCombinedLine(s);
  EXPECT_EQ(r.MidSlope, 0);
  EXPECT_EQ(s.R.CombY1, 1.0);
  EXPECT_EQ(s.R.CombY2, 5.0);

  // One X value in the middle, twice: no slope, and the combination is off.
  SetData({1, 2, 3, 4, 6, 6, 9, 10, 11, 12}, {1, 1, 1, 1, 3, 3.5, 5, 5, 5, 5});
  s.R.BPType3 = 4;
  s.R.BPType4 = 8;
  ComputeCombinedLine(s);
  EXPECT_FALSE(s.R.BothTypesFound);
}

}  // namespace
}  // namespace kinvalo
