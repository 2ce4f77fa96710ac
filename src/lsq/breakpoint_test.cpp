#include "lsq/breakpoint_test.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <future>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <vector>

#include <boost/math/distributions/normal.hpp>

#include "lsq/random_words.h"

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

// What the samples share, worked out once. X is taken in units of its own
// spread and Y in units of the line's residual standard deviation (the
// statistic depends on neither), so that no product of the test
// overflows; the noise of a sample is then standard normal.
struct Design {
  std::span<const double> x;
  double shiftX = 0, perX = 1;
  double n = 0, meanX = 0, ssx = 0, slope = 0;
  std::vector<Step> steps;
  std::vector<std::uint32_t> last;  // the last datum at each step's lo

  double X(size_t i) const { return (x[i] - shiftX) * perX; }
};

Design MakeDesign(const BreakpointTestInput& input) {
  Design d;
  const size_t n = input.x.size();
  d.x = input.x;
  d.n = static_cast<double>(n);
  LD sx = 0;
  for (double v : input.x) sx += v;
  const LD shift = sx / n;
  LD ssx = 0;
  for (double v : input.x) ssx += (v - shift) * (v - shift);
  d.shiftX = static_cast<double>(shift);
  d.perX = static_cast<double>(1 / std::sqrt(ssx / n));
  const double sd = std::sqrt(input.lineRSS / (d.n - 2));
  d.slope = input.slope / d.perX / sd;
  LD sum = 0;
  for (size_t i = 0; i < n; ++i) sum += d.X(i);
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
// with the value P^2 / R + Q^2 / gamma. No division.
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

// Standard normal noise from 12 random bits: the normal quantiles at the
// middles of 4096 equal shares of probability, five to a 64-bit word.
constexpr int kNoiseBits = 12, kNoisePerWord = 5;

const std::vector<double>& NormalTable() {
  static const std::vector<double> table = [] {
    std::vector<double> t(size_t{1} << kNoiseBits);
    const boost::math::normal_distribution<double> normal;
    for (size_t k = 0; k < t.size(); ++k) {
      t[k] = boost::math::quantile(normal, (static_cast<double>(k) + 0.5) / static_cast<double>(t.size()));
    }
    return t;
  }();
  return table;
}

inline double Noise(const std::vector<double>& table, const std::vector<std::uint64_t>& words, size_t i) {
  const std::uint64_t word = words[i / kNoisePerWord];
  return table[(word >> (kNoiseBits * (i % kNoisePerWord))) & ((1U << kNoiseBits) - 1)];
}

struct Reached {
  bool type3 = false, type4 = false;
};

// Whether the sample with noise from `words` reaches the data's statistic:
// RSS_shape <= ratio RSS_line for some c, that is an explained sum of at
// least SST - ratio RSS_line. The shapes already in `reached` are not asked.
// `prefix` is room for one sum a step.
Reached Sample(const Design& d, const std::vector<std::uint64_t>& words, double ratio3, double ratio4,
               Reached reached, std::vector<double>& prefix) {
  const size_t n = d.x.size(), steps = d.steps.size();
  const std::vector<double>& table = NormalTable();
  // The sums of the noise v and of v^2 over [from, to), in running sums
  // that do not wait on each other.
  double squares[2] = {0, 0};
  auto groupSum = [&](size_t from, size_t to) {
    double s[2] = {0, 0};
    size_t i = from;
    for (; i + 2 <= to; i += 2) {
      for (size_t k = 0; k < 2; ++k) {
        const double v = Noise(table, words, i + k);
        s[k] += v;
        squares[k] += v * v;
      }
    }
    for (; i < to; ++i) {
      const double v = Noise(table, words, i);
      s[0] += v;
      squares[0] += v * v;
    }
    return s[0] + s[1];
  };
  // One pass over the data: the sum of v up to each step's lower end, and
  // the sums of v and of X v over all data (every group at its own X).
  double sumV = 0, sumXV = 0;
  for (size_t k = 0, from = 0; k < steps; ++k) {
    const double group = groupSum(from, d.last[k] + 1);
    from = d.last[k] + 1;
    sumV += group;
    sumXV += d.X(d.last[k]) * group;
    prefix[k] = sumV;
  }
  const size_t rest = steps == 0 ? 0 : d.last[steps - 1] + 1;
  const double lastGroup = groupSum(rest, n);
  sumV += lastGroup;
  sumXV += d.X(n - 1) * lastGroup;

  const double meanV = sumV / d.n;
  const double cxv = sumXV - d.meanX * sumV;  // about the means
  const double cvv = (squares[0] + squares[1]) - sumV * meanV;
  const double lineRSS = cvv - cxv * cxv / d.ssx;
  // Y = slope x + v.
  const double sst = d.slope * d.slope * d.ssx + 2 * d.slope * cxv + cvv;
  const double need3 = sst - ratio3 * lineRSS, need4 = sst - ratio4 * lineRSS;

  Reached r = reached;
  double pv = 0, pxv = 0;
  const double perN = 1 / d.n;
  for (size_t k = 0; k < steps && !(r.type3 && r.type4); ++k) {
    const Step& s = d.steps[k];
    const size_t i = d.last[k] + 1;
    const double lo = d.X(i - 1), hi = d.X(i);
    const double m4 = static_cast<double>(i), gamma = m4 * (d.n - m4) * perN;
    pxv += lo * (prefix[k] - pv);
    pv = prefix[k];
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
  if (n < 3 || n > std::numeric_limits<std::uint32_t>::max()) {
    throw std::invalid_argument("The test needs at least 3 data.");
  }
  BreakpointPValues p;
  // A line that leaves nothing, or a shape that gains nothing over it:
  // every sample is as extreme as the data.
  if (!(input.lineRSS > 0) || input.samples <= 0) return p;
  const double ratio3 = input.type3RSS / input.lineRSS, ratio4 = input.type4RSS / input.lineRSS;
  const Reached gainNothing{ratio3 >= 1, ratio4 >= 1};
  if (gainNothing.type3 && gainNothing.type4) return p;
  const Design design = MakeDesign(input);
  // Sample b takes the words from b times a sample's words on. The samples
  // are handed out one at a time to the workers, each with its own copy of
  // the generator, which passes over the words of the samples others took:
  // whoever works out a sample, it draws the same words, and only counts
  // are added up.
  const size_t wordsPerSample = (n + kNoisePerWord - 1) / kNoisePerWord;
  std::atomic<int> nextSample{0};
  struct Counts {
    int type3 = 0, type4 = 0;
  };
  auto work = [&] {
    RandomWords random(input.seed);
    std::vector<std::uint64_t> words(wordsPerSample);
    std::vector<double> prefix(design.steps.size());
    Counts counts;
    for (int drawn = 0;;) {
      const int b = nextSample.fetch_add(1);
      if (b >= input.samples) return counts;
      random.Skip(static_cast<std::uint64_t>(b - drawn) * wordsPerSample);
      random.Fill(words);
      drawn = b + 1;
      const Reached r = Sample(design, words, ratio3, ratio4, gainNothing, prefix);
      counts.type3 += r.type3 ? 1 : 0;
      counts.type4 += r.type4 ? 1 : 0;
    }
  };
  // A second worker pays for its thread and its pass over the words from
  // about a million data in all samples on.
  std::future<Counts> second;
  if (static_cast<double>(n) * input.samples >= 1 << 20) {
    try {
      second = std::async(std::launch::async, work);
    } catch (const std::system_error&) {
      // One worker does it all.
    }
  }
  const Counts first = work();
  const Counts other = second.valid() ? second.get() : Counts{};
  const int reached3 = first.type3 + other.type3, reached4 = first.type4 + other.type4;
  const double all = 1.0 + input.samples;
  if (!gainNothing.type3) p.type3 = (1 + reached3) / all;
  if (!gainNothing.type4) p.type4 = (1 + reached4) / all;
  return p;
}

}  // namespace kinvalo
