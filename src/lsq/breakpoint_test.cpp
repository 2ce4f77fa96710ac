#include "lsq/breakpoint_test.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

namespace kinvalo {

namespace {

using LD = long double;

// One interval between neighbouring distinct X, [lo, hi], with what the
// broken lines take from X there: the sloping side of Type 4 holds the
// data at or below lo, that of Type 3 the rest; the mean and the sum of
// squares of the X values of each.
struct Step {
  double mean4, ss4, mean3, ss3;
};

// What the samples share, worked out once. X and the residuals are taken
// in units of their own spread (the statistic does not depend on them), so
// that no product of the test overflows.
struct Design {
  std::span<const double> x, e;
  double shiftX = 0, perX = 1, perE = 1;
  double n = 0, meanX = 0, ssx = 0, ssE = 0, slope = 0;
  std::vector<Step> steps;
  std::vector<std::uint32_t> last;  // the last datum at each step's lo

  double X(size_t i) const { return (x[i] - shiftX) * perX; }
  double E(size_t i) const { return e[i] * perE; }
};

Design MakeDesign(const BreakpointTestInput& input) {
  Design d;
  const size_t n = input.x.size();
  d.x = input.x;
  d.e = input.residuals;
  d.n = static_cast<double>(n);
  LD sx = 0, see = 0;
  for (size_t i = 0; i < n; ++i) {
    sx += input.x[i];
    see += static_cast<LD>(input.residuals[i]) * input.residuals[i];
  }
  const LD shift = sx / n;
  LD ssx = 0;
  for (double v : input.x) ssx += (v - shift) * (v - shift);
  d.shiftX = static_cast<double>(shift);
  d.perX = static_cast<double>(1 / std::sqrt(ssx / n));
  d.perE = static_cast<double>(1 / std::sqrt(see / n));
  d.slope = input.slope / d.perX * d.perE;
  LD sum = 0, sumE = 0;
  for (size_t i = 0; i < n; ++i) {
    sum += d.X(i);
    sumE += static_cast<LD>(d.E(i)) * d.E(i);
  }
  d.ssE = static_cast<double>(sumE);
  d.meanX = static_cast<double>(sum / n);
  LD ss = 0;
  for (size_t i = 0; i < n; ++i) ss += (d.X(i) - d.meanX) * static_cast<LD>(d.X(i) - d.meanX);
  d.ssx = static_cast<double>(ss);

  // Sums about each side's outermost value: no digit is lost to the
  // distance of a side from the centre. One distinct X has exactly no
  // spread.
  for (size_t i = 0; i + 1 < n; ++i) {
    if (input.x[i + 1] != input.x[i]) d.last.push_back(static_cast<std::uint32_t>(i));
  }
  d.steps.resize(d.last.size());
  const double first = d.X(0), end = d.X(n - 1);
  LD m = 0, s1 = 0, s2 = 0;
  for (size_t k = 0, i = 0; k < d.steps.size(); ++k) {
    for (; i <= d.last[k]; ++i) {
      const LD v = static_cast<LD>(d.X(i)) - first;
      m += 1;
      s1 += v;
      s2 += v * v;
    }
    d.steps[k].mean4 = static_cast<double>(first + s1 / m);
    d.steps[k].ss4 = k == 0 ? 0.0 : static_cast<double>(std::max<LD>(s2 - s1 * s1 / m, 0));
  }
  m = s1 = s2 = 0;
  for (size_t k = d.steps.size(), i = n; k-- > 0;) {
    for (; i > d.last[k] + 1; --i) {
      const LD v = static_cast<LD>(d.X(i - 1)) - end;
      m += 1;
      s1 += v;
      s2 += v * v;
    }
    d.steps[k].mean3 = static_cast<double>(end + s1 / m);
    d.steps[k].ss3 = k + 1 == d.steps.size() ? 0.0 : static_cast<double>(std::max<LD>(s2 - s1 * s1 / m, 0));
  }
  return d;
}

// Whether the broken line explains at least `threshold` at c = `end` or
// inside (lo, hi), where its explained sum of squares
//   f = (P + Q d)^2 / (R + gamma d^2),  d = mean - c,
// is largest at the zero of the derivative's numerator, Q R - gamma P d,
// with the value P^2 / R + Q^2 / gamma. No division and no branch.
inline bool Reaches(double P, double Q, double R, double gamma, double mean, double lo, double hi,
                    double end, double threshold) {
  // Nowhere near: the largest value over all c falls short.
  const double top = P * P * gamma + Q * Q * R, need = threshold * R * gamma;
  if (R > 0 && top < need) return false;
  const double d = mean - end;
  const double den = R + gamma * d * d;
  const double num = P + Q * d;
  const bool atEnd = (den > 0) & (num * num >= threshold * den);
  const double qr = Q * R, gp = gamma * P;
  const bool inside = (qr - gp * (mean - hi)) * (gp * (mean - lo) - qr) > 0;
  return atEnd | (inside & (top >= need));
}

inline double Signed(double e, std::uint64_t word, size_t bit) {
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(e) ^ (((word >> bit) & 1U) << 63));
}

struct Reached {
  bool type3 = false, type4 = false;
};

// Whether the sample with signs `bits` reaches the data's statistic:
// RSS_shape <= ratio RSS_line for some c, that is an explained sum of at
// least SST - ratio RSS_line. The shapes already in `reached` are not asked.
Reached Sample(const Design& d, const std::vector<std::uint64_t>& bits, double ratio3, double ratio4,
               Reached reached) {
  const size_t n = d.x.size();
  double sv[4] = {0, 0, 0, 0}, sxv[4] = {0, 0, 0, 0};
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const std::uint64_t word = bits[i >> 6];
    for (size_t k = 0; k < 4; ++k) {
      const double v = Signed(d.E(i + k), word, (i + k) & 63);
      sv[k] += v;
      sxv[k] += d.X(i + k) * v;
    }
  }
  for (; i < n; ++i) {
    const double v = Signed(d.E(i), bits[i >> 6], i & 63);
    sv[0] += v;
    sxv[0] += d.X(i) * v;
  }
  const double sumV = (sv[0] + sv[1]) + (sv[2] + sv[3]);
  const double sumXV = (sxv[0] + sxv[1]) + (sxv[2] + sxv[3]);
  const double meanV = sumV / d.n;
  const double cxv = sumXV - d.meanX * sumV;  // about the means
  const double cvv = d.ssE - sumV * meanV;
  const double lineRSS = cvv - cxv * cxv / d.ssx;
  // Y = slope x + v.
  const double sst = d.slope * d.slope * d.ssx + 2 * d.slope * cxv + cvv;
  const double need3 = sst - ratio3 * lineRSS, need4 = sst - ratio4 * lineRSS;

