#include "regression/side_statistics.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace kinvalo {

namespace {

// The sum of squares about the mean is then a difference of numbers of the
// size of the spread, not of the size of the values.
using Sums = ShiftedSums;

void Add(Sums& sums, double x, double y, long double cx, long double cy) {
  const long double dx = x - cx, dy = y - cy;
  sums.y += dy;
  sums.x += dx;
  sums.yy += dy * dy;
  sums.xx += dx * dx;
  sums.xy += dx * dy;
}

Sums Difference(const Sums& a, const Sums& b) {
  return {a.y - b.y, a.x - b.x, a.yy - b.yy, a.xx - b.xx, a.xy - b.xy};
}

inline SideIndex SideOf(double x, double breakpoint) { return x < breakpoint ? kBelow : kAbove; }

// The count and the sums of one side about its shift; for data sorted by X
// also where the side starts and ends.
struct SideSums {
  double n = 0;
  long double cx = 0, cy = 0;
  Sums sums{};
  bool sorted = false;
  std::int32_t first = 0, last = 0;  // [first, last) when sorted
};

// A sum of squares this small beside the squares of the values themselves
// may be rounding left over from values that are all the same.
bool Suspicious(long double ss, long double squares, long double n, long double shift) {
  return ss <= 1e-12L * (squares + n * shift * shift);
}

// True when every X (or, with `ofY`, every Y) on the side is the same value.
bool SideConstant(Sample d, double breakpoint, SideIndex g, const SideSums& side, bool ofY) {
  if (!ofY && side.sorted) {
    return side.last <= side.first || d.x[side.first] == d.x[side.last - 1];
  }
  if (side.sorted) {
    const auto values = d.y.subspan(static_cast<size_t>(side.first), static_cast<size_t>(side.last - side.first));
    return std::adjacent_find(values.begin(), values.end(), std::not_equal_to<>()) == values.end();
  }
  bool seen = false;
  double first = 0;
  for (std::int32_t i = 0; i < d.size(); ++i) {
    if (SideOf(d.x[i], breakpoint) != g) continue;
    const double v = ofY ? d.y[i] : d.x[i];
    if (!seen) {
      first = v;
      seen = true;
    } else if (v != first) {
      return false;
    }
  }
  return true;
}

BreakpointSides Statistics(Sample d, double breakpoint, const PerSide<SideSums>& side) {
  BreakpointSides result{};
  for (SideIndex g : {kBelow, kAbove}) {
    const Sums& q = side[g].sums;
    SideStatistics& st = result[g];
    const double N = side[g].n;
    st.n = N;
    if (N < 2) continue;
    const long double n = N;
    const long double dy = q.y / n, dx = q.x / n;  // mean minus shift
    long double ssy = q.yy - n * dy * dy;
    long double ssx = q.xx - n * dx * dx;
    // Replicated values on one side must give a sum of squares of exactly
    // 0 (and so a slope of 0), not the rounding left over from them.
    if (ssy < 0 || (Suspicious(ssy, q.yy, n, side[g].cy) && SideConstant(d, breakpoint, g, side[g], true))) {
      ssy = 0;
    }
    if (ssx <= 0 || (Suspicious(ssx, q.xx, n, side[g].cx) && SideConstant(d, breakpoint, g, side[g], false))) {
      ssx = 0;
    }
    st.avY = static_cast<double>(side[g].cy + dy);
    st.avX = static_cast<double>(side[g].cx + dx);
    st.ssy = static_cast<double>(ssy);
    st.ssx = static_cast<double>(ssx);
    st.sxy = static_cast<double>(q.xy - n * dx * dy);
    st.slope = st.ssx > 0 ? st.sxy / st.ssx : 0;
    st.r = (st.ssy > 0 && st.ssx > 0) ? st.sxy / std::sqrt(st.ssy * st.ssx) : 0;
    st.r2 = st.r * st.r;
    st.intercept = st.avY - st.slope * st.avX;
    st.stDevY = std::sqrt(st.ssy / (N - 1));
    st.resSS = (1 - st.r2) * st.ssy;
    st.stDevRes = st.resSS >= 0 ? std::sqrt(st.resSS / (N - 1)) : NotAvailable;
    st.stDevX = std::sqrt(st.ssx / (N - 1));
    // A perfect or nearly perfect fit, one that leaves no more than the
    // rounding of the side's own spread, also counts as not available.
    if (st.resSS <= kPerfectFit * st.ssy || st.ssx <= 0 || N <= 2) {
      st.stErrSlope = NotAvailable;
    } else {
      st.stErrSlope = std::sqrt(st.resSS / ((N - 2) * st.ssx));
    }
  }
  return result;
}

// The residual sum of squares of a side about the line through its means
// with the given slope: SSY - 2 b SXY + b^2 SSX, from the side's sums about
// its means, without a pass over its data. A side without spread in X or Y
// has no product of them either, whatever rounding left in SXY.
double ResidualSum(const SideStatistics& side, double slope) {
  const long double b = slope;
  const long double sxy = side.ssx > 0 && side.ssy > 0 ? side.sxy : 0;
  const long double sum = side.ssy - 2 * b * sxy + b * b * side.ssx;
  return sum > 0 ? static_cast<double>(sum) : 0;
}

// The residual sums of both sides about their segments.
PerSide<double> SegmentResiduals(const BreakpointSides& sides, PerSide<double> slope) {
  return {ResidualSum(sides[kBelow], slope[kBelow]), ResidualSum(sides[kAbove], slope[kAbove])};
}

double Explained(double residualSS, double totalSSY, const BreakpointSides& sides) {
  if (sides[kBelow].ssx == 0 && sides[kAbove].ssx == 0) return 0;
  return totalSSY != 0 ? 1 - residualSS / totalSSY : 0;
}

}  // namespace

