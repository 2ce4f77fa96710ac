#include "lsq/least_squares.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>

#include <boost/math/distributions/fisher_f.hpp>

#include "lsq/breakpoint_test.h"

namespace kinvalo {

namespace {

// The partial regression's breakpoint and whether the limits hold it.
void ComparePartial(BrokenLineFit& fit, std::optional<double> partial) {
  fit.partialBreakpoint = partial;
  fit.partialInside.reset();
  if (partial) fit.partialInside = fit.limits.Contains(*partial);
}

using LD = long double;

// The broken line at c is a straight line in z: z = X - c on its sloping
// side S and 0 elsewhere. Between two neighbouring distinct X the side S
// stays the same, and with d = (mean X of S) - c the explained sum of
// squares is
//   f(c) = (P + Q d)^2 / (R + gamma d^2)
// with P the sum of products of S about its means, Q the sum of Y - mean Y
// over S, R the sum of squares of X over S and gamma = m (N - m) / N for the
// m data of S. The residual sum of squares is SST - f(c).
struct Interval {
  size_t lo = 0, hi = 0;    // the data at its ends
  double loX = 0, hiX = 0;  // their X about the shift
  double mean = 0, P = 0, Q = 0, R = 0, gamma = 0, m = 0;
  double top = 0;  // the largest f on the interval

  double Explained(double c) const {
    const double d = mean - c;
    const double den = R + gamma * d * d;
    const double num = P + Q * d;
    return den > 0 ? num * num / den : 0;
  }
  // f is largest over all c where the derivative's numerator,
  // 2 (P + Q d) (Q R - gamma P d), has its second zero; the value there is
  // P^2 / R + Q^2 / gamma. -1 when that c lies outside (lo, hi).
  double InsideTop() const {
    const double qr = Q * R, gp = gamma * P;
    if (!(R > 0) || !((qr - gp * (mean - hiX)) * (gp * (mean - loX) - qr) > 0)) return -1;
    return P * P / R + Q * Q / gamma;
  }
  double InsideC() const { return mean - Q * R / (gamma * P); }
};

// Intervals kept while the minimum is sought, for the confidence limits;
// beyond this many the limits take a pass of their own.
constexpr size_t kMaxKeptIntervals = size_t{1} << 16;

// Sums about the shift of the data on the sloping side.
struct SideSums {
  LD m = 0, x = 0, y = 0, xx = 0, xy = 0;
};

constexpr const char* kNotFinite = "The least-squares fits need finite X and Y values.";
constexpr const char* kAllXEqual =
    "All X values are equal, so least squares can fit neither a line nor a breakpoint.";
constexpr const char* kAllYEqual =
    "All Y values are equal, so there is no slope and no breakpoint for least squares to find.";

std::string TooFewMessage(size_t distinct) {
  return "The least-squares fits need at least 5 different X values; the data have " +
         std::to_string(distinct) + ".";
}

class Fitter {
 public:
  // `x` ascending; both stay unchanged while the fitter lives.
  Fitter(std::span<const double> x, std::span<const double> y, Confidence confidence)
      : x_(x), y_(y), confidence_(confidence), n_(static_cast<LD>(x_.size())) {
    LD sx = 0, sy = 0;
    for (size_t i = 0; i < x_.size(); ++i) {
      sx += x_[i];
      sy += y_[i];
    }
    cx_ = sx / n_;
    cy_ = sy / n_;
    LD sxx = 0, syy = 0;
    for (size_t i = 0; i < x_.size(); ++i) {
      sxx += (x_[i] - cx_) * (x_[i] - cx_);
      syy += (y_[i] - cy_) * (y_[i] - cy_);
    }
    scaleX_ = std::sqrt(sxx / n_);
    scaleY_ = std::sqrt(syy / n_);
    perX_ = 1 / scaleX_;
    perY_ = 1 / scaleY_;
  }

  StraightLineFit Line();
  // A seed for the bootstrap drawn from the data: the pattern of the signs
  // of the line's residuals, which neither a shift nor a scale of X or Y
  // changes, nor the data's order reversed. Each data set draws its own
  // samples, so that over many data sets the test holds its size, and the
  // same data always draw the same ones.
  std::uint64_t Seed() const { return seed_; }
  BrokenLineFit Broken(FunctionType type, std::optional<double> partial);

