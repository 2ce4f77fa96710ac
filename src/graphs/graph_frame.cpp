#include "graphs/graph_frame.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/format.h"

namespace kinvalo::graph_detail {

namespace {

constexpr const char* TooFarOutside =
    "The graph could not be drawn: a value lies too far outside the axes.";
constexpr const char* AxisWithoutLength =
    "The graph could not be drawn: an axis has the same value at both ends.";

// A pixel coordinate that the canvas can take, or a refused graph.
int Pixel(double v) {
  if (!std::isfinite(v) || v < std::numeric_limits<std::int32_t>::min() ||
      v > std::numeric_limits<std::int32_t>::max()) {
    throw GraphRefused(TooFarOutside);
  }
  return static_cast<int>(v);
}

// Rounding to the nearest integer, halves to the even neighbour.
double Round(double v) { return std::nearbyint(v); }

double Span(double low, double high) {
  const double span = high - low;
  if (span == 0) throw GraphRefused(AxisWithoutLength);
  return span;
}

}  // namespace

std::string Fixed(double value, int width, int decimals) {
  if (!std::isfinite(value)) throw GraphRefused(TooFarOutside);
  return F(value, width, decimals);
}

namespace {

std::string Label(const AxisScale& axis, double value) {
  if (!std::isfinite(value)) throw GraphRefused(TooFarOutside);
  return TickLabel(axis, value);
}

}  // namespace

Rgb Painter::Ink(Rgb colour) const { return colour_ ? colour : colours::Black; }

int Painter::Px(double x) const {
  const AxisScale& a = p_.xAxis;
  const double span = Span(a.low, a.high);
  return Pixel(Round((x - a.low) * PlotWidth / span) + 70.0);
}

int Painter::Py(double y) const {
  const AxisScale& a = p_.yAxis;
  const double span = Span(a.low, a.high);
  return Pixel(400.0 - Round((y - a.low) * PlotHeight / span));
}

int Painter::PyNotBelowAxis(double y) const {
  const AxisScale& a = p_.yAxis;
  const double span = Span(a.low, a.high);
  double v = (y - a.low) * PlotHeight / span;
  if (v < 0) v = 0;
  return Pixel(400.0 - Round(v));
}

int Painter::PxGuarded(double x) const {
  const AxisScale& a = p_.xAxis;
  if (a.high == a.low) return Pixel(Round(x - a.low) + 70.0);
  return Px(x);
}

int Painter::PyGuarded(double y) const {
  const AxisScale& a = p_.yAxis;
  if (a.high == a.low) return Pixel(400.0 - Round(y - a.low));
  return Py(y);
}

void Painter::Pen(Rgb colour, PenStyle style) {
  canvas.SetPenColor(Ink(colour));
  canvas.SetPenStyle(style);
}

void Painter::Font(Rgb colour) { canvas.SetFontColor(Ink(colour)); }

void Painter::MoveTo(GraphPoint p) {
  const int x = Px(p.x);
  const int y = Py(p.y);
  canvas.MoveTo(x, y);
}

void Painter::LineTo(GraphPoint p) {
  const int x = Px(p.x);
  const int y = Py(p.y);
  canvas.LineTo(x, y);
}

void Painter::Segment(GraphPoint a, GraphPoint b) {
  const int x1 = Px(a.x), y1 = Py(a.y), x2 = Px(b.x), y2 = Py(b.y);
  canvas.MoveTo(x1, y1);
  canvas.LineTo(x2, y2);
}

namespace {

// A title longer than its room loses its end, marked "...", so that it
// never runs under the captions beside it or off the picture.
std::string Fitted(Canvas& canvas, const std::string& text, int room) {
  if (canvas.TextWidth(text) <= room) return text;
  std::string cut = text;
  while (!cut.empty()) {
    // Drop one whole UTF-8 character.
    size_t end = cut.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(cut[end]) & 0xC0) == 0x80) --end;
    cut.erase(end);
    if (canvas.TextWidth(cut + "...") <= room) break;
  }
  return cut + "...";
}

}  // namespace