BreakpointSides SplitAt(Sample d, double breakpoint) {
  // Two passes: the means of each side first, then the sums about them.
  PerSide<SideSums> side{};
  PerSide<long double> sumX{}, sumY{};
  for (std::int32_t i = 0; i < d.size(); ++i) {
    const SideIndex g = SideOf(d.x[i], breakpoint);
    side[g].n += 1;
    sumX[g] += d.x[i];
    sumY[g] += d.y[i];
  }
  for (SideIndex g : {kBelow, kAbove}) {
    if (side[g].n == 0) continue;
    side[g].cx = sumX[g] / side[g].n;
    side[g].cy = sumY[g] / side[g].n;
  }
  for (std::int32_t i = 0; i < d.size(); ++i) {
    SideSums& target = side[SideOf(d.x[i], breakpoint)];
    Add(target.sums, d.x[i], d.y[i], target.cx, target.cy);
  }
  return Statistics(d, breakpoint, side);
}

SortedSplitter::SortedSplitter(Sample data) : data_(data) {
  const long double n = data_.size();
  for (std::int32_t i = 0; i < data_.size(); ++i) {
    cx_ += data_.x[i];
    cy_ += data_.y[i];
  }
  if (n > 0) {
    cx_ /= n;
    cy_ /= n;
  }
  for (std::int32_t i = 0; i < data_.size(); ++i) Add(total_, data_.x[i], data_.y[i], cx_, cy_);
}

std::int32_t SortedSplitter::CountBelow(double breakpoint) const {
  return static_cast<std::int32_t>(std::lower_bound(data_.x.begin(), data_.x.end(), breakpoint) -
                                   data_.x.begin());
}

BreakpointSides SortedSplitter::SplitAt(double breakpoint) {
  const std::int32_t k = CountBelow(breakpoint);
  if (k < prefixCount_) {
    prefixCount_ = 0;
    prefix_ = {};
  }
  for (std::int32_t i = prefixCount_; i < k; ++i) Add(prefix_, data_.x[i], data_.y[i], cx_, cy_);
  prefixCount_ = k;
  PerSide<SideSums> side{};
  side[kBelow] = {static_cast<double>(k), cx_, cy_, prefix_, true, 0, k};
  side[kAbove] = {static_cast<double>(data_.size() - k), cx_, cy_, Difference(total_, prefix_), true, k,
                  data_.size()};
  return Statistics(data_, breakpoint, side);
}

SegmentErrors ComputeSegmentErrors(const BreakpointSides& sides, PerSide<double> residualSS,
                                   double breakpoint, double totalSSX) {
  const double N1 = sides[kBelow].n;
  const double N2 = sides[kAbove].n;
  auto variance = [&](SideIndex g, double n) {
    const double ssx = sides[g].ssx;
    return (n > 2 && ssx != 0) ? residualSS[g] / ((n - 2) * ssx) : NotAvailable;
  };
  SegmentErrors e;
  e.stErrSlopeBelow = std::sqrt(variance(kBelow, N1));  // 1000.0 when not available
  e.stErrSlopeAbove = std::sqrt(variance(kAbove, N2));
  e.residualSS = residualSS[kBelow] + residualSS[kAbove];
  const double N = N1 + N2;
  // The mean of all X measured from the breakpoint, without forming the
  // large products that dates as X would give.
  const double fromBreakpoint =
      N > 0 ? (N1 * (sides[kBelow].avX - breakpoint) + N2 * (sides[kAbove].avX - breakpoint)) / N : 0;
  // The divisor N - 4 counts the four parameters of a two-segment line; the
  // search never gets here with 4 data or fewer, but a guard costs nothing.
  const double A = N > 4 ? e.residualSS / (N * (N - 4)) : 0;
  const double B = (N > 4 && totalSSX != 0) ? e.residualSS / ((N - 4) * totalSSX) : 0;
  e.stDevYAtBreakpoint = std::sqrt(fromBreakpoint * fromBreakpoint * B + A);
  return e;
}

