#pragma once
// What the three graph kinds share: the pixel mapping, the frame with its
// axes, ticks and tick labels, the data bullets and the outline of a
// confidence block. Every pixel passes through one check, so that a value
// too far outside the axes, or one that is not a number, refuses the graph
// instead of reaching the canvas.
#include <limits>
#include <string>

#include "graphs/canvas.h"
#include "graphs/graph_draw.h"

namespace kinvalo::graph_detail {

inline constexpr const char* FontName = "Arial";
// The one-line caption at the foot of every graph.
inline constexpr const char* ProgramCaption = "Graph drawn by Kinvalo partial regression analysis";
inline constexpr const char* Bullet = "\u2022";

// a / b, or not a number when b is 0: a geometry value that cannot be
// computed refuses the graph when it is drawn, and only then.
inline double Ratio(double a, double b) {
  return b == 0 ? std::numeric_limits<double>::quiet_NaN() : a / b;
}

// The plot area: x from 70 to 70 + PlotWidth, y from 400 up to 400 - PlotHeight.
inline constexpr int PlotWidth = 500;
inline constexpr int PlotHeight = 320;

// The message of a graph of data without variation in X or Y.
inline constexpr const char* NoDataVariation = "Graph could not be made due to absence of data variation";
inline constexpr const char* NoData = "Graph could not be made due to absence of data";

// Without variation in X or Y (XMax = XMin or YMax = YMin) nothing can be
// drawn.
inline bool HasVariation(const PreparedGraph& p) { return p.xMax != p.xMin && p.yMax != p.yMin; }

// A number as "%<width>.<decimals>f" with a point, whatever the locale;
// refuses the graph for a value that is not a finite number.
std::string Fixed(double value, int width, int decimals);

// The look of the frame: the regression graph and the partial graphs differ
// in their font sizes, title positions and plot background.
struct FrameLayout {
  int titleSize;      // font size of Title1
  int title1Y;        // Title1 at (45, title1Y)
  int textSize;       // caption line, Title2, axis captions and tick labels
  Rgb plotColour;     // plot background in colour; white in black-and-white
  int title2Y;        // Title2 at (45, title2Y)
  int title2Width;    // room for Title2 before the captions at its right
};

class Painter {
 public:
  Painter(const GraphModel& model, const PreparedGraph& prepared, bool colour, Canvas& target)
      : canvas(target), model_(model), p_(prepared), colour_(colour) {}

  // The colour in a colour graph, black in black-and-white.
  Rgb Ink(Rgb colour) const;

  // The pixel mapping of the plot area (x 70 to 570, y 400 up to 80).
  int Px(double x) const;
  int Py(double y) const;
  // The same, but an axis whose ends coincide maps its offset unscaled.
  int PxGuarded(double x) const;
  int PyGuarded(double y) const;
  // py of a point, but one below the low end of the Y axis at the axis.
  int PyNotBelowAxis(double y) const;

  void Pen(Rgb colour, PenStyle style);
  void Font(Rgb colour);
  void MoveTo(GraphPoint p);
  void LineTo(GraphPoint p);
  void Segment(GraphPoint a, GraphPoint b);

  const PreparedGraph& prepared() const { return p_; }

  // Frame, background, titles, axes, axis captions, ticks and tick labels;
  // leaves the pen solid, white or black, 1 pixel wide.
  void Frame(const FrameLayout& layout);
  // A bullet for every data set, its text origin 8 pixels above the point.
  void Bullets(Rgb colour, bool guardDegenerateAxes);
  // The block as six segments, from the breakpoint along the bottom to the
  // left limit, up, along the top to the right limit, down and back.
  void BlockOutline(const GraphBlock& block);

  Canvas& canvas;

 private:
  const GraphModel& model_;
  const PreparedGraph& p_;
  bool colour_;
};

// The kinds of graph on a fresh canvas; the caller has checked the data
// for variation.
void DrawRegressionGraph(GraphKind kind, const GraphModel& model, const PreparedGraph& prepared,
                         const GraphOptions& options, Canvas& canvas);
void DrawPartialGraph(const GraphModel& model, const PreparedGraph& prepared,
                      const GraphOptions& options, Canvas& canvas);
void DrawCombinedGraph(const GraphModel& model, const PreparedGraph& prepared,
                       const GraphOptions& options, Canvas& canvas);

}  // namespace kinvalo::graph_detail
