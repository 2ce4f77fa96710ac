#include "regression/side_statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "support/norris.h"

namespace kinvalo {
namespace {

// Data held for the span-based functions; x is sorted when the test needs
// a splitter.
struct Data {
  std::vector<double> x, y;
  Sample sample() const { return {x, y}; }
};

// NIST StRD "Norris": certified straight-line regression results.
TEST(SideStatisticsTest, StraightLineMatchesTheCertifiedNorrisResults) {
  const Data d{test::kNorrisX, test::kNorrisY};
  // Sorted by X, carrying Y, for the straight-line fit of the search.
  std::vector<size_t> order(d.x.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return d.x[a] < d.x[b]; });
  Data sorted;
  for (size_t i : order) sorted.x.push_back(d.x[i]), sorted.y.push_back(d.y[i]);

  SortedSplitter splitter(sorted.sample());
  const BreakpointFit line = FitStraightLine(splitter, 0.2);  // every data set at or above
  for (const BreakpointSides& sides : {line.sides, SplitAt(d.sample(), 0.2)}) {
    const SideStatistics& st = sides[kAbove];
    EXPECT_EQ(st.n, 36);
    EXPECT_EQ(sides[kBelow].n, 0);
    EXPECT_NEAR(st.slope, 1.00211681802045, 1e-14);  // 14 digits
    EXPECT_NEAR(st.intercept, -0.262323073774029, 1e-9);
    EXPECT_NEAR(st.r2, 0.999993745883712, 1e-12);
    EXPECT_NEAR(st.stErrSlope, 0.429796848199937e-3, 1e-12);
  }
  EXPECT_NEAR(line.coefExpl, 0.999993745883712, 1e-10) << "Type 1 gives the coefficient of determination";
}

// NIST StRD univariate "NumAcc" data sets: values far from zero beside
// their spread, with certified mean and standard deviation. A side keeps
// both, whether the values are its Y or its X, in one pass over unsorted
// data or in the running sums of a scan.
TEST(SideStatisticsTest, MeanAndDeviationOfASideMatchTheCertifiedNumAccResults) {
  struct Certified {
    const char* name;
    std::vector<double> values;
    double mean, stDev;
  };
  auto pairs = [](double centre, double low, double high) {
    std::vector<double> v{centre};
    for (int i = 0; i < 500; ++i) v.insert(v.end(), {low, high});
    return v;
  };
  const Certified sets[] = {
      {"NumAcc1", {10000001, 10000003, 10000002}, 10000002, 1},
      {"NumAcc2", pairs(1.2, 1.1, 1.3), 1.2, 0.1},
      {"NumAcc3", pairs(1000000.2, 1000000.1, 1000000.3), 1000000.2, 0.1},
      {"NumAcc4", pairs(10000000.2, 10000000.1, 10000000.3), 10000000.2, 0.1},
  };
  for (const Certified& c : sets) {
    std::vector<double> index(c.values.size());
    for (size_t i = 0; i < index.size(); ++i) index[i] = static_cast<double>(i);
    std::vector<double> sorted = c.values;
    std::sort(sorted.begin(), sorted.end());
    // The values are stored as doubles: 10000000.1 is off by 1e-9 already.
    const double tolerance = 1e-8 * c.stDev;
    const SideStatistics asY = SplitAt({index, c.values}, -1)[kAbove];
    EXPECT_NEAR(asY.avY, c.mean, 1e-15 * c.mean) << c.name;
    EXPECT_NEAR(asY.stDevY, c.stDev, tolerance) << c.name;
    SortedSplitter scan({sorted, index});
    for (const SideStatistics& asX : {SplitAt({c.values, index}, c.values.front() - 1)[kAbove],
                                      scan.SplitAt(sorted.front())[kAbove]}) {
      EXPECT_NEAR(asX.avX, c.mean, 1e-15 * c.mean) << c.name;
      EXPECT_NEAR(asX.stDevX, c.stDev, tolerance) << c.name;
    }
  }
}

TEST(SideStatisticsTest, SidesSplitAtTheBreakpointWithTheBreakpointAbove) {
  const Data d{{1, 2, 3, 4, 5, 6}, {1, 1, 1, 2, 4, 6}};
  SortedSplitter splitter(d.sample());
  // The splitter steps forward and back over its running sums; the sides
  // are those of one pass over all data.
  for (double bp : {4.0, 2.0, 4.0, 7.0, 1.0}) {
    const BreakpointSides sorted = splitter.SplitAt(bp);
    const BreakpointSides pass = SplitAt(d.sample(), bp);
    for (SideIndex g : {kBelow, kAbove}) {
      EXPECT_EQ(std::tuple(sorted[g].n, sorted[g].avY, sorted[g].slope),
                std::tuple(pass[g].n, pass[g].avY, pass[g].slope)) << bp;
    }
  }
  const BreakpointSides at4 = SplitAt(d.sample(), 4.0);
  EXPECT_EQ(std::tuple(at4[kBelow].n, at4[kAbove].n), std::tuple(3, 3)) << "X at the breakpoint lies above";
  EXPECT_EQ(std::tuple(at4[kAbove].avY, at4[kAbove].slope), std::tuple(4.0, 2.0));
  // The side below lies exactly on a level: no slope, its error not available.
  EXPECT_EQ(std::tuple(at4[kBelow].slope, at4[kBelow].stErrSlope), std::tuple(0.0, NotAvailable));
  // A side of one data set has all statistics 0, its deviations included.
  const SideStatistics one = SplitAt(d.sample(), 2.0)[kBelow];
  EXPECT_EQ(std::tuple(one.n, one.stDevY, one.avY), std::tuple(1.0, 0.0, 0.0));
}

// A side on a straight line has no standard error of its slope, though
// rounding leaves a residual a hair above zero; a side with scatter has
// one, however small or large its values.
TEST(SideStatisticsTest, OnlyASideOnItsLineHasNoStandardError) {
  double atUnitScale = 0;
  for (const double scale : {1.0, 1e-8, 1e12}) {
    Data line, scatter;
    for (int i = 0; i < 12; ++i) {
      const double x = 0.1 * i + 0.37;
      line.x.push_back(x);
      line.y.push_back(scale * (1.7 + 0.7 * x));
      scatter.x.push_back(x);
      scatter.y.push_back(scale * (1.7 + 0.7 * x + (i % 3 == 0 ? 1e-4 : 0)));
    }
    const SideStatistics onLine = SplitAt(line.sample(), 0)[kAbove];
    if (scale == 1) {
      EXPECT_GT(onLine.resSS, 0) << "rounding leaves something";
    }
    EXPECT_EQ(onLine.stErrSlope, NotAvailable) << scale;
    const double se = SplitAt(scatter.sample(), 0)[kAbove].stErrSlope / scale;
    if (scale == 1) atUnitScale = se;
    EXPECT_GT(se, 1e-5) << scale;
    EXPECT_NEAR(se, atUnitScale, 1e-9 * atUnitScale) << scale;
  }
}

TEST(SideStatisticsTest, SumsOfSquaresKeepTheirDigits) {
  // Five replicates at X = 0.1 sum to a tiny non-zero SSX in floating
  // point: replicated X on one side gives no slope whatever the rounding.
  const Data replicates{{0.1, 0.1, 0.1, 0.1, 0.1, 2, 3, 4, 5, 6}, {1.1, 1.3, 0.9, 1.2, 1.0, 2, 3, 4, 5, 6}};
  SortedSplitter splitter(replicates.sample());
  for (const BreakpointSides& sides : {SplitAt(replicates.sample(), 1.0), splitter.SplitAt(1.0)}) {
    EXPECT_EQ(std::tuple(sides[kBelow].ssx, sides[kBelow].slope, sides[kBelow].stErrSlope),
              std::tuple(0.0, 0.0, NotAvailable));
  }
  // X = 20240101 .. 20240140: dates as X keep their spread.
  Data dates;
  for (int i = 1; i <= 40; ++i) {
    dates.x.push_back(20240100 + i);
    dates.y.push_back(3 + 0.25 * i + (i % 2 ? 0.1 : -0.1));
  }
  const SideStatistics above = SplitAt(dates.sample(), 20240101)[kAbove];
  EXPECT_NEAR(above.ssx, 5330, 1e-6);  // 40 (40^2 - 1) / 12
  EXPECT_NEAR(above.slope, 0.25, 1e-3);
}

// A partial fit at `bp`, measured against the straight line through all data.
BreakpointFit Partial(const Data& d, double bp, FunctionType type) {
  SortedSplitter splitter(d.sample());
  const BreakpointFit line = FitStraightLine(splitter, d.x.front());
  return FitPartial(splitter, bp, type, {line.sides[kAbove].ssy, line.sides[kAbove].ssx});
}

TEST(SideStatisticsTest, Type3FitsALevelThenALineThroughTheCentreAboveAndType4TheMirror) {
  const std::vector<double> x{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  // Level 2 up to X = 5, then rising by 1 per unit: from (5, level 2)
  // through the centre (7.5, 4.5) of the data above.
  const BreakpointFit fit = Partial({x, {2, 2, 2, 2, 2, 3, 4, 5, 6, 7}}, 5.0, FunctionType::Threshold);
  EXPECT_EQ(fit.segmentSlope[kBelow], 0);
  EXPECT_DOUBLE_EQ(fit.segmentSlope[kAbove], 1.0);
  EXPECT_DOUBLE_EQ(fit.coefExpl, 1.0);
  EXPECT_NEAR(fit.residualSS[kBelow], 0, 1e-12);
  EXPECT_NEAR(fit.residualSS[kAbove], 0, 1e-12);
  EXPECT_EQ(fit.errors.stErrSlopeBelow, 0) << "the side below lies on its level: variance 0";
  // A line up to the breakpoint, a level beyond.
  const BreakpointFit mirror = Partial({x, {3, 4, 5, 6, 7, 7, 7, 7, 7, 7}}, 5.0, FunctionType::Plateau);
  EXPECT_DOUBLE_EQ(mirror.segmentSlope[kBelow], (7.0 - 4.5) / (5.0 - 2.5));
  EXPECT_EQ(mirror.segmentSlope[kAbove], 0);
  // No coefficient when all Y are equal (nothing to explain) or fewer than
  // 4 data lie on a side.
  EXPECT_EQ(Partial({x, std::vector<double>(10, 0.1)}, 5.0, FunctionType::Threshold).coefExpl, 0);
  EXPECT_EQ(Partial({x, {2, 2, 2, 3, 4, 5, 6, 7, 8, 9}}, 4.0, FunctionType::Threshold).coefExpl, 0);
  // The centre above exactly at the breakpoint: no slope above.
  const Data d{{1, 2, 3, 5, 5, 5}, {1, 2, 3, 4, 6, 8}};
  SortedSplitter splitter(d.sample());
  EXPECT_EQ(FitPartial(splitter, 5.0, FunctionType::Threshold, {1, 1}).segmentSlope[kAbove], 0);
  // A side of two data or fewer has no standard error of its slope; one of three has.
  const Data scatter{x, {1, 3, 2, 5, 4, 6, 8, 7, 9, 11}};
  // Three below: Y 1, 3, 2 about their level 2 leave 2, over (3 - 2) times SSX 2.
  EXPECT_DOUBLE_EQ(Partial(scatter, 4.0, FunctionType::Threshold).errors.stErrSlopeBelow, 1.0);
  const BreakpointFit two = Partial(scatter, 3.0, FunctionType::Threshold);
  EXPECT_EQ(std::tuple(two.sides[kBelow].n, two.errors.stErrSlopeBelow), std::tuple(2.0, NotAvailable));
  EXPECT_TRUE(two.errors.stErrSlopeAbove > 0 && two.errors.stErrSlopeAbove < 1) << two.errors.stErrSlopeAbove;
  EXPECT_GT(two.errors.stDevYAtBreakpoint, 0);
}

TEST(SideStatisticsTest, CombinedLineJoinsBothBreakpoints) {
  // Level 1 up to 4, rising 1 per unit up to 8, level 5 beyond.
  const Data d{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 1, 1, 1, 2, 3, 4, 5, 5, 5, 5, 5}};
  const double ssy = SplitAt(d.sample(), 1)[kAbove].ssy;
  const CombinedLine line = ComputeCombinedLine(d.sample(), {4, 8, 1, 5, ssy});
  EXPECT_TRUE(line.found);
  EXPECT_DOUBLE_EQ(line.yAtBreakpointType3, 1.0);
  EXPECT_DOUBLE_EQ(line.yAtBreakpointType4, 5.0);
  EXPECT_NEAR(line.residualSS, 0, 1e-12);
  EXPECT_DOUBLE_EQ(line.coefExpl, 1.0);

  // Nothing between the breakpoints: the corners are the two levels.
  const CombinedLine empty = ComputeCombinedLine(d.sample(), {4.2, 4.8, 1, 5, ssy});
  EXPECT_TRUE(empty.found);
  EXPECT_EQ(empty.yAtBreakpointType3, 1.0);
  EXPECT_EQ(empty.yAtBreakpointType4, 5.0);

  // One X value in the middle, twice: no slope, and no combination.
  const Data one{{1, 2, 3, 4, 6, 6, 9, 10, 11, 12}, {1, 1, 1, 1, 3, 3.5, 5, 5, 5, 5}};
  EXPECT_FALSE(ComputeCombinedLine(one.sample(), {4, 8, 1, 5, ssy}).found);
}

}  // namespace
}  // namespace kinvalo
