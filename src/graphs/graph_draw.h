#pragma once
// The four kinds of graph, drawn from a model read back from the output
// file and a graph prepared from it. Each Compute routine places the
// lines, belts and blocks in graph units (X as data, Y times the Y
// factor); DrawGraph runs it and paints on the canvas.
#include <array>
#include <optional>
#include <stdexcept>
#include <string>

#include "data/graph_model.h"
#include "graphs/canvas.h"
#include "graphs/graph_prep.h"

namespace kinvalo {

// A graph that cannot be put on the picture: a pixel coordinate outside the
// 32-bit range or a value that is not a finite number. DrawGraph returns
// its text as the message and draws nothing more.
class GraphRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class GraphKind : std::uint8_t {
  Regression,  // a result without breakpoint (Types 0 and 1)
  CalcObs,     // observed against calculated Y
  Partial,     // the relation of a result with a breakpoint
  Combined,    // one line through the breakpoints of both types
};

// The kind the options ask of the model; none for Type 2.
std::optional<GraphKind> KindOfGraph(const GraphModel& model, const GraphOptions& options);

struct DrawOutcome {
  bool drawn = false;   // the picture holds the whole graph
  std::string message;  // to show; empty when none
};

// Draws `kind` on a fresh canvas. Not drawn, with the message, when the
// data have no variation or the graph does not fit the picture. The
// confidence help goes with every graph drawn.
DrawOutcome DrawGraph(GraphKind kind, const GraphModel& model, const PreparedGraph& prepared,
                      const GraphOptions& options, Canvas& canvas);

struct GraphPoint {
  double x = 0, y = 0;
};

// A confidence block around a breakpoint.
struct GraphBlock {
  double left = 0, mid = 0, right = 0, bottom = 0, top = 0;
};

// The regression line L1-L2 with its belt P0..P11, or the line of
// equality of the calc-obs graph.
struct RegressionGeometry {
  GraphPoint L1, L2;
  std::array<GraphPoint, 12> P{};
};
RegressionGeometry ComputeRegressionBelt(GraphKind kind, const GraphModel& model,
                                         const PreparedGraph& prepared);

// The function lines Q0-Q1-Q2 (Q3 at the breakpoint of the fitted
// sloping side), the upper belt A-B-C(Cu)-E, the lower belt F-H(Hl)-K, the
// block of the result's own type and, for the combined graph, the block
// of the other type.
struct PartialGeometry {
  GraphPoint Q0, Q1, Q2, Q3;
  GraphPoint A, B, C, Cu, E, F, H, Hl, K;
  GraphBlock Block;
  GraphBlock SecondBlock;
  double m0 = 0, m1 = 0;  // belt terms
};
PartialGeometry ComputePartialGeometry(const GraphModel& model, const PreparedGraph& prepared,
                                       bool regressionLine, bool combined);

}  // namespace kinvalo