 private:
  template <typename Visit>
  void ForEachInterval(FunctionType type, Visit visit) const;
  Interval MakeInterval(const SideSums& s, size_t lo, size_t hi, bool oneX) const;
  double Original(double c, const Interval& v) const;
  BreakpointLimits Limits(std::vector<BreakpointLimits::Piece> pieces) const;
  void AddPieces(const Interval& v, double threshold, std::vector<BreakpointLimits::Piece>& pieces) const;

  // X and Y about the shift, in units of their spread: whatever the size
  // of the data, no square or product of the fits overflows.
  LD X(size_t i) const { return (x_[i] - cx_) * perX_; }
  LD Y(size_t i) const { return (y_[i] - cy_) * perY_; }

  std::span<const double> x_, y_;
  Confidence confidence_;
  LD n_;
  LD cx_ = 0, cy_ = 0;  // the shift: the mean of the data
  LD scaleX_ = 1, scaleY_ = 1, perX_ = 1, perY_ = 1;
  LD perN_ = 1 / n_;
  LD meanY_ = 0;  // of Y about the shift
  LD sst_ = 0, lineRSS_ = 0;  // in the units of Y above
  std::uint64_t seed_ = 0;
};

StraightLineFit Fitter::Line() {
  LD sx = 0, sy = 0, sxx = 0, sxy = 0, syy = 0;
  for (size_t i = 0; i < x_.size(); ++i) {
    const LD dx = X(i), dy = Y(i);
    sx += dx;
    sy += dy;
    sxx += dx * dx;
    sxy += dx * dy;
    syy += dy * dy;
  }
  // The shift is the mean up to rounding: the corrections are tiny.
  const LD mx = sx / n_;
  meanY_ = sy / n_;
  sxx -= sx * mx;
  sxy -= sx * meanY_;
  syy -= sy * meanY_;
  sst_ = syy;
  const LD slope = sxy / sxx;
  LD rss = 0;
  std::vector<std::int8_t> signs(x_.size());
  for (size_t i = 0; i < x_.size(); ++i) {
    const LD e = (Y(i) - meanY_) - slope * (X(i) - mx);
    rss += e * e;
    signs[i] = static_cast<std::int8_t>(e > 1e-9L ? 1 : e < -1e-9L ? -1 : 0);
  }
  // The signs read from each end, each turned so that its first sign is +.
  auto hash = [&](bool forward) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ signs.size();
    std::int8_t turn = 0;
    for (size_t k = 0; k < signs.size(); ++k) {
      const std::int8_t s = signs[forward ? k : signs.size() - 1 - k];
      if (turn == 0) turn = s;
      h = (h ^ static_cast<std::uint64_t>(s * turn + 1)) * 0x100000001B3ULL;
      h ^= h >> 29;
    }
    return h;
  };
  seed_ = hash(true) ^ hash(false);
  lineRSS_ = rss;
  StraightLineFit line;
  const LD sd = std::sqrt(rss / (n_ - 2)) * scaleY_;
  const LD meanX = cx_ + mx * scaleX_;
  const LD ssx = sxx * scaleX_ * scaleX_;
  line.slope = static_cast<double>(slope * scaleY_ * perX_);
  line.intercept = static_cast<double>(cy_ + meanY_ * scaleY_ - slope * scaleY_ * perX_ * meanX);
  line.slopeSE = static_cast<double>(sd / std::sqrt(ssx));
  line.interceptSE = static_cast<double>(sd * std::sqrt(1 / n_ + meanX * meanX / ssx));
  line.rss = static_cast<double>(rss * scaleY_ * scaleY_);
  line.r2 = static_cast<double>(1 - rss / syy);
  line.residualSD = static_cast<double>(sd);
  return line;
}

// The sums are differences of numbers near the size of the data's spread,
// taken in extended precision; what is made of them on the interval needs
// no more than a double.
Interval Fitter::MakeInterval(const SideSums& s, size_t lo, size_t hi, bool oneX) const {
  Interval v;
  v.lo = lo;
  v.hi = hi;
  v.loX = static_cast<double>(X(lo));
  v.hiX = static_cast<double>(X(hi));
  const LD perDatum = 1 / s.m;
  const LD mean = s.x * perDatum;
  v.m = static_cast<double>(s.m);
  v.mean = static_cast<double>(mean);
  // A side of one distinct X has no spread: exactly, not by rounding.
  v.R = oneX ? 0 : static_cast<double>(std::max<LD>(s.xx - s.x * mean, 0));
  v.P = oneX ? 0 : static_cast<double>(s.xy - s.x * s.y * perDatum);
  v.Q = static_cast<double>(s.y - s.m * meanY_);
  v.gamma = static_cast<double>(s.m * (n_ - s.m) * perN_);
  return v;
}

// Type 4 slopes below c: its sloping side holds the data at or below the
// interval's lower end, gathered from the left. Type 3 slopes above c: the
// data at or above the upper end, gathered from the right.
template <typename Visit>
void Fitter::ForEachInterval(FunctionType type, Visit visit) const {
  const size_t n = x_.size();
  SideSums s;
  auto add = [&](size_t i) {
    s.m += 1;
    s.x += X(i);
    s.y += Y(i);
    s.xx += X(i) * X(i);
    s.xy += X(i) * Y(i);
  };
  bool first = true;
  if (type == FunctionType::Plateau) {
    for (size_t i = 0; i < n;) {
      size_t j = i;
      while (j < n && x_[j] == x_[i]) add(j++);
      if (j == n) break;
      visit(MakeInterval(s, i, j, first));
      first = false;
      i = j;
    }
  } else {
    for (size_t j = n; j > 0;) {
      size_t i = j;
      while (i > 0 && x_[i - 1] == x_[j - 1]) add(--i);
      if (i == 0) break;
      visit(MakeInterval(s, i - 1, i, first));
      first = false;
      j = i;
    }
  }
}

// A breakpoint in the data's own X: an end of the interval is the datum.
double Fitter::Original(double c, const Interval& v) const {
  if (c <= v.loX) return x_[v.lo];
  if (c >= v.hiX) return x_[v.hi];
  return std::clamp(static_cast<double>(cx_ + c * scaleX_), x_[v.lo], x_[v.hi]);
}

BrokenLineFit Fitter::Broken(FunctionType type, std::optional<double> partial) {
  const LD df = n_ - 3;
  const double level = confidence_.Percent() / 100.0;
  const double perDf = boost::math::quantile(
      boost::math::fisher_f_distribution<double>(1, static_cast<double>(df)), level) / static_cast<double>(df);
  const double sst = static_cast<double>(sst_);

  // The exact minimum: on every interval at an end or inside, where the
  // derivative's numerator is zero. The intervals that may reach the
  // confidence limits are kept on the way: the threshold of the limits,
  // f_min (1 + F / (N - 3)) - SST F / (N - 3), only rises as f_min does.
  Interval best;
  double bestF = -1, bestC = 0;
  std::vector<Interval> kept;
  bool keptAll = true;
  size_t pruneAt = 64;
  auto lowestThreshold = [&] { return bestF - (sst - bestF) * perDf - 1e-9 * sst; };
  ForEachInterval(type, [&](const Interval& interval) {
    Interval v = interval;
    auto consider = [&](double f, double c) {
      if (f > bestF || (f == bestF && c < bestC)) {
        bestF = f;
        bestC = c;
        best = v;
      }
    };
    const double atLo = v.Explained(v.loX), atHi = v.Explained(v.hiX), inside = v.InsideTop();
    consider(atLo, v.loX);
    consider(atHi, v.hiX);
    if (inside > bestF) consider(inside, v.InsideC());
    v.top = std::max({atLo, atHi, inside});
    if (!keptAll || v.top < lowestThreshold()) return;
    kept.push_back(v);
    if (kept.size() < pruneAt) return;
    const double threshold = lowestThreshold();
    std::erase_if(kept, [&](const Interval& k) { return k.top < threshold; });
    pruneAt = 64 + 2 * kept.size();
    if (kept.size() > kMaxKeptIntervals) {
      keptAll = false;
      kept = {};
    }
  });

  BrokenLineFit fit;
  fit.type = type;
  fit.breakpoint = Original(bestC, best);
  const LD c = (fit.breakpoint - cx_) * perX_;
  const LD d = best.mean - c;
  const LD szz = best.R + best.gamma * d * d;
  const LD szy = best.P + best.Q * d;
  const LD b = szz > 0 ? szy / szz : 0;
  const LD meanZ = best.m * d / n_;
  const LD a = cy_ + (meanY_ - b * meanZ) * scaleY_;
  LD rss = 0;
  for (size_t i = 0; i < x_.size(); ++i) {
    const bool sloping = type == FunctionType::Threshold ? x_[i] > fit.breakpoint : x_[i] < fit.breakpoint;
    const LD z = sloping ? X(i) - c : 0;
    const LD e = Y(i) - meanY_ - b * (z - meanZ);
    rss += e * e;
  }
  // The residual deviation counts the breakpoint among the parameters; the
  // standard errors of level and slope are those of the straight line in z
  // with the breakpoint held where it is (N - 2 degrees of freedom).
  const LD sdAtC = std::sqrt(rss / (n_ - 2)) * scaleY_;
  fit.level = static_cast<double>(a);
  fit.slope = static_cast<double>(b * scaleY_ * perX_);
  fit.levelSE = szz > 0 ? static_cast<double>(sdAtC * std::sqrt(1 / n_ + meanZ * meanZ / szz)) : 0;
  fit.slopeSE = szz > 0 ? static_cast<double>(sdAtC / std::sqrt(szz) * perX_) : 0;
  fit.rss = static_cast<double>(rss * scaleY_ * scaleY_);
  fit.r2 = static_cast<double>(1 - rss / sst_);
  fit.residualSD = static_cast<double>(std::sqrt(rss / df) * scaleY_);
  // A breakpoint at the end where the broken line is the straight line
  // gains only rounding over it.
  LD gain = lineRSS_ - rss;
  if (gain <= 64 * std::numeric_limits<double>::epsilon() * sst_) gain = 0;
  if (rss > 0) fit.supF = static_cast<double>(df * gain / rss);

  // Every c whose residual sum of squares is at most RSS (1 + F / (N - 3)).
  const double threshold = bestF - static_cast<double>(rss) * perDf;
  std::vector<BreakpointLimits::Piece> pieces{{fit.breakpoint, fit.breakpoint}};
  if (keptAll) {
    for (const Interval& v : kept) {
      if (v.top >= threshold) AddPieces(v, threshold, pieces);
    }
  } else {
    ForEachInterval(type, [&](const Interval& v) { AddPieces(v, threshold, pieces); });
  }
  fit.limits = Limits(std::move(pieces));
  ComparePartial(fit, partial);
  return fit;
}

// The c of an interval where f(c) >= threshold: (P + Q d)^2 >= threshold
// (R + gamma d^2) is a quadratic in d, whose roots cut the interval into
// pieces that lie wholly in or out of the set.
void Fitter::AddPieces(const Interval& v, double threshold, std::vector<BreakpointLimits::Piece>& pieces) const {
  const double a2 = v.Q * v.Q - threshold * v.gamma;
  const double a1 = 2 * v.P * v.Q;
  const double a0 = v.P * v.P - threshold * v.R;
  double cuts[4] = {v.loX, v.hiX, v.hiX, v.hiX};
  int count = 1;
  auto cut = [&](double d) {
    const double c = v.mean - d;
    if (c > v.loX && c < v.hiX) cuts[count++] = c;
  };
  if (a2 == 0) {
    if (a1 != 0) cut(-a0 / a1);
  } else {
    const double disc = a1 * a1 - 4 * a2 * a0;
    if (disc >= 0) {
      const double q = -(a1 + std::copysign(std::sqrt(disc), a1)) / 2;
      if (q != 0) {
        cut(q / a2);
        cut(a0 / q);
      }
    }
  }
  if (count == 3 && cuts[2] < cuts[1]) std::swap(cuts[1], cuts[2]);
  cuts[count] = v.hiX;
  for (int k = 0; k < count; ++k) {
    if (v.Explained((cuts[k] + cuts[k + 1]) / 2) >= threshold) {
      pieces.push_back({Original(cuts[k], v), Original(cuts[k + 1], v)});
    }
  }
}

// The pieces in ascending order, those that meet or overlap joined.
BreakpointLimits Fitter::Limits(std::vector<BreakpointLimits::Piece> pieces) const {
  std::sort(pieces.begin(), pieces.end(), [](const auto& p, const auto& q) { return p.left < q.left; });
  BreakpointLimits limits;
  for (const auto& p : pieces) {
    if (!limits.pieces.empty() && p.left <= limits.pieces.back().right) {
      limits.pieces.back().right = std::max(limits.pieces.back().right, p.right);
    } else {
      limits.pieces.push_back(p);
    }
  }
  limits.left = limits.pieces.front().left;
  limits.right = limits.pieces.back().right;
  limits.oneInterval = limits.pieces.size() == 1;
  limits.leftOpen = limits.left <= x_.front();
  limits.rightOpen = limits.right >= x_.back();
  return limits;
}

}  // namespace

