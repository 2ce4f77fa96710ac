#pragma once
// The least-squares broken line of a Type 3 or Type 4 result and the
// confidence limits of its breakpoint, drawn over the partial graph. They
// are read back from the least-squares report (.lsq) beside the output
// file, as the graph itself is read from the .out.
#include <optional>
#include <string>

#include "data/graph_model.h"
#include "graphs/canvas.h"
#include "graphs/graph_prep.h"

namespace kinvalo {

struct LeastSquaresLine {
  FunctionType type = FunctionType::Threshold;
  double breakpoint = 0, level = 0, slope = 0;
  double left = 0, right = 0;  // the outer confidence limits of the breakpoint
};

// The broken line of `type` in the report at `path`; none when the file
// cannot be read or holds no fit of that type.
std::optional<LeastSquaresLine> ReadLeastSquaresLine(const std::string& path, FunctionType type);

// Over a partial graph already drawn: the broken line across the data,
// dotted, and the limits as a bracket on the level of the horizontal side
// (a line with a tick at each end), in red, or black in black and white.
void DrawLeastSquaresLine(const LeastSquaresLine& line, const GraphModel& model, const PreparedGraph& prepared,
                          bool colour, Canvas& canvas);

}  // namespace kinvalo