BreakpointFit FitStraightLine(SortedSplitter& data, double smallestX) {
  BreakpointFit fit;
  fit.sides = data.SplitAt(smallestX);
  fit.segmentSlope = {fit.sides[kBelow].slope, fit.sides[kAbove].slope};
  fit.residualSS = SegmentResiduals(fit.sides, fit.segmentSlope);
  fit.coefExpl = Explained(fit.residualSS[kBelow] + fit.residualSS[kAbove],
                           fit.sides[kAbove].ssy, fit.sides);
  return fit;
}

BreakpointFit FitPartial(SortedSplitter& data, double breakpoint, FunctionType type,
                         const FitTotals& totals) {
  BreakpointFit fit;
  fit.sides = data.SplitAt(breakpoint);
  const SideStatistics& below = fit.sides[kBelow];
  const SideStatistics& above = fit.sides[kAbove];
  fit.segmentSlope = {below.slope, above.slope};
  if (type == FunctionType::Threshold) {
    fit.segmentSlope[kBelow] = 0;
    fit.segmentSlope[kAbove] =
        above.avX == breakpoint ? 0 : (above.avY - below.avY) / (above.avX - breakpoint);
  } else {
    fit.segmentSlope[kAbove] = 0;
    fit.segmentSlope[kBelow] =
        breakpoint == below.avX ? 0 : (above.avY - below.avY) / (breakpoint - below.avX);
  }
  fit.residualSS = SegmentResiduals(fit.sides, fit.segmentSlope);
  fit.coefExpl =
      Explained(fit.residualSS[kBelow] + fit.residualSS[kAbove], totals.ssy, fit.sides);
  fit.errors = ComputeSegmentErrors(fit.sides, fit.residualSS, breakpoint, totals.ssx);
  if (below.n < 4 || above.n < 4) fit.coefExpl = 0;
  return fit;
}

CombinedLine ComputeCombinedLine(Sample d, const CombinedLineInput& in) {
  const double bp3 = in.breakpointType3;
  const double bp4 = in.breakpointType4;
  auto inMiddle = [&](double x) { return bp3 < x && x <= bp4; };

  // Two passes over the middle part: its means, then the sums about them.
  int m = 0;
  long double sumX = 0, sumY = 0;
  double minX = 0, maxX = 0;
  for (std::int32_t i = 0; i < d.size(); ++i) {
    const double x = d.x[i];
    if (!inMiddle(x)) continue;
    if (m == 0 || x < minX) minX = x;
    if (m == 0 || x > maxX) maxX = x;
    ++m;
    sumX += x;
    sumY += d.y[i];
  }
  CombinedLine line;
  double midAvX = 0, midAvY = 0, midSlope = 0;
  double ssxMid = 0;
  if (m > 0) {
    const long double cx = sumX / m, cy = sumY / m;
    Sums q;
    for (std::int32_t i = 0; i < d.size(); ++i) {
      if (inMiddle(d.x[i])) Add(q, d.x[i], d.y[i], cx, cy);
    }
    const long double dx = q.x / m, dy = q.y / m;
    midAvX = static_cast<double>(cx + dx);
    midAvY = static_cast<double>(cy + dy);
    // One X value in the middle gives no slope, whatever rounding leaves.
    ssxMid = minX == maxX ? 0 : static_cast<double>(q.xx - m * dx * dx);
    if (ssxMid == 0) return line;
    midSlope = static_cast<double>((q.xy - m * dx * dy) / ssxMid);
  }
  line.found = true;
  int midCount = 0;
  for (std::int32_t i = 0; i < d.size(); ++i) {
    const double x = d.x[i];
    double e = d.y[i];
    if (x <= bp3) e = d.y[i] - in.levelType3;
    if (x > bp4) e = d.y[i] - in.levelType4;
    if (inMiddle(x)) {
      ++midCount;
      e = (d.y[i] - midAvY) - midSlope * (x - midAvX);
    }
    line.residualSS += e * e;
  }
  // The residuals of all data enter, not only those of the middle part.
  const double seMid = (midCount > 2 && ssxMid > 0)
                           ? std::sqrt(line.residualSS / ((midCount - 2) * ssxMid))
                           : 0;
  if ((midSlope > 0 && 1.5 * seMid > midSlope) || (midSlope < 0 && -1.5 * seMid < midSlope)) {
    midSlope = 0;
  }
  line.yAtBreakpointType3 = midAvY + midSlope * (bp3 - midAvX);
  if (line.yAtBreakpointType3 == 0) line.yAtBreakpointType3 = in.levelType3;
  line.yAtBreakpointType4 = midAvY + midSlope * (bp4 - midAvX);
  if (line.yAtBreakpointType4 == 0) line.yAtBreakpointType4 = in.levelType4;
  line.coefExpl = in.totalSSY != 0 ? 1 - line.residualSS / in.totalSSY : 0;
  return line;
}

}  // namespace kinvalo