bool BreakpointLimits::Contains(double c) const {
  return std::any_of(pieces.begin(), pieces.end(), [c](const Piece& p) { return p.left <= c && c <= p.right; });
}

int AutomaticBootstrapSamples(std::int64_t n, std::int64_t distinct) {
  // A sample takes about 2.5 ns a datum and 7 ns a distinct X; the test may
  // take about 0.5 ms and a quarter of a second a million data. The counts
  // keep (samples + 1) round, so that a p-value of 0.05 is a whole count.
  const double sample = 2.5 * static_cast<double>(n) + 7.0 * static_cast<double>(distinct);
  const double budget = 5e5 + 240.0 * static_cast<double>(n);
  for (int samples : {99, 79, 59, 39}) {
    if (samples * sample <= budget) return samples;
  }
  return 19;
}

LeastSquaresFit FitLeastSquares(const LeastSquaresInput& input) {
  LeastSquaresFit fit;
  fit.confidence = input.confidence;
  const size_t n = std::min(input.x.size(), input.y.size());
  fit.n = static_cast<std::int64_t>(n);
  for (size_t i = 0; i < n; ++i) {
    if (!std::isfinite(input.x[i]) || !std::isfinite(input.y[i])) {
      fit.unfit = kNotFinite;
      return fit;
    }
  }
  std::span<const double> x = input.x.first(n), y = input.y.first(n);
  std::vector<double> sortedX, sortedY;
  if (!std::is_sorted(x.begin(), x.end())) {
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return x[a] < x[b]; });
    sortedX.resize(n);
    sortedY.resize(n);
    for (size_t i = 0; i < n; ++i) {
      sortedX[i] = x[order[i]];
      sortedY[i] = y[order[i]];
    }
    x = sortedX;
    y = sortedY;
  }
  size_t distinct = n > 0 ? 1 : 0;
  for (size_t i = 1; i < n; ++i) distinct += x[i] != x[i - 1] ? 1 : 0;
  if (distinct == 1) {
    fit.unfit = kAllXEqual;
  } else if (distinct < 5) {
    fit.unfit = TooFewMessage(distinct);
  } else if (std::all_of(y.begin(), y.end(), [&](double v) { return v == y[0]; })) {
    fit.unfit = kAllYEqual;
  }
  if (fit.unfit) return fit;

  Fitter fitter(x, y, input.confidence);
  fit.line = fitter.Line();
  fit.type3 = fitter.Broken(FunctionType::Threshold, input.partialBreakpointType3);
  fit.type4 = fitter.Broken(FunctionType::Plateau, input.partialBreakpointType4);
  fit.bootstrapSamples = input.bootstrapSamples == kAutomaticSamples
                             ? AutomaticBootstrapSamples(fit.n, static_cast<std::int64_t>(distinct))
                             : input.bootstrapSamples;
  if (fit.bootstrapSamples > 0) {
    // A shape that gains nothing over the line is the line to the test.
    auto rss = [&](const BrokenLineFit& shape) { return shape.supF == 0.0 ? fit.line.rss : shape.rss; };
    const BreakpointPValues p = BootstrapBreakpointTest(
        {x, fit.line.slope, fit.line.rss, rss(fit.type3), rss(fit.type4), fit.bootstrapSamples, fitter.Seed()});
    fit.type3.pValue = p.type3;
    fit.type4.pValue = p.type4;
  }
  return fit;
}

