#include "graphs/graph_prep.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/format.h"
#include "graphs/graph_frame.h"

namespace kinvalo {

namespace {

constexpr const char* TooLarge = "The data are too large to draw a graph axis.";

// The magnitude rows below give the axes of everyday data. They are kept
// while the data fill at least half of an axis: every axis of the example
// files is filled to 0.56 or more (the least: Ycalc of the salinity
// calc-obs graph), while the axes that leave the data in a sliver are
// filled to 0.4 or less (X from -0.5 to -0.1 on -1 to 0, 100 to 103 on 100
// to 125, 0.001 to 0.03 on 0 to 1). A new axis is always filled to 0.69
// or more, so it never fails the share itself.
constexpr double FilledShare = 0.5;
// The rows of large values take the rounded extremes as ends, so the data
// may reach a little beyond them: up to this share of the axis.
constexpr double Overhang = 0.01;
// Characters of a tick label: six digits fill the room left of the Y axis
// and right of the last X tick.
constexpr std::size_t LabelRoom = 6;
// Pixels of an X tick label per character, with the gap to the next label.
constexpr int PixelsPerCharacter = 8;
// The mantissas of the steps of a new axis, and its least and most intervals.
constexpr double Mantissas[] = {1, 2, 2.5, 5};
constexpr int FewestIntervals = 4, MostIntervals = 10;

bool FitsInt32(double v) {
  return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
}

// The axis of the magnitude rows: the ends round to a step that suits the
// magnitude; from 500 upward the ends are the rounded extremes and the step
// only sets the intervals. Rounding is to the nearest whole number with
// halves to the even neighbour. None when an end does not fit a 32-bit
// integer.
std::optional<AxisScale> MagnitudeAxis(double mn, double mx, bool yAxis) {
  const double M = std::fabs(mn) < mx ? mx : std::fabs(mn);
  AxisScale a;
  auto whole = [&]() { return FitsInt32(a.low) && FitsInt32(a.high); };
  auto span = [&]() { return static_cast<std::int64_t>(a.high) - static_cast<std::int64_t>(a.low); };
  if (M < 10) {
    a.decimals = 1;
    a.low = std::nearbyint(mn - 0.5);
    a.high = std::nearbyint(mx + 0.5);
    if (!whole()) return std::nullopt;
    a.intervals = static_cast<std::int32_t>(span());
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
      a.low = row.step * std::nearbyint((mn - half) / row.step);
      a.high = row.step * std::nearbyint((mx + half) / row.step);
      if (!whole()) return std::nullopt;
      a.intervals = static_cast<std::int32_t>(span() / row.step);
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
  a.low = std::nearbyint(mn);
  a.high = std::nearbyint(mx);
  // Extremes closer together than one unit (600.2 to 600.4) would give one
  // end for both: widen it to the whole units around them and label the
  // ticks with two decimals.
  if (a.low == a.high && mn < mx) {
    a.low = std::floor(mn);
    a.high = std::ceil(mx);
    a.decimals = 2;
  }
  if (!whole() || span() > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  a.intervals = static_cast<std::int32_t>(span() / divisor);
  return a;
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

// Whether every tick label differs from the one before it and takes at
// most `room` characters.
bool LabelsFit(const AxisScale& a, bool yAxis, std::size_t room) {
  std::string before;
  for (std::int32_t i = 0; i <= a.intervals; ++i) {
    const std::string label = TickLabel(a, yAxis ? a.FromHigh(i) : a.FromLow(i));
    if (label.size() > room || (i > 0 && label == before)) return false;
    before = label;
  }
  return true;
}

// Whether the data from mn to mx fill the axis, lie on it and get labels
// of their own that fit beside the axis.
bool Fits(const AxisScale& a, double mn, double mx, bool yAxis) {
  const double length = a.high - a.low;
  if (!(length > 0) || a.intervals <= 0) return false;
  if (mn < mx && mx - mn < FilledShare * length) return false;
  if (mn < a.low - Overhang * length || mx > a.high + Overhang * length) return false;
  const std::size_t room =
      yAxis ? LabelRoom : static_cast<std::size_t>(graph_detail::PlotWidth / (PixelsPerCharacter * a.intervals));
  return LabelsFit(a, yAxis, room);
}

// v * 10^e, as exactly as a double holds it when v is a whole number.
double Decimal(double v, int e) { return e >= 0 ? v * std::pow(10.0, e) : v / std::pow(10.0, -e); }

int Decade(double v) { return static_cast<int>(std::floor(std::log10(v))); }

// The engineering power (a multiple of 3) that shows `top` as 1 to 999.
std::int32_t PowerFor(double top) { return -3 * static_cast<std::int32_t>(std::floor(Decade(top) / 3.0)); }

// An axis whose ends and ticks are multiples of 1, 2, 2.5 or 5 times a
// power of ten, with 4 to 10 intervals, chosen so that the data fill as
// much of it as they can; of equal fills the fewer intervals. The labels
// are the plain values when they fit their room, else the values times a
// power of ten, else their distance from a round value near the low end.
AxisScale NiceAxis(double mn, double mx, bool yAxis) {
  if (mn == mx) {
    // Nothing to fill: a tenth of the value on either side.
    const double v = mn, d = v == 0 ? 1 : std::fabs(v) / 10;
    mn = std::isfinite(v - d) ? v - d : v;
    mx = std::isfinite(v + d) ? v + d : v;
  }
  const double span = mx - mn;
  // In steps: slack for data a rounding error beside a multiple of the step.
  constexpr double Slack = 1e-6;
  AxisScale a;
  double bestFill = 0, mantissa = 1;
  int exponent = 0;
  const int e0 = Decade(span) - 1;
  for (int e = e0 - 1; e <= e0 + 1; ++e) {
    for (const double m : Mantissas) {
      const double step = Decimal(m, e);
      const double kLow = std::floor(mn / step + Slack), kHigh = std::ceil(mx / step - Slack);
      const double n = kHigh - kLow;
      const double low = Decimal(kLow * m, e), high = Decimal(kHigh * m, e);
      if (!(n >= FewestIntervals && n <= MostIntervals && std::isfinite(low) && std::isfinite(high))) continue;
      const double fill = span / (n * step);
      const bool better = fill > bestFill * (1 + 1e-9);
      const bool sameButFewer = fill >= bestFill * (1 - 1e-9) && n < a.intervals;
      if (a.intervals == 0 || better || sameButFewer) {
        bestFill = fill;
        a.intervals = static_cast<std::int32_t>(n);
        a.low = low;
        a.high = high;
        mantissa = m;
        exponent = e;
      }
    }
  }
  if (a.intervals == 0) {
    // Data a few rounding errors apart, far from zero: no multiples of a
    // step fall between them, so the extremes are the ends.
    a.low = mn;
    a.high = mx;
    a.intervals = FewestIntervals;
    exponent = e0;
  }
  auto decimalsFor = [&](std::int32_t power) {
    return std::max(0, -(exponent + power) + (mantissa == 2.5 ? 1 : 0));
  };
  a.decimals = decimalsFor(0);
  if (LabelsFit(a, yAxis, LabelRoom)) return a;
  a.power = PowerFor(std::max(std::fabs(a.low), std::fabs(a.high)));
  a.decimals = decimalsFor(a.power);
  if (LabelsFit(a, yAxis, LabelRoom)) return a;
  // Far from zero beside their range: the distance from a multiple of the
  // power of ten just above the axis length.
  const int q = Decade(a.high - a.low) + 1;
  a.offset = Decimal(std::floor(Decimal(a.low, -q)), q);
  a.power = 0;
  a.decimals = decimalsFor(0);
  if (LabelsFit(a, yAxis, LabelRoom)) return a;
  a.power = PowerFor(std::max(std::fabs(a.low - a.offset), std::fabs(a.high - a.offset)));
  a.decimals = decimalsFor(a.power);
  return a;
}

// The axis of the magnitude rows where it fits the data from mn to mx.
std::optional<AxisScale> KeptAxis(double mn, double mx, bool yAxis) {
  if (!std::isfinite(mx - mn)) throw std::overflow_error(TooLarge);
  std::optional<AxisScale> rows = MagnitudeAxis(mn, mx, yAxis);
  if (rows) LimitIntervals(*rows);
  if (rows && Fits(*rows, mn, mx, yAxis)) return rows;
  return std::nullopt;
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
void Extremes(std::span<const double> v, double& low, double& high) {
  low = high = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    if (i == 0 || v[i] > high) high = v[i];
    if (i == 0 || v[i] < low) low = v[i];
  }
}

// A number as short as it reads back exactly, with an E exponent.
std::string Shortest(double v) {
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, v);
  std::string text(buf, result.ptr);
  const size_t e = text.find('e');
  if (e == std::string::npos) return text;
  return text.substr(0, e) + "E" + std::to_string(std::stoi(text.substr(e + 1)));
}

// The caption of an axis whose labels show a distance or a power.
std::string Caption(const std::string& name, const AxisScale& a) {
  std::string caption = name;
  if (a.offset != 0) caption += (a.offset > 0 ? " - " : " + ") + Shortest(std::fabs(a.offset));
  if (a.power != 0) {
    if (a.offset != 0) caption = "(" + caption + ")";
    caption += " * 1E" + std::to_string(a.power);
  }
  return caption;
}

}  // namespace

std::string TickLabel(const AxisScale& axis, double value) {
  double shown = value;
  if (axis.offset != 0) shown -= axis.offset;
  if (axis.power != 0) shown = Decimal(shown, axis.power);
  return F(shown, axis.decimals + 2, axis.decimals);
}

PreparedGraph PrepareGraph(const GraphModel& model, bool calcObs) {
  PreparedGraph p;
  p.x = calcObs ? model.yCalc : model.x;
  p.y = model.yObs;
  // The extremes come from the data themselves, so that X values all above
  // a million (dates, coordinates in metres) are scaled as they are.
  Extremes(p.x, p.xMin, p.xMax);
  Extremes(p.y, p.yMin, p.yMax);
  const std::optional<AxisScale> xKept = KeptAxis(p.xMin, p.xMax, false);
  p.xAxis = xKept ? *xKept : NiceAxis(p.xMin, p.xMax, false);

  // Very small Y values are held times a factor; a new Y axis takes them
  // as they are and shows its own power in the caption.
  p.yFactor = ChooseYFactor(p.yMin, p.yMax);
  if (const std::optional<AxisScale> yKept = KeptAxis(p.yMin * p.yFactor, p.yMax * p.yFactor, true)) {
    p.yMin *= p.yFactor;
    p.yMax *= p.yFactor;
    if (p.yFactor != 1) {
      p.scaledY.assign(p.y.begin(), p.y.end());
      for (double& y : p.scaledY) y *= p.yFactor;
      p.y = p.scaledY;
    }
    p.yAxis = *yKept;
  } else {
    if (!std::isfinite(p.yMax - p.yMin)) throw std::overflow_error(TooLarge);
    p.yFactor = 1;
    p.yAxis = NiceAxis(p.yMin, p.yMax, true);
  }

  p.xLabel = Caption(calcObs ? "Ycalc" : "X-Data", p.xAxis);
  const std::string name = calcObs ? "Yobs" : "Y-data";
  if (p.yFactor == 10) {
    p.yLabel = name + " * 10";
  } else if (p.yFactor == 100) {
    p.yLabel = name + " * 100";
  } else if (p.yAxis.offset != 0 || p.yAxis.power != 0) {
    p.yLabel = Caption(name, p.yAxis);
  } else {
    p.yLabel = calcObs ? "Yobs" : "Y-Data";
  }
  return p;
}

}  // namespace kinvalo
