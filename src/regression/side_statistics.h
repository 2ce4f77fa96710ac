#pragma once
// The statistics of the two sides of a breakpoint: the data with X below
// the breakpoint, and those with X at or above it. Everything here is a
// function of the data it is given and returns its values.
#include <array>
#include <cstdint>
#include <limits>
#include <span>

#include "core/result_kinds.h"

namespace kinvalo {

// A standard deviation or standard error that cannot be computed. It is
// larger than any value, so that a slope whose error is not available may
// always be taken as zero; the files print it as 0 or "n.a.".
inline constexpr double NotAvailable = std::numeric_limits<double>::infinity();

// A side whose residual sum of squares is no more than this share of its
// own sum of squares of Y lies on its line: rounding is all that is left.
inline constexpr double kPerfectFit = 1e-11;

// Count, means, sums of squares and products, the regression line and its
// deviations of the data on one side.
struct SideStatistics {
  double n = 0;
  double avY = 0, avX = 0, ssy = 0, ssx = 0, sxy = 0;
  double slope = 0, r = 0, r2 = 0, intercept = 0;
  double stDevY = 0, resSS = 0, stDevRes = 0, stDevX = 0, stErrSlope = 0;
};

// Index 0 is the side below the breakpoint, index 1 the side above it.
enum SideIndex : std::uint8_t { kBelow = 0, kAbove = 1 };
template <typename T>
using PerSide = std::array<T, 2>;

using BreakpointSides = PerSide<SideStatistics>;

// The (Y, X) pairs that the statistics are taken of; x[i] pairs with y[i].
struct Sample {
  std::span<const double> x;
  std::span<const double> y;
  std::int32_t size() const { return static_cast<std::int32_t>(x.size()); }
};

// The statistics of both sides of `breakpoint`, from one pass over data in
// any order.
BreakpointSides SplitAt(Sample data, double breakpoint);

// Sums of data about a shift near their centre, in extended precision, so
// that data far from zero (dates as X, yields of 1e9) keep their spread.
struct ShiftedSums {
  long double y = 0, x = 0, yy = 0, xx = 0, xy = 0;
};

// Data sorted by X, split at one candidate breakpoint after another. The
// sums of the data below a breakpoint are kept as a running prefix, so that
// a scan over ascending candidates adds each data set once instead of once
// per candidate; a step back starts the prefix again. Sums are in extended
// precision and taken about the mean of all data.
class SortedSplitter {
 public:
  // `data.x` must be ascending and stay unchanged while this splitter lives.
  explicit SortedSplitter(Sample data);

  BreakpointSides SplitAt(double breakpoint);
  // The number of data sets below `breakpoint`.
  std::int32_t CountBelow(double breakpoint) const;
  Sample data() const { return data_; }

 private:
  using Sums = ShiftedSums;
  Sample data_;
  long double cx_ = 0, cy_ = 0;  // the mean of all data: the sums' shift
  Sums total_{};
  Sums prefix_{};
  std::int32_t prefixCount_ = 0;
};

// The totals a fit is measured against: the sums of squares of Y and X of
// all data, taken from the straight line through them.
struct FitTotals {
  double ssy = 0;
  double ssx = 0;
};

// The standard errors of a two-segment fit.
struct SegmentErrors {
  double stErrSlopeBelow = 0;  // NotAvailable when not available
  double stErrSlopeAbove = 0;
  double residualSS = 0;       // of both sides
  double stDevYAtBreakpoint = 0;
};

// Standard errors of both side slopes from the residual sums of squares of
// the sides, and of Y at the breakpoint.
SegmentErrors ComputeSegmentErrors(const BreakpointSides& sides, PerSide<double> residualSS,
                                   double breakpoint, double totalSSX);

// A fit of one function type at one candidate breakpoint: the sides, the
// slopes of the fitted segments, their residual sums of squares and the
// coefficient of explanation.
struct BreakpointFit {
  BreakpointSides sides;
  PerSide<double> segmentSlope{};
  PerSide<double> residualSS{};
  double coefExpl = 0;
  SegmentErrors errors;  // of Type 3 and 4 fits only
};

// The straight line (Type 1) through all data: every data set lies at or
// above `smallestX`. Its coefficient is measured against its own SSY.
BreakpointFit FitStraightLine(SortedSplitter& data, double smallestX);

// A Type 3 or Type 4 fit at `breakpoint`: the sloping segment runs from the
// level of the horizontal side at the breakpoint through the centre of the
// other side. The coefficient is 0 when a side holds fewer than 4 data sets.
BreakpointFit FitPartial(SortedSplitter& data, double breakpoint, FunctionType type,
                         const FitTotals& totals);

// The three-segment line that joins a Type 3 and a Type 4 result: the
// Type 3 level up to its breakpoint, a line through the data between the
// breakpoints, the Type 4 level beyond.
struct CombinedLineInput {
  double breakpointType3 = 0, breakpointType4 = 0;
  double levelType3 = 0, levelType4 = 0;
  double totalSSY = 0;
};
struct CombinedLine {
  // False when the data between the breakpoints have a single X value.
  bool found = false;
  double yAtBreakpointType3 = 0, yAtBreakpointType4 = 0;
  double residualSS = 0;
  double coefExpl = 0;
};
CombinedLine ComputeCombinedLine(Sample data, const CombinedLineInput& input);

}  // namespace kinvalo
