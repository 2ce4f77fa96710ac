#include "graphs/graph_prep.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>


namespace kinvalo {

namespace {

// Rounding to the nearest integer with halves to the even neighbour, as an
// axis end that must fit a 32-bit integer.
std::int32_t RoundEnd(double v) {
  const double r = std::nearbyint(v);
  if (!(r >= std::numeric_limits<std::int32_t>::min() &&
        r <= std::numeric_limits<std::int32_t>::max())) {
    throw std::overflow_error("The data are too large to draw a graph axis.");
  }
  return static_cast<std::int32_t>(r);
}

std::int32_t Multiple(std::int32_t step, double v) {
  const std::int64_t product = static_cast<std::int64_t>(step) * RoundEnd(v / step);
  if (product < std::numeric_limits<std::int32_t>::min() ||
      product > std::numeric_limits<std::int32_t>::max()) {
    throw std::overflow_error("The data are too large to draw a graph axis.");
  }
  return static_cast<std::int32_t>(product);
}

std::int32_t Span(std::int32_t low, std::int32_t high) {
  const std::int64_t span = static_cast<std::int64_t>(high) - low;
  if (span > std::numeric_limits<std::int32_t>::max()) {
    throw std::overflow_error("The data are too large to draw a graph axis.");
  }
  return static_cast<std::int32_t>(span);
}

// The axis ends round to a step that suits the magnitude; from 500 upward
// the ends are the rounded extremes and the step only sets the intervals.
AxisScale RoundAxis(double mn, double mx, bool yAxis) {
  const double M = std::fabs(mn) < mx ? mx : std::fabs(mn);
  AxisScale a;
  if (M < 10) {
    a.decimals = 1;
    a.low = RoundEnd(mn - 0.5);
    a.high = RoundEnd(mx + 0.5);
    a.intervals = Span(a.low, a.high);
    if (yAxis && a.intervals > 10) a.intervals /= 2;
    return a;
  }
  struct Row {
    double bound;
    std::int32_t decimals, step;
  };
  static constexpr Row kSteps[] = {{25, 1, 4}, {50, 1, 5}, {100, 0, 10}, {250, 0, 25}, {500, 0, 50}};
  for (const Row& row : kSteps) {
    if (M < row.bound) {
      const double half = row.step / 2.0;
      a.decimals = row.decimals;
      a.low = Multiple(row.step, mn - half);
      a.high = Multiple(row.step, mx + half);
      a.intervals = Span(a.low, a.high) / row.step;
      return a;
    }
  }
  static constexpr Row kDivisors[] = {{1000, 0, 100},    {2500, 0, 250},   {5000, 0, 500},
                                      {10000, 0, 1000},  {25000, 0, 2500}, {50000, 0, 5000}};
  std::int32_t divisor = 10000;
  for (const Row& row : kDivisors) {
    if (M < row.bound) {
      divisor = row.step;
      break;
    }
  }
  a.low = RoundEnd(mn);
  a.high = RoundEnd(mx);
  // Extremes closer together than one unit (600.2 to 600.4) would give one
  // end for both and no axis to map onto: widen it to the whole units
  // around them and label the ticks with two decimals.
  if (a.low == a.high && mn < mx) {
    a.low = RoundEnd(std::floor(mn));
    a.high = RoundEnd(std::ceil(mx));
    a.decimals = 2;
  }
  a.intervals = Span(a.low, a.high) / divisor;
  return a;
}

std::int32_t ChooseYFactor(double yMin, double yMax) {
  const bool negativeDominated = yMin < 0 && std::fabs(yMax) < std::fabs(yMin);
  if (!negativeDominated) {
    if (yMin > 0 && yMax < 0.01) return 1000;
    if (yMin > 0 && 0.01 < yMax && yMax < 0.1) return 100;
    if (yMin > 0 && 0.1 < yMax && yMax < 1) return 10;
  } else {
    if (yMax < 0 && -0.01 < yMin) return 1000;
    if (yMax < 0 && -0.1 < yMin && yMin < -0.01) return 100;
    if (yMax < 0 && -1 < yMin && yMin < -0.1) return 10;
  }
  return 1;
}

// The extremes of values in any order; both 0 without values.
void Extremes(const std::vector<double>& v, double& low, double& high) {
  low = high = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    if (i == 0 || v[i] > high) high = v[i];
    if (i == 0 || v[i] < low) low = v[i];
  }
}

// At least 4 and at most 10 intervals; the decimals follow the change.
void LimitIntervals(AxisScale& a) {
  if (a.intervals > 10) {
    a.intervals = 10;
    ++a.decimals;
  }
  if (a.intervals < 4) {
    a.intervals = 4;
    if (a.high < 100) ++a.decimals;
  }
}

}  // namespace

PreparedGraph PrepareGraph(const GraphModel& model, bool calcObs) {
  PreparedGraph p;
  p.x = calcObs ? model.yCalc : model.x;
  p.y = model.yObs;
  // The extremes come from the data themselves, so that X values all above
  // a million (dates, coordinates in metres) are scaled as they are.
  Extremes(p.x, p.xMin, p.xMax);
  Extremes(p.y, p.yMin, p.yMax);
  p.xAxis = RoundAxis(p.xMin, p.xMax, false);

  p.yFactor = ChooseYFactor(p.yMin, p.yMax);
  p.yMin *= p.yFactor;
  p.yMax *= p.yFactor;
  for (double& y : p.y) y *= p.yFactor;
  p.yAxis = RoundAxis(p.yMin, p.yMax, true);

  LimitIntervals(p.xAxis);
  LimitIntervals(p.yAxis);

  p.xLabel = calcObs ? "Ycalc" : "X-Data";
  const std::string name = calcObs ? "Yobs" : "Y-data";
  if (p.yFactor == 10) {
    p.yLabel = name + " * 10";
  } else if (p.yFactor == 100) {
    p.yLabel = name + " * 100";
  } else {
    p.yLabel = calcObs ? "Yobs" : "Y-Data";
  }
  return p;
}

}  // namespace kinvalo
