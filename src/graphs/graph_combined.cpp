// The combined Type 3 and 4 graph: a level up to the Type 3 breakpoint, a
// middle part up to the Type 4 breakpoint and a second level beyond it,
// with the confidence blocks of both breakpoints.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

#include "graphs/graph_draw.h"
#include "graphs/graph_frame.h"
#include "regression/side_statistics.h"

namespace kinvalo {

using namespace graph_detail;

namespace {

// CombY1, CombY2 and CoefExplCombined from the plotted data (Y in graph
// units), with the sum of squares of Y of all data as total: the side from
// the smallest X on holds them all, negative X included.
void RecomputeCombinedLine(AppState& s) {
  const std::int32_t n = s.DM.NrOfData;
  if (n < 0 || s.DM.GraphXData.size() < static_cast<size_t>(n) ||
      s.DM.GraphYData.size() < static_cast<size_t>(n)) {
    throw std::out_of_range("The graph holds fewer data sets than its count.");
  }
  const Sample data{std::span<const double>(s.DM.GraphXData.data(), static_cast<size_t>(n)),
                    std::span<const double>(s.DM.GraphYData.data(), static_cast<size_t>(n))};
  SharedResults& r = s.R;
  const double totalSSY = SplitAt(data, r.XMin)[kAbove].ssy;
  const CombinedLine line =
      ComputeCombinedLine(data, {r.BPType3, r.BPType4, r.AvYType3, r.AvYType4, totalSSY});
  if (!line.found) return;
  r.CombY1 = line.yAtBreakpointType3;
  r.CombY2 = line.yAtBreakpointType4;
  r.CoefExplCombined = line.coefExpl;
}

}  // namespace

void DrawCombinedGraph(AppState& s, Canvas& canvas) {
  s.Graph.CombinedShown = true;
  ComputePartialGeometry(s);
  if (!ReadyToDraw(s, "Graph could not be made due to absence of data variation")) return;
  const GraphState& g = s.Graph;
  const GraphGeometry& geo = g.Geo;
  SharedResults& r = s.R;
  if (g.ShowRegressionLine) RecomputeCombinedLine(s);

  Painter p(s, canvas);
  p.Frame({12, 3, 10, colours::Silver, 22, 450 - 45 - 8});
  p.Bullets(colours::Green, true);
  const std::string percentage = Percentage(r.ConfidenceFactor);
  if ((g.GraphType != 3 && g.GraphType != 4) || !g.ShowBlock) {
    s.Controls.GraphImageVisible = true;
    return;
  }

  p.Pen(colours::Yellow, PenStyle::Solid);
  p.BlockOutline(geo.Block);
  p.BlockOutline(geo.SecondBlock);

  // The breakpoint of the drawn type is the one of the file.
  if (g.GraphType == 3) r.BPType3 = g.FileBreakPoint;
  if (g.GraphType == 4) r.BPType4 = g.FileBreakPoint;
  // The levels are read in data units; the data are drawn times the Y
  // factor, and so are they.
  const double level3 = g.YFactor * r.AvYType3, level4 = g.YFactor * r.AvYType4;
  const GraphPoint start{r.XMin, level3}, corner1{r.BPType3, level3};
  const GraphPoint corner2{r.BPType4, level4}, end{r.XMax, level4};
  canvas.SetPenColor(p.Ink(colours::Blue));
  canvas.SetPenStyle(PenStyle::Solid);
  p.MoveTo(start);
  p.LineTo(corner1);
  if (!g.ShowRegressionLine) {
    canvas.SetPenStyle(PenStyle::Dashed);
    p.LineTo(corner2);
  } else {
    canvas.SetPenStyle(PenStyle::Dotted);
    p.LineTo({r.BPType3, r.CombY1});
    canvas.SetPenStyle(PenStyle::Solid);
    p.LineTo({r.BPType4, r.CombY2});
    canvas.SetPenStyle(PenStyle::Dotted);
    p.LineTo(corner2);
  }
  canvas.SetPenStyle(PenStyle::Solid);
  p.LineTo(end);

  p.Font(colours::Blue);
  canvas.TextOut(450, 22, "Combined Type 3 and 4");
  p.Font(colours::White);
  canvas.TextOut(450, 42, "Break-point 1 at X = " + Fixed(r.BPType3, 5, 2));
  canvas.TextOut(450, 57, "Break-point 2 at X = " + Fixed(r.BPType4, 5, 2));
  p.Font(colours::Blue);
  canvas.TextOut(310, 42, "Expl. coeff " + Fixed(r.CoefExplCombined, 8, 3));

  // The captions stand 15 pixels lower while the combination button reads
  // "Show best of the two".
  p.Font(colours::Yellow);
  const int top = s.Controls.ZtypeButtonCaption == "Show best of the two" ? 77 : 62;
  canvas.TextOut(450, top, percentage + "% confidence blocks");
  canvas.TextOut(450, top + 15, "of break-points are shown");
  s.Controls.GraphImageVisible = true;
}

}  // namespace kinvalo
