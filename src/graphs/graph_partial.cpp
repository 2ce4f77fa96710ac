// The partial relation graph of a Type 3 result (horizontal, then sloping)
// or a Type 4 result (sloping, then horizontal): the function lines, the
// confidence belt around them and the confidence block of the breakpoint.
#include <cmath>
#include <string>

#include "graphs/graph_draw.h"
#include "graphs/graph_frame.h"

namespace kinvalo {

using namespace graph_detail;

namespace {

// The belt and the block lie 1.75 belt half-widths from the lines, whatever
// the chosen confidence.
constexpr double Spread = 1.75;

double Square(double v) { return v * v; }

}  // namespace

PartialGeometry ComputePartialGeometry(const GraphModel& model, const PreparedGraph& prepared,
                                       bool regressionLine, bool combined) {
  PartialGeometry geo;
  const double XMin = prepared.xMin, XMax = prepared.xMax;
  const double YMin = prepared.yMin, YMax = prepared.yMax;
  const double F = prepared.yFactor;
  const double BP = model.breakpoint;
  // Types other than 4 are drawn as Type 3: horizontal left of BP.
  const bool type4 = model.type == FunctionType::Plateau;
  const bool fitted = regressionLine;
  const FileStatistics& below = model.below;
  const FileStatistics& above = model.above;

  const double xBar = below.avX, xBar2 = above.avX;
  double yBar = F * below.avY, yBar2 = F * above.avY;
  double cL = F * model.equationSlopeBelow, cR = F * model.equationSlopeAbove;
  auto yL = [&](double x) { return yBar + cL * (x - xBar); };
  auto yR = [&](double x) { return yBar2 + cR * (x - xBar2); };

  if (fitted) {
    // The sloping side gets its own regression line, but never one that
    // slopes against all data.
    double& slope = type4 ? cL : cR;
    slope = F * (type4 ? below.slope : above.slope);
    const double slopeAll = model.all.slope;
    if ((slopeAll < 0 && slope >= 0) || (slopeAll > 0 && slope < 0)) slope = 0;
  } else if (!type4) {
    if (model.method == 1) {
      yBar = yR(BP);
    } else {
      cR = xBar2 == BP ? 10.0 : (yBar2 - yBar) / (xBar2 - BP);
    }
  } else {
    if (model.method == 1) {
      yBar2 = yL(BP);
    } else {
      cL = BP == xBar ? 10.0 : (yBar2 - yBar) / (BP - xBar);
    }
  }

  // Function lines; their ends are cut where they leave the Y range.
  geo.Q0 = {XMin, yL(XMin)};
  geo.Q1 = {BP, fitted && type4 ? yBar2 : yL(BP)};
  geo.Q2 = {XMax, yR(XMax)};
  geo.Q3 = fitted ? GraphPoint{BP, type4 ? yL(BP) : yR(BP)} : geo.Q1;
  auto cut = [&](GraphPoint& q, double c, double xc, double yc) {
    if (c == 0) return;
    if (q.y > YMax) q = {xc + (YMax - yc) / c, YMax};
    if (q.y < YMin) q = {xc + (YMin - yc) / c, YMin};
  };
  cut(geo.Q0, cL, xBar, yBar);
  cut(geo.Q2, cR, xBar2, yBar2);

  // Belt half-width: the spread of the sloping side's Y about the centre
  // of all data, from the pooled spread of X.
  const double sb = below.stDevY / 2, sa = above.stDevY / 2;
  const double N1 = below.n, N2 = above.n;
  const double SSd = type4 ? (N1 - 1) * Square(sb) : (N2 - 1) * Square(sa);
  geo.m1 = Ratio(SSd, (N1 + N2 - 1) * ((N1 - 1) * Square(below.stDevX) +
                                       (N2 - 1) * Square(above.stDevX)));
  if (!type4) {
    geo.m0 = N2 <= 1 ? Ratio(Square(sb), N1 - 1) : Ratio(Square(sa), N2 - 1);
  } else {
    geo.m0 = N1 <= 1 ? Ratio(Square(sa), N2 - 1) : Ratio(Square(sb), N1 - 1);
  }
  const double m0 = geo.m0, m1 = geo.m1;
  auto h = [&](double x) {
    const double radicand = Square(x - model.all.avX) * m1 + m0;
    if (std::isnan(radicand)) return radicand;
    return radicand > 0 ? F * std::sqrt(radicand) : 0.0;
  };
  const double k = Spread;

  // Upper belt line.
  GraphPoint& A = geo.A;
  GraphPoint& B = geo.B;
  A = {XMin, yL(XMin) + k * h(XMin)};
  B = {xBar, yBar + k * h(xBar)};
  if (A.y > YMax) {
    if (cL == 0) {
      A = B;
    } else {
      // Halfway towards the centre of the data, where the line is nearer
      // the Y range (a step to the left of XMin would leave the plot).
      A.x = XMin + (xBar - XMin) / 2;
      A.y = yL(A.x) + k * h(XMin);
    }
  }
  if (A.y < YMin) {
    if (cL == 0) {
      A = B;
    } else {
      A.x = A.x + (xBar - A.x) / 2;
      A.y = yL(A.x) + k * h(XMin);
    }
  }
  if (A.x > xBar || B.y < YMin || B.y > YMax) B = A;
  const double atBP = fitted && type4 ? yBar2 : yL(BP);
  geo.C = {BP, atBP + k * h(BP)};
  geo.Cu = {BP, geo.Q3.y + k * h(BP)};
  GraphPoint& E = geo.E;
  E = {geo.Q2.x, geo.Q2.y + k * h(geo.Q2.x)};
  if (E.y > 1.05 * YMax) {
    E = {xBar2, yBar2 + k * h(xBar2)};
    if (cR != 0) {
      E.x = xBar2 - (geo.Q2.x - xBar2) / 2;
      E.y = yR(E.x) + k * h(xBar2);
    }
  }
  if (E.y < YMin) {
    const double before = E.x;
    E = {xBar2, yBar2 + k * h(xBar2)};
    if (cR != 0) {
      E.x = xBar2 + (before - xBar2) / 2;
      E.y = yR(E.x) + k * h(xBar2);
    }
  }

  // Lower belt line; it has no point at the centre of the left side.
  GraphPoint& Fp = geo.F;
  Fp = {XMin, (type4 ? yL(XMin) : yBar) - k * h(XMin)};
  if (Fp.y < YMin) {
    Fp = {xBar, yBar - k * h(xBar)};
    if (cL != 0) {
      Fp.x = XMin + (xBar - XMin) / 2;
      Fp.y = yL(Fp.x) - k * h(xBar);
    }
  }
  if (Fp.y > YMax) {
    if (cL == 0) {
      Fp = {xBar, yBar - k * h(xBar)};
    } else {
      Fp.x = Fp.x - (xBar - Fp.x) / 2;
      Fp.y = yL(Fp.x) - k * h(xBar);
    }
  }
  geo.H = {BP, atBP - k * h(BP)};
  geo.Hl = {BP, geo.Q3.y - k * h(BP)};
  GraphPoint& K = geo.K;
  K = {geo.Q2.x, geo.Q2.y - k * h(geo.Q2.x)};
  if (K.y > YMax) {
    K = {xBar2, yBar2 - k * h(xBar2)};
    if (cR != 0) {
      K.x = xBar2 - (geo.Q2.x - xBar2) / 2;
      K.y = yR(K.x) - k * h(xBar2);
    }
  }
  if (K.y < YMin) {
    const double before = K.x;
    K = {xBar2, yBar2 - k * h(xBar2)};
    if (cR != 0) {
      K.x = xBar2 + (before - xBar2) / 2;
      K.y = yR(K.x) - k * h(xBar2);
    }
  }

  // Block of the breakpoint: its left limit and the breakpoint are kept
  // inside the data, its right limit is drawn as it is.
  const double h0 = F * std::sqrt(m0);
  GraphBlock& block = geo.Block;
  const TypeBreakpoint& own = model.Of(type4 ? FunctionType::Plateau : FunctionType::Threshold);
  block = {own.confLeft, own.breakpoint, own.confRight, 0, 0};
  const double level = type4 ? yBar2 : yBar;
  // A hair inside the data, in proportion to their range.
  const double hair = 1e-5 * (XMax - XMin);
  if (block.left < XMin) block.left = XMin + hair;
  if (block.mid > XMax) block.mid = XMax - hair;
  block.bottom = level - k * h0;
  block.top = level + k * h0;

  // The combined graph adds the block of the other type, around that
  // type's level and with its limits as read.
  // The levels are read in data units and drawn, like the data, times
  // the Y factor.
  if (combined) {
    const TypeBreakpoint& other =
        model.Of(model.type == FunctionType::Plateau ? FunctionType::Threshold : FunctionType::Plateau);
    const double otherLevel = F * other.level;
    geo.SecondBlock = {other.confRight, other.breakpoint, other.confLeft, otherLevel - k * h0,
                       otherLevel + k * h0};
  }
  return geo;
}

void graph_detail::DrawPartialGraph(const GraphModel& model, const PreparedGraph& prepared,
                                    const GraphOptions& options, Canvas& canvas) {
  const bool fitted = options.regressionLine;
  const PartialGeometry geo = ComputePartialGeometry(model, prepared, fitted, false);
  const bool type4 = model.type == FunctionType::Plateau;
  Painter p(model, prepared, options.colour, canvas);
  p.Frame({12, 3, 10, colours::Silver, 22, 450 - 45 - 8});
  p.Bullets(colours::Green, true);
  const std::string percentage = std::to_string(model.confidence.Percent());

  if (options.belt) {
    p.Font(colours::Fuchsia);
    canvas.TextOut(450, 95, percentage + "% confidence belt of");
    canvas.TextOut(450, 112, "function lines is shown");
    p.Pen(colours::Fuchsia, PenStyle::Dashed);
    // With fitted lines the belt jumps at BP between the two sides' lines.
    p.MoveTo(geo.A);
    p.LineTo(geo.B);
    if (!fitted) {
      p.LineTo(geo.C);
      p.LineTo(geo.E);
    } else if (!type4) {
      p.LineTo(geo.C);
      p.MoveTo(geo.Cu);
      p.LineTo(geo.E);
    } else {
      p.LineTo(geo.Cu);
      p.MoveTo(geo.C);
      p.LineTo(geo.E);
    }
    p.MoveTo(geo.F);
    if (!fitted) {
      p.LineTo(geo.H);
      p.LineTo(geo.K);
    } else if (!type4) {
      p.LineTo(geo.H);
      p.MoveTo(geo.Hl);
      p.LineTo(geo.K);
    } else {
      p.LineTo(geo.Hl);
      p.MoveTo(geo.H);
      p.LineTo(geo.K);
    }
    p.Pen(colours::White, PenStyle::Solid);
  }

  // Function lines: the horizontal side solid; with connecting lines the
  // sloping side dashed, with fitted lines both solid and joined at BP by
  // a dotted vertical.
  canvas.SetPenColor(p.Ink(colours::Blue));
  if (!fitted) {
    canvas.SetPenStyle(type4 ? PenStyle::Dashed : PenStyle::Solid);
    p.MoveTo(geo.Q0);
    p.LineTo(geo.Q1);
    canvas.SetPenStyle(type4 ? PenStyle::Solid : PenStyle::Dashed);
    p.LineTo(geo.Q2);
  } else {
    const GraphPoint& first = type4 ? geo.Q3 : geo.Q1;
    const GraphPoint& second = type4 ? geo.Q1 : geo.Q3;
    canvas.SetPenStyle(PenStyle::Solid);
    p.MoveTo(geo.Q0);
    p.LineTo(first);
    canvas.SetPenStyle(PenStyle::Dotted);
    p.LineTo(second);
    canvas.SetPenStyle(PenStyle::Solid);
    p.LineTo(geo.Q2);
  }
  canvas.SetPenStyle(PenStyle::Solid);

  p.Font(colours::Blue);
  const char* heading = fitted ? "Partial relations"
                        : type4 ? "Relation of Type 4"
                                : "Relation of Type 3";
  canvas.TextOut(450, 22, heading);
  p.Font(colours::White);
  canvas.TextOut(450, 42, "Break-point at X = " + Fixed(model.breakpoint, 5, 2));
  if (fitted) {
    p.Font(colours::Blue);
    canvas.TextOut(310, 42, "Expl. coeff " + Fixed(model.coefExpl, 8, 3));
  }
  if (!options.block) return;

  p.Pen(colours::Yellow, PenStyle::Solid);
  canvas.SetPenWidth(1);
  p.BlockOutline(geo.Block);
  p.Font(colours::Yellow);
  canvas.TextOut(450, 62, percentage + "% confidence block");
  canvas.TextOut(450, 77, "of break-point is shown");
}

}  // namespace kinvalo