  Reached r = reached;
  double pv = 0, pxv = 0;
  const double perN = 1 / d.n;
  i = 0;
  for (size_t k = 0; k < d.steps.size() && !(r.type3 && r.type4); ++k) {
    const Step& s = d.steps[k];
    double group = 0;
    for (; i <= d.last[k]; ++i) group += Signed(d.E(i), bits[i >> 6], i & 63);
    const double lo = d.X(i - 1), hi = d.X(i);
    const double m4 = static_cast<double>(i), gamma = m4 * (d.n - m4) * perN;
    pv += group;
    pxv += lo * group;
    // The sums of Y = slope x + v on each side about the side's mean X,
    // and about the mean Y of all data.
    const double q4 = d.slope * m4 * (s.mean4 - d.meanX) + (pv - m4 * meanV);
    const double p4 = s.ss4 > 0 ? d.slope * s.ss4 + (pxv - s.mean4 * pv) : 0.0;
    const double p3 = s.ss3 > 0 ? d.slope * s.ss3 + ((sumXV - pxv) - s.mean3 * (sumV - pv)) : 0.0;
    r.type4 = r.type4 || Reaches(p4, q4, s.ss4, gamma, s.mean4, lo, hi, lo, need4);
    r.type3 = r.type3 || Reaches(p3, -q4, s.ss3, gamma, s.mean3, lo, hi, hi, need3);
  }
  return r;
}

}  // namespace

BreakpointPValues BootstrapBreakpointTest(const BreakpointTestInput& input) {
  const size_t n = input.x.size();
  if (input.residuals.size() != n || n < 3 || n > std::numeric_limits<std::uint32_t>::max()) {
    throw std::invalid_argument("The test needs paired data.");
  }
  BreakpointPValues p;
  // A line that leaves nothing, or a shape that gains nothing over it:
  // every sample is as extreme as the data.
  if (!(input.lineRSS > 0) || input.samples <= 0) return p;
  const double ratio3 = input.type3RSS / input.lineRSS, ratio4 = input.type4RSS / input.lineRSS;
  const Reached gainNothing{ratio3 >= 1, ratio4 >= 1};
  if (gainNothing.type3 && gainNothing.type4) return p;
  const Design design = MakeDesign(input);
  std::mt19937_64 random(input.seed);
  std::vector<std::uint64_t> bits((n + 63) / 64);
  int reached3 = 0, reached4 = 0;
  for (int b = 0; b < input.samples; ++b) {
    for (std::uint64_t& word : bits) word = random();
    const Reached r = Sample(design, bits, ratio3, ratio4, gainNothing);
    reached3 += r.type3 ? 1 : 0;
    reached4 += r.type4 ? 1 : 0;
  }
  const double all = 1.0 + input.samples;
  if (!gainNothing.type3) p.type3 = (1 + reached3) / all;
  if (!gainNothing.type4) p.type4 = (1 + reached4) / all;
  return p;
}

}  // namespace kinvalo
