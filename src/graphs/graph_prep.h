#pragma once
// Preparation of a graph: which values are plotted, the data extremes, the
// Y factor for very small values, the axis ends and ticks, the captions.
#include <cstdint>
#include <string>
#include <vector>

#include "data/graph_model.h"

namespace kinvalo {


// The ends of one axis in whole units, its number of intervals and the
// decimals of its tick labels.
struct AxisScale {
  std::int32_t low = 0, high = 0, intervals = 0, decimals = 0;
};

struct PreparedGraph {
  // The plotted points: X and Y, or (calc-obs) Ycalc and Y; Y times yFactor.
  std::vector<double> x, y;
  double xMin = 0, xMax = 0;
  double yMin = 0, yMax = 0;  // times yFactor
  std::int32_t yFactor = 1;   // 1, 10, 100 or 1000
  AxisScale xAxis, yAxis;
  std::string xLabel, yLabel;

  std::int32_t size() const { return static_cast<std::int32_t>(x.size()); }
};

// The graph of `model`, or with `calcObs` of its observed against its
// calculated Y. Throws std::overflow_error when an axis end does not fit a
// 32-bit integer.
PreparedGraph PrepareGraph(const GraphModel& model, bool calcObs);

}  // namespace kinvalo