void ComparePartialBreakpoints(LeastSquaresFit& fit, std::optional<double> type3, std::optional<double> type4) {
  if (fit.unfit) return;
  ComparePartial(fit.type3, type3);
  ComparePartial(fit.type4, type4);
}

std::string Significant(double value, int digits) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
  std::string text(buffer, result.ptr);
  return text == "-0" ? "0" : text;
}

namespace {

// " + 6.9187" or " - 6.9187".
std::string Signed(double value) {
  const std::string text = Significant(value);
  return text[0] == '-' ? " - " + text.substr(1) : " + " + text;
}

// "(X - 5.7823)", or "X" for a breakpoint at 0.
std::string XMinus(double c) {
  return Significant(c) == "0" ? "X" : "(X" + Signed(-c) + ")";
}

}  // namespace

std::string EquationText(const StraightLineFit& line) {
  return "Y = " + Significant(line.intercept) + Signed(line.slope) + " X";
}

std::string EquationText(const BrokenLineFit& fit) {
  const std::string a = Significant(fit.level);
  const std::string c = Significant(fit.breakpoint);
  const std::string sloping = "Y = " + a + Signed(fit.slope) + " " + XMinus(fit.breakpoint);
  if (fit.type == FunctionType::Threshold) {
    return "Y = " + a + " for X <= " + c + ", " + sloping + " for X > " + c;
  }
  return sloping + " for X < " + c + ", Y = " + a + " for X >= " + c;
}

}  // namespace kinvalo