void Painter::Frame(const FrameLayout& layout) {
  const AxisScale& xa = p_.xAxis;
  const AxisScale& ya = p_.yAxis;
  if (ya.intervals <= 0 || xa.intervals <= 0) throw GraphRefused(AxisWithoutLength);
  canvas.SetFontName(FontName);
  canvas.SetFontSize(layout.titleSize);
  canvas.SetFontColor(colours::Black);
  canvas.SetBrushColor(colours::Silver);
  canvas.FillRect(0, 0, PictureWidth, PictureHeight);
  canvas.TextOut(45, layout.title1Y, Fitted(canvas, model_.title1, 605 - 45));
  canvas.SetFontSize(layout.textSize);
  canvas.TextOut(20, 450, ProgramCaption);
  canvas.SetBrushColor(colour_ ? layout.plotColour : colours::White);
  canvas.FillRect(20, 19, 605, 445);
  Font(colours::White);
  Pen(colours::White, PenStyle::Solid);
  canvas.SetPenWidth(1);
  canvas.TextOut(45, layout.title2Y, Fitted(canvas, model_.title2, layout.title2Width));
  canvas.MoveTo(70, 400);
  canvas.LineTo(70, 80);
  canvas.MoveTo(70, 400);
  canvas.LineTo(570, 400);
  // A caption longer than the plain ones ends where they would at the most.
  canvas.TextOut(std::min(515, 600 - canvas.TextWidth(p_.xLabel)), 425, p_.xLabel);
  canvas.TextOut(70, 50, p_.yLabel);

  // The labels of the Y axis run from the top down.
  for (std::int32_t i = 0; i <= ya.intervals; ++i) {
    const double fraction = static_cast<double>(i) / ya.intervals;
    const int t = Pixel(Round(fraction * PlotHeight + 80));
    canvas.MoveTo(70, t);
    canvas.LineTo(66, t);
    const std::string label = Label(ya, ya.FromHigh(i));
    const int x = 70 - canvas.TextWidth(label) - 6;
    const int y = t - Pixel(Round(canvas.TextHeight(label) * 0.5));
    canvas.TextOut(x, y, label);
  }
  for (std::int32_t i = 0; i <= xa.intervals; ++i) {
    const double fraction = static_cast<double>(i) / xa.intervals;
    const int t = Pixel(Round(fraction * PlotWidth + 70));
    canvas.MoveTo(t, 400);
    canvas.LineTo(t, 404);
    canvas.TextOut(Pixel(Round(fraction * PlotWidth + 62)), 412, Label(xa, xa.FromLow(i)));
  }
}

void Painter::Bullets(Rgb colour, bool guardDegenerateAxes) {
  Font(colour);
  canvas.SetFontSize(10);
  for (std::int32_t k = 0; k < p_.size(); ++k) {
    const double x = p_.x[static_cast<size_t>(k)];
    const double y = p_.y[static_cast<size_t>(k)];
    const int px = guardDegenerateAxes ? PxGuarded(x) : Px(x);
    const int py = guardDegenerateAxes ? PyGuarded(y) : Py(y);
    canvas.TextOut(px, Pixel(static_cast<double>(py) - 8), Bullet);
  }
}

void Painter::BlockOutline(const GraphBlock& block) {
  const int xl = Px(block.left), xm = Px(block.mid), xr = Px(block.right);
  const int yb = Py(block.bottom), yt = Py(block.top);
  canvas.MoveTo(xm, yb);
  canvas.LineTo(xl, yb);
  canvas.LineTo(xl, yt);
  canvas.LineTo(xm, yt);
  canvas.LineTo(xr, yt);
  canvas.LineTo(xr, yb);
  canvas.LineTo(xm, yb);
}

}  // namespace kinvalo::graph_detail
