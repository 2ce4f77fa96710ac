#pragma once
// Preparation of a graph: which arrays are plotted, the data extremes, the
// Y factor for very small values, the axis ends and ticks, the captions.
// Called in this order: SelectGraphData, ScaleAxes, SetAxisLabels.
#include "data/app_state.h"

namespace kinvalo {

void SelectGraphData(AppState& s);
// Runs once per filling of GraphYData: it multiplies GraphYData by YFactor
// in place. Throws std::overflow_error when an axis end does not fit a
// 32-bit integer.
void ScaleAxes(AppState& s);
void SetAxisLabels(AppState& s);

}  // namespace kinvalo
