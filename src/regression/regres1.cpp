#include "regression/regres1.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace kinvalo {

namespace {

// The data sets 0..NrOfData-1, checked once so the passes can run unchecked.
struct DataView {
  const double* x;
  const double* y;
  std::int32_t n;
};

DataView View(const AppState& s) {
  const TDMTulmex& dm = s.DM;
  CheckDataHeld(dm);
  return {dm.XData.data(), dm.YData.data(), dm.NrOfData};
}

inline int Side(double x, double BP) { return x < BP ? 1 : 2; }

// A sum of squares this small beside the sum it came from may be rounding
// left over from values that are all the same.
bool Suspicious(long double ss, long double sumOfSquares) { return ss <= 1e-12L * sumOfSquares; }

using Sums = std::array<long double, 5>;  // Y, X, YY, XX, XY

void Add(Sums& sums, double x, double y) {
  const long double lx = x, ly = y;
  sums[0] += ly;
  sums[1] += lx;
  sums[2] += ly * ly;
  sums[3] += lx * lx;
  sums[4] += lx * ly;
}

// The count and the extended-precision sums of one side; for data sorted
// by X also where the side starts and ends.
struct SideSums {
  double n = 0;
  Sums sums{};
  bool sorted = false;
  std::int32_t first = 0, last = 0;  // [first, last) when sorted
};

// The number of data sets below BP in data sorted by X.
std::int32_t SplitIndex(const DataView& d, double BP) {
  return static_cast<std::int32_t>(std::lower_bound(d.x, d.x + d.n, BP) - d.x);
}

// Sums of both sides: from the running prefix for sorted data, else by a
// pass over all data.
void SumSides(Regres1State& r, const DataView& d, double BP, Sides<SideSums>& side) {
  if (r.SortedByX) {
    const std::int32_t k = SplitIndex(d, BP);
    if (k < r.PrefixCount) {
      r.PrefixCount = 0;
      r.PrefixSum = {};
    }
    for (std::int32_t i = r.PrefixCount; i < k; ++i) Add(r.PrefixSum, d.x[i], d.y[i]);
    r.PrefixCount = k;
    side[1] = {static_cast<double>(k), r.PrefixSum, true, 0, k};
    side[2] = {static_cast<double>(d.n - k), {}, true, k, d.n};
    for (size_t q = 0; q < Sums().size(); ++q) side[2].sums[q] = r.TotalSum[q] - r.PrefixSum[q];
    return;
  }
  for (std::int32_t i = 0; i < d.n; ++i) {
    SideSums& target = side[Side(d.x[i], BP)];
    target.n += 1;
    Add(target.sums, d.x[i], d.y[i]);
  }
}

// True when every X (or, with `ofY`, every Y) on the side is the same value.
bool SideConstant(const DataView& d, double BP, int g, const SideSums& side, bool ofY) {
  if (!ofY && side.sorted) return side.last <= side.first || d.x[side.first] == d.x[side.last - 1];
  bool seen = false;
  double first = 0;
  for (std::int32_t i = 0; i < d.n; ++i) {
    if (Side(d.x[i], BP) != g) continue;
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

// Sum of squared residuals of data [from, to) about the line through
// (avX, avY) with the given slope. Four running sums keep the additions
// from waiting on each other.
double ResidualSum(const DataView& d, std::int32_t from, std::int32_t to, double avX, double avY,
                   double slope) {
  double acc[4] = {0, 0, 0, 0};
  std::int32_t i = from;
  for (; i + 4 <= to; i += 4) {
    for (int j = 0; j < 4; ++j) {
      const double e = d.y[i + j] - (avY + slope * (d.x[i + j] - avX));
      acc[j] += e * e;
    }
  }
  for (; i < to; ++i) {
    const double e = d.y[i] - (avY + slope * (d.x[i] - avX));
    acc[0] += e * e;
  }
  return (acc[0] + acc[1]) + (acc[2] + acc[3]);
}

}  // namespace

void BeginSortedData(AppState& s) {
  Regres1State& r = s.Reg;
  const DataView d = View(s);
  r.TotalSum = {};
  for (std::int32_t i = 0; i < d.n; ++i) Add(r.TotalSum, d.x[i], d.y[i]);
  r.PrefixSum = {};
  r.PrefixCount = 0;
  r.SortedByX = true;
}

void EndSortedData(AppState& s) { s.Reg.SortedByX = false; }

void ComputeGroupStatistics(AppState& s, double BP) {
  Regres1State& r = s.Reg;
  const DataView d = View(s);
  r.GroupStat = {};
  r.ResidualSS = {};
  Sides<SideSums> side{};
  SumSides(r, d, BP, side);
  r.GroupSum[0] = GroupSums{};
  for (int g = 1; g <= 2; ++g) {
    const Sums& q = side[g].sums;
    r.GroupSum[g] = {side[g].n,
                     static_cast<double>(q[0]),
                     static_cast<double>(q[1]),
                     static_cast<double>(q[2]),
                     static_cast<double>(q[3]),
                     static_cast<double>(q[4])};
    GroupStats& st = r.GroupStat[g];
    const double N = side[g].n;
    if (N >= 2) {
      // Means and sums of squares in extended precision: X values such as
      // dates (20240115) lose their spread in the squares of a double.
      const long double n = N;
      const long double avY = q[0] / n;
      const long double avX = q[1] / n;
      long double ssy = q[2] - n * avY * avY;
      long double ssx = q[3] - n * avX * avX;
      // Replicated values on one side must give a sum of squares of exactly
      // 0 (and so a slope of 0), not the rounding left over from them.
      if (ssy < 0 || (Suspicious(ssy, q[2]) && SideConstant(d, BP, g, side[g], true))) ssy = 0;
      if (ssx <= 0 || (Suspicious(ssx, q[3]) && SideConstant(d, BP, g, side[g], false))) ssx = 0;
      st.AvY = static_cast<double>(avY);
      st.AvX = static_cast<double>(avX);
      st.SSY = static_cast<double>(ssy);
      st.SSX = static_cast<double>(ssx);
      st.SXY = static_cast<double>(q[4] - n * avY * avX);
      st.Slope = st.SSX > 0 ? st.SXY / st.SSX : 0;
      st.R = (st.SSY > 0 && st.SSX > 0) ? st.SXY / std::sqrt(st.SSY * st.SSX) : 0;
      st.R2 = st.R * st.R;
      st.Intercept = st.AvY - st.Slope * st.AvX;
      st.StDevY = N > 1 ? std::sqrt(st.SSY / (N - 1)) : NotAvailable;
      st.ResSS = (1 - st.R2) * st.SSY;
      st.StDevRes = (st.ResSS >= 0 && N > 1) ? std::sqrt(st.ResSS / (N - 1)) : NotAvailable;
      st.StDevX = N > 1 ? std::sqrt(st.SSX / (N - 1)) : NotAvailable;
      // A perfect or nearly perfect fit also counts as not available.
      if (st.ResSS < 1.0e-7 || st.SSX <= 0 || N <= 2) {
        st.StErrSlope = NotAvailable;
      } else {
        st.StErrSlope = std::sqrt(st.ResSS / ((N - 2) * st.SSX));
      }
    }
    r.AvY[g] = st.AvY;
    r.AvX[g] = st.AvX;
    r.SegSlope[g] = st.Slope;
  }
}

void ComputeExplanation(AppState& s, double BP, double& Coef, std::uint8_t Type,
                        std::uint8_t Method) {
  Regres1State& r = s.Reg;
  ComputeGroupStatistics(s, BP);
  if (Type == 1) r.TotalSSY = r.GroupStat[2].SSY;
  if (Type == 3) {
    r.SegSlope[1] = 0;
    if (Method == 2) {
      r.SegSlope[2] = r.AvX[2] == BP ? 0 : (r.AvY[2] - r.AvY[1]) / (r.AvX[2] - BP);
    }
  }
  if (Type == 4) {
    r.SegSlope[2] = 0;
    if (Method == 2) {
      r.SegSlope[1] = BP == r.AvX[1] ? 0 : (r.AvY[2] - r.AvY[1]) / (BP - r.AvX[1]);
    }
  }
  const DataView d = View(s);
  if (r.SortedByX) {
    const std::int32_t k = SplitIndex(d, BP);
    r.ResidualSS[1] = ResidualSum(d, 0, k, r.AvX[1], r.AvY[1], r.SegSlope[1]);
    r.ResidualSS[2] = ResidualSum(d, k, d.n, r.AvX[2], r.AvY[2], r.SegSlope[2]);
  } else {
    double res1 = 0;
    double res2 = 0;
    for (std::int32_t i = 0; i < d.n; ++i) {
      const double x = d.x[i];
      const int g = Side(x, BP);
      const double e = d.y[i] - (r.AvY[g] + r.SegSlope[g] * (x - r.AvX[g]));
      (g == 1 ? res1 : res2) += e * e;
    }
    r.ResidualSS[1] = res1;
    r.ResidualSS[2] = res2;
  }
  Coef = r.TotalSSY != 0 ? 1 - (r.ResidualSS[1] + r.ResidualSS[2]) / r.TotalSSY : 0;
  if (r.GroupStat[1].SSX == 0 && r.GroupStat[2].SSX == 0) Coef = 0;
  if (Type == 3 || Type == 4) {
    ComputeStandardErrors(s, Type, Method, BP);
    if (r.GroupSum[1].N < 4 || r.GroupSum[2].N < 4) Coef = 0;
  }
}

void ComputeStandardErrors(AppState& s, std::uint8_t Type, std::uint8_t /*Method*/, double BP) {
  Regres1State& r = s.Reg;
  const double N1 = r.GroupSum[1].N;
  const double N2 = r.GroupSum[2].N;
  auto variance = [&](int g, double n) {
    const double ssx = r.GroupStat[g].SSX;
    return (n > 2 && ssx != 0) ? r.ResidualSS[g] / ((n - 2) * ssx) : NotAvailable;
  };
  r.StErrSlope1 = std::sqrt(variance(1, N1));  // 1000.0 when not available
  r.StErrSlope2 = std::sqrt(variance(2, N2));
  if (Type == 2 || Type == 3) r.StErrSlope = r.StErrSlope2;
  if (Type == 4) r.StErrSlope = r.StErrSlope1;
  r.ResidualSSTotal = r.ResidualSS[1] + r.ResidualSS[2];
  const double N = N1 + N2;
  const double MeanX = N > 0 ? (N1 * r.GroupStat[1].AvX + N2 * r.GroupStat[2].AvX) / N : 0;
  // The divisor N - 4 counts the four parameters of a two-segment line; the
  // engine never gets here with 4 data or fewer, but a guard costs nothing.
  const double A = N > 4 ? r.ResidualSSTotal / (N * (N - 4)) : 0;
  const double B =
      (N > 4 && r.TotalSSX != 0) ? r.ResidualSSTotal / ((N - 4) * r.TotalSSX) : 0;
  r.StDevYbp = std::sqrt((MeanX - BP) * (MeanX - BP) * B + A);
}

void ComputeCombinedLine(AppState& s) {
  Regres1State& r = s.Reg;
  SharedResults& res = s.R;
  const DataView d = View(s);
  const double bp3 = res.BPType3;
  const double bp4 = res.BPType4;
  auto inMiddle = [&](double x) { return bp3 < x && x <= bp4; };

  int m = 0;
  double sumX = 0, sumY = 0, sumXX = 0, sumXY = 0;
  double minX = 0, maxX = 0;
  for (std::int32_t i = 0; i < d.n; ++i) {
    const double x = d.x[i];
    if (!inMiddle(x)) continue;
    if (m == 0 || x < minX) minX = x;
    if (m == 0 || x > maxX) maxX = x;
    ++m;
    sumX += x;
    sumY += d.y[i];
    sumXX += x * x;
    sumXY += x * d.y[i];
  }
  r.MidAvX = r.MidAvY = r.MidSlope = 0;
  double ssxMid = 0;
  if (m > 0) {
    r.MidAvX = sumX / m;
    r.MidAvY = sumY / m;
    // One X value in the middle gives no slope, whatever rounding leaves.
    ssxMid = minX == maxX ? 0 : sumXX - sumX * sumX / m;
    if (ssxMid == 0) {
      res.BothTypesFound = false;
      return;
    }
    r.MidSlope = (sumXY - sumX * sumY / m) / ssxMid;
  }
  r.ResidualSSCombined = 0;
  r.MidCount = 0;
  for (std::int32_t i = 0; i < d.n; ++i) {
    const double x = d.x[i];
    double ycalc = 0;
    if (x <= bp3) ycalc = res.AvYType3;
    if (x > bp4) ycalc = res.AvYType4;
    if (inMiddle(x)) {
      ++r.MidCount;
      ycalc = r.MidAvY + r.MidSlope * (x - r.MidAvX);
    }
    const double e = d.y[i] - ycalc;
    r.ResidualSSCombined += e * e;
  }
  // The residuals of all data enter, not only those of the middle part.
  const double seMid = (r.MidCount > 2 && ssxMid > 0)
                           ? std::sqrt(r.ResidualSSCombined / ((r.MidCount - 2) * ssxMid))
                           : 0;
  if ((r.MidSlope > 0 && 1.5 * seMid > r.MidSlope) ||
      (r.MidSlope < 0 && -1.5 * seMid < r.MidSlope)) {
    r.MidSlope = 0;
  }
  res.CombY1 = r.MidAvY + r.MidSlope * (bp3 - r.MidAvX);
  if (res.CombY1 == 0) res.CombY1 = res.AvYType3;
  res.CombY2 = r.MidAvY + r.MidSlope * (bp4 - r.MidAvX);
  if (res.CombY2 == 0) res.CombY2 = res.AvYType4;
  res.CoefExplCombined = r.TotalSSY != 0 ? 1 - r.ResidualSSCombined / r.TotalSSY : 0;
}

}  // namespace kinvalo
