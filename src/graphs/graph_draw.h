#pragma once
// The three kinds of graph, drawn from the graph unit's state after the
// output file has been read back and the graph prepared (SelectGraphData,
// ScaleAxes, SetAxisLabels). Each Compute routine places the lines, belts
// and blocks in graph units (GraphState::Geo); each Draw routine runs its
// Compute routine and paints on the canvas, reading the display options of
// GraphState and the window controls of AppState::Controls.
#include <stdexcept>
#include <string>

#include "data/app_state.h"
#include "graphs/canvas.h"

namespace kinvalo {

// A graph that cannot be put on the picture: a pixel coordinate outside the
// 32-bit range or a value that is not a finite number. The commands show
// its text and draw nothing more.
class GraphRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The graph without breakpoint (types 0 and 1) and the calc-obs graph.
void ComputeRegressionBelt(AppState& s);
void DrawRegressionGraph(AppState& s, Canvas& canvas);

// The partial relation graph of a Type 3 or Type 4 result.
void ComputePartialGeometry(AppState& s);
void DrawPartialGraph(AppState& s, Canvas& canvas);

// One line through both breakpoints of a result with both types.
void DrawCombinedGraph(AppState& s, Canvas& canvas);

}  // namespace kinvalo
