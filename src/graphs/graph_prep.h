#pragma once
// Preparation of a graph: which values are plotted, the data extremes, the
// Y factor for very small values, the axis ends and ticks, the captions.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/graph_model.h"

namespace kinvalo {

// The ends of one axis, its number of intervals and the decimals of its
// tick labels. A tick label shows (value - offset) * 10^power; both stay 0
// unless the plain values would not fit the room of a label, and the axis
// caption then names them.
struct AxisScale {
  double low = 0, high = 0;
  std::int32_t intervals = 0, decimals = 0;
  double offset = 0;
  std::int32_t power = 0;

  // The value of the i-th tick counted from the low end (X) or from the
  // high end (Y), as the frame places and labels them.
  double FromLow(std::int32_t i) const { return low + ((high - low) * i) / intervals; }
  double FromHigh(std::int32_t i) const { return high - (i * (high - low)) / intervals; }
};

// The label of a tick at `value`: "%<decimals + 2>.<decimals>f" of the value
// as the axis shows it. `value` must be finite.
std::string TickLabel(const AxisScale& axis, double value);

struct PreparedGraph {
  PreparedGraph() = default;
  // The points may lie in the graph itself (scaledY): a copy would see
  // those of the original.
  PreparedGraph(const PreparedGraph&) = delete;
  PreparedGraph& operator=(const PreparedGraph&) = delete;
  PreparedGraph(PreparedGraph&&) = default;
  PreparedGraph& operator=(PreparedGraph&&) = default;

  // The plotted points: X and Y, or (calc-obs) Ycalc and Y; Y times yFactor.
  // They are those of the model the graph was prepared from, which must
  // outlive it, but for Y times a factor other than 1, held in scaledY.
  std::span<const double> x, y;
  std::vector<double> scaledY;
  double xMin = 0, xMax = 0;
  double yMin = 0, yMax = 0;  // times yFactor
  std::int32_t yFactor = 1;   // 1, 10, 100 or 1000
  AxisScale xAxis, yAxis;
  std::string xLabel, yLabel;

  std::int32_t size() const { return static_cast<std::int32_t>(x.size()); }
};

// The graph of `model`, or with `calcObs` of its observed against its
// calculated Y, pointing into `model`. Throws std::overflow_error when the
// data are not finite numbers or too far apart for an axis.
PreparedGraph PrepareGraph(const GraphModel& model, bool calcObs);

}  // namespace kinvalo
