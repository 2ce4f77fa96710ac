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

void ComputePartialGeometry(AppState& s) {
  GraphState& g = s.Graph;
  GraphGeometry& geo = g.Geo;
  const SharedResults& r = s.R;
  const double XMin = r.XMin, XMax = r.XMax, YMin = g.YMin, YMax = g.YMax;
  const double F = g.YFactor;
  const double BP = g.FileBreakPoint;
  // Types other than 4 are drawn as Type 3: horizontal left of BP.
  const bool type4 = g.GraphType == 4;
  const bool fitted = g.ShowRegressionLine;

  const double xBar = g.GraphAvX, xBar2 = g.GraphAvX2;
  double yBar = F * g.GraphAvY, yBar2 = F * g.GraphAvY2;
  double cL = F * g.FileSlopeA, cR = F * g.FileSlopeAg;
  auto yL = [&](double x) { return yBar + cL * (x - xBar); };
  auto yR = [&](double x) { return yBar2 + cR * (x - xBar2); };

  if (fitted) {
    // The sloping side gets its own regression line, but never one that
    // slopes against all data.
    double& slope = type4 ? cL : cR;
    slope = F * (type4 ? g.SlopeBelow : g.SlopeAbove);
    if ((r.SlopeAllGraph < 0 && slope >= 0) || (r.SlopeAllGraph > 0 && slope < 0)) slope = 0;
  } else if (!type4) {
    if (g.FileMethod == 1) {
      yBar = yR(BP);
    } else {
      cR = xBar2 == BP ? 10.0 : (yBar2 - yBar) / (xBar2 - BP);
    }
  } else {
    if (g.FileMethod == 1) {
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
  const double sb = g.StDevYBelow / 2, sa = g.StDevYAbove / 2;
  const double N1 = g.GraphN, N2 = g.GraphN2;
  const double SSd = type4 ? (N1 - 1) * Square(sb) : (N2 - 1) * Square(sa);
  geo.m1 = Ratio(SSd, (N1 + N2 - 1) * ((N1 - 1) * Square(g.StDevXBelow) +
                                       (N2 - 1) * Square(g.StDevXAbove)));
  if (!type4) {
    geo.m0 = N2 <= 1 ? Ratio(Square(sb), N1 - 1) : Ratio(Square(sa), N2 - 1);
  } else {
    geo.m0 = N1 <= 1 ? Ratio(Square(sa), N2 - 1) : Ratio(Square(sb), N1 - 1);
  }
  const double m0 = geo.m0, m1 = geo.m1;
  auto h = [&](double x) {
    const double radicand = Square(x - g.AvXAll) * m1 + m0;
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
  double level = 0;
  if (!type4) {
    block = {r.ConfBPLeftType3, r.BPType3, r.ConfBPRightType3, 0, 0};
    level = yBar;
  } else {
    block = {r.ConfBPLeftType4, r.BPType4, r.ConfBPRightType4, 0, 0};
    level = yBar2;
  }
  if (block.left < XMin) block.left = XMin + 0.001;
  if (block.mid > XMax) block.mid = XMax - 0.001;
  block.bottom = level - k * h0;
  block.top = level + k * h0;

  // The combined graph adds the block of the other type, around that
  // type's level and with its limits as read.
  // The levels are read in data units and drawn, like the data, times
  // the Y factor.
  geo.SecondBlock = {};
  if (g.CombinedShown) {
    if (g.FileType == 4) {
      const double other = F * r.AvYType3;
      geo.SecondBlock = {r.ConfBPRightType3, r.BPType3, r.ConfBPLeftType3, other - k * h0,
                         other + k * h0};
    } else {
      const double other = F * r.AvYType4;
      geo.SecondBlock = {r.ConfBPRightType4, r.BPType4, r.ConfBPLeftType4, other - k * h0,
                         other + k * h0};
    }
  }
}

void DrawPartialGraph(AppState& s, Canvas& canvas) {
  ComputePartialGeometry(s);
  if (!ReadyToDraw(s, "Graph could not be made due to absence of data variation")) return;
  const GraphState& g = s.Graph;
  const GraphGeometry& geo = g.Geo;
  const bool type4 = g.GraphType == 4;
  const bool fitted = g.ShowRegressionLine;
  Painter p(s, canvas);
  p.Frame({12, 3, 10, colours::Silver, 22, 450 - 45 - 8});
  p.Bullets(colours::Green, true);
  const std::string percentage = Percentage(s.R.ConfidenceFactor);

  if (g.ShowBelt) {
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
  canvas.TextOut(450, 42, "Break-point at X = " + Fixed(g.FileBreakPoint, 5, 2));
  if (fitted) {
    p.Font(colours::Blue);
    canvas.TextOut(310, 42, "Expl. coeff " + Fixed(g.FileCoefExpl, 8, 3));
  }
  if (!g.ShowBlock) {
    s.Controls.GraphImageVisible = true;
    return;
  }

  p.Pen(colours::Yellow, PenStyle::Solid);
  canvas.SetPenWidth(1);
  p.BlockOutline(geo.Block);
  p.Font(colours::Yellow);
  canvas.TextOut(450, 62, percentage + "% confidence block");
  canvas.TextOut(450, 77, "of break-point is shown");
  s.Controls.GraphImageVisible = true;
}

}  // namespace kinvalo
