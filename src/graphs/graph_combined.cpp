// The combined Type 3 and 4 graph: a level up to the Type 3 breakpoint, a
// middle part up to the Type 4 breakpoint and a second level beyond it,
// with the confidence blocks of both breakpoints.
#include <string>

#include "graphs/graph_draw.h"
#include "graphs/graph_frame.h"
#include "regression/side_statistics.h"

namespace kinvalo {

using namespace graph_detail;

namespace {

// The Y of the middle part at both breakpoints and its coefficient of
// explanation, from the plotted data (Y in graph units) with the sum of
// squares of Y of all data as total: the side from the smallest X on holds
// them all, negative X included. Data with a single X value between the
// breakpoints give no middle line: then the file's coefficient stands and
// the middle part runs at 0.
CombinedLine MiddleLine(const GraphModel& model, const PreparedGraph& prepared) {
  const Sample plotted{prepared.x, prepared.y};
  const double totalSSY = SplitAt(plotted, prepared.xMin)[kAbove].ssy;
  CombinedLine line = ComputeCombinedLine(
      plotted, {model.type3.breakpoint, model.type4.breakpoint, model.type3.level, model.type4.level, totalSSY});
  if (!line.found) line.coefExpl = model.centralCoefExpl;
  return line;
}

}  // namespace

void graph_detail::DrawCombinedGraph(const GraphModel& model, const PreparedGraph& prepared,
                                     const GraphOptions& options, Canvas& canvas) {
  const bool fitted = options.regressionLine;
  const PartialGeometry geo = ComputePartialGeometry(model, prepared, fitted, true);
  CombinedLine middle;
  middle.coefExpl = model.centralCoefExpl;
  if (fitted) middle = MiddleLine(model, prepared);

  Painter p(model, prepared, options.colour, canvas);
  p.Frame({12, 3, 10, colours::Silver, 22, 450 - 45 - 8});
  p.Bullets(colours::Green, true);
  const std::string percentage = std::to_string(model.confidence.Percent());
  if (!HasHorizontalSegment(model.type) || !options.block) return;

  p.Pen(colours::Yellow, PenStyle::Solid);
  p.BlockOutline(geo.Block);
  p.BlockOutline(geo.SecondBlock);

  // The breakpoint of the drawn type is the one of the file.
  const bool type3 = model.type == FunctionType::Threshold;
  const double bp3 = type3 ? model.breakpoint : model.type3.breakpoint;
  const double bp4 = type3 ? model.type4.breakpoint : model.breakpoint;
  // The levels are read in data units; the data are drawn times the Y
  // factor, and so are they.
  const double level3 = prepared.yFactor * model.type3.level, level4 = prepared.yFactor * model.type4.level;
  const GraphPoint start{prepared.xMin, level3}, corner1{bp3, level3};
  const GraphPoint corner2{bp4, level4}, end{prepared.xMax, level4};
  canvas.SetPenColor(p.Ink(colours::Blue));
  canvas.SetPenStyle(PenStyle::Solid);
  p.MoveTo(start);
  p.LineTo(corner1);
  if (!fitted) {
    canvas.SetPenStyle(PenStyle::Dashed);
    p.LineTo(corner2);
  } else {
    canvas.SetPenStyle(PenStyle::Dotted);
    p.LineTo({bp3, middle.yAtBreakpointType3});
    canvas.SetPenStyle(PenStyle::Solid);
    p.LineTo({bp4, middle.yAtBreakpointType4});
    canvas.SetPenStyle(PenStyle::Dotted);
    p.LineTo(corner2);
  }
  canvas.SetPenStyle(PenStyle::Solid);
  p.LineTo(end);

  p.Font(colours::Blue);
  canvas.TextOut(450, 22, "Combined Type 3 and 4");
  p.Font(colours::White);
  canvas.TextOut(450, 42, "Break-point 1 at X = " + Fixed(bp3, 5, 2));
  canvas.TextOut(450, 57, "Break-point 2 at X = " + Fixed(bp4, 5, 2));
  p.Font(colours::Blue);
  canvas.TextOut(310, 42, "Expl. coeff " + Fixed(middle.coefExpl, 8, 3));

  // Below the second breakpoint's line, 15 pixels lower than the single
  // block's caption of the partial graph.
  p.Font(colours::Yellow);
  canvas.TextOut(450, 77, percentage + "% confidence blocks");
  canvas.TextOut(450, 92, "of break-points are shown");
}

}  // namespace kinvalo
