// The graph of a result without breakpoint (types 0 and 1) with its
// confidence belt, and the calc-obs graph of observed against calculated Y.
#include <array>
#include <cmath>
#include <string>

#include "graphs/graph_draw.h"
#include "graphs/graph_frame.h"

namespace kinvalo {

using namespace graph_detail;

RegressionGeometry ComputeRegressionBelt(GraphKind kind, const GraphModel& model,
                                         const PreparedGraph& prepared) {
  RegressionGeometry geo;
  const double XMin = prepared.xMin, XMax = prepared.xMax;
  const double YMin = prepared.yMin, YMax = prepared.yMax;
  const double F = prepared.yFactor;

  if (kind == GraphKind::CalcObs) {
    // The line of equality Yobs = Ycalc; Y is in graph units, X is not.
    geo.L1 = {XMin, F * XMin};
    if (geo.L1.y < YMin) geo.L1 = {Ratio(YMin, F), YMin};
    geo.L2 = {XMax, F * XMax};
    if (geo.L2.y > YMax) geo.L2 = {Ratio(YMax, F), YMax};
    return geo;
  }

  const FileStatistics& all = model.all;
  const double yBar = F * all.avY;
  const double xBar = all.avX;
  const double b = F * model.equationSlopeBelow;
  const double sSlope = F * all.stErrSlope;
  const double e = F * all.stDevRes;
  const double rootN = std::sqrt(static_cast<double>(prepared.size()));

  // The point at x on the line through the centre with slope c, and the
  // point where that line reaches the height `limit`.
  auto on = [&](double c, double x) { return GraphPoint{x, yBar + c * (x - xBar)}; };
  auto reaching = [&](double c, double limit) {
    return GraphPoint{xBar + Ratio(limit - yBar, c), limit};
  };

  if (model.type == FunctionType::NoRelation) {
    geo.L1 = {XMin, yBar};
    geo.L2 = {XMax, yBar};
  } else {
    geo.L1 = on(b, XMin);
    geo.L2 = on(b, XMax);
    if (b != 0) {
      if (geo.L1.y > YMax) geo.L1 = reaching(b, YMax);
      if (geo.L2.y > YMax) geo.L2 = reaching(b, YMax);
      if (geo.L1.y < YMin) geo.L1 = reaching(b, YMin);
      if (geo.L2.y < YMin) geo.L2 = reaching(b, YMin);
    }
  }

  // The belt is built from the steep and the shallow line at a fixed 1.75
  // standard errors of the slope: it does not widen with the chosen
  // confidence, only its caption follows it.
  const double b1 = b + 1.75 * sSlope;
  const double b2 = b - 1.75 * sSlope;
  const double d = Ratio(1.4 * e, rootN);
  const double u = Ratio(1.75 * e, rootN);
  const double w = 0.2 * (XMax - XMin);
  // Where the steep or shallow line leaves the centre line by 1.75 d.
  auto apart = [&](double c, double sign) {
    return c - b == 0 ? xBar : xBar + sign * 1.75 * d / (c - b);
  };

  std::array<GraphPoint, 12>& P = geo.P;
  P[0] = on(b2, XMin);
  if (P[0].y > YMax) P[0] = reaching(b2, YMax);
  P[1] = on(b2, apart(b2, 1));
  if (P[1].x < XMin) P[1] = P[0];
  P[2] = on(b1, apart(b1, 1));
  P[3] = on(b1, XMax);
  if (P[3].y > YMax) P[3] = reaching(b1, YMax);
  if (P[2].x > XMax) P[2] = P[3];
  P[4] = on(b1, XMin);
  if (P[4].y < YMin) P[4] = reaching(b1, YMin);
  P[5] = on(b1, apart(b1, -1));
  if (P[5].x < XMin) P[5] = P[4];
  P[6] = on(b2, apart(b2, -1));
  P[7] = on(b2, XMax);
  if (P[7].y < YMin) P[7] = reaching(b2, YMin);
  if (P[6].x > XMax) P[6] = P[7];

  P[8].x = xBar - w < P[1].x ? (xBar + P[1].x) / 2 : xBar - w;
  P[8].y = yBar + b * (P[8].x - xBar) + u;
  P[9].x = xBar + w > P[2].x ? (xBar + P[2].x) / 2 : xBar + w;
  P[9].y = yBar + b * (P[9].x - xBar) + u;
  P[10].x = P[8].x < P[5].x ? (xBar + P[5].x) / 2 : P[8].x;
  P[10].y = yBar + b * (P[10].x - xBar) - u;
  P[11].x = P[9].x > P[6].x ? (xBar + P[6].x) / 2 : P[9].x;
  P[11].y = yBar + b * (P[11].x - xBar) - u;
  return geo;
}

void graph_detail::DrawRegressionGraph(GraphKind kind, const GraphModel& model, const PreparedGraph& prepared,
                         const GraphOptions& options, Canvas& canvas) {
  const RegressionGeometry geo = ComputeRegressionBelt(kind, model, prepared);
  const bool regression = kind == GraphKind::Regression;
  Painter p(model, prepared, options.colour, canvas);
  p.Frame({10, 5, 8, colours::Blue, 20, 605 - 45});
  p.Bullets(colours::Aqua, false);
  canvas.SetFontSize(8);

  if (regression && options.belt) {
    p.Pen(colours::Yellow, PenStyle::Dashed);
    static constexpr int Upper[] = {0, 1, 8, 9, 2, 3};
    static constexpr int Lower[] = {4, 5, 10, 11, 6, 7};
    for (const auto* line : {Upper, Lower}) {
      for (int i = 0; i + 1 < 6; ++i) p.Segment(geo.P.at(line[i]), geo.P.at(line[i + 1]));
    }
    p.Font(colours::Yellow);
    canvas.TextOut(400, 50, std::to_string(model.confidence.Percent()) + "% confidence belt is shown");
  }
  // Many data sets hide a thin line.
  if (prepared.size() > 150) canvas.SetPenWidth(2);

  if (regression) {
    p.Pen(colours::White, PenStyle::Solid);
    const int x1 = p.Px(geo.L1.x), y1 = p.Py(geo.L1.y);
    const int x2 = p.Px(geo.L2.x), y2 = p.PyNotBelowAxis(geo.L2.y);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
    p.Font(colours::Aqua);
    if (model.type == FunctionType::NoRelation) canvas.TextOut(400, 35, "Type 0, breakpoint absent");
    if (model.type == FunctionType::StraightLine) canvas.TextOut(400, 35, "Type 1, breakpoint absent");
  } else {
    p.Segment(geo.L1, geo.L2);
    p.Font(colours::Aqua);
    canvas.TextOut(440, 35, "Yobs versus Ycalc");
  }
}

}  // namespace kinvalo
