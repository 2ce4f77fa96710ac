#include "graphs/graph_least_squares.h"

#include "core/format.h"
#include "core/textfile.h"
#include "graphs/graph_frame.h"

namespace kinvalo {

namespace {

constexpr Rgb kInk{200, 0, 0};
constexpr int kTick = 6;  // pixels above and below the bracket's ends

bool Number(const std::vector<std::string>& tokens, size_t at, double& value) {
  return at < tokens.size() && ParseReal(tokens[at], value);
}

}  // namespace

std::optional<LeastSquaresLine> ReadLeastSquaresLine(const std::string& path, FunctionType type) {
  TextReader in;
  if (!in.Open(path)) return std::nullopt;
  const std::string section = type == FunctionType::Threshold ? " TYPE 3," : " TYPE 4,";
  LeastSquaresLine line;
  line.type = type;
  bool inSection = false;
  int found = 0;
  for (int lines = 0; !in.AtEnd() && lines < 200; ++lines) {
    const std::string text = in.ReadLine();
    if (text.starts_with(" TYPE ")) inSection = text.starts_with(section);
    if (!inSection) continue;
    const std::vector<std::string> t = SplitTokens(text, 8);
    if (text.starts_with("   Breakpoint c ")) found += Number(t, 2, line.breakpoint);
    if (text.starts_with("   Level a ")) found += Number(t, 2, line.level);
    if (text.starts_with("   Slope b ")) found += Number(t, 2, line.slope);
    if (text.starts_with("   Limits of c (")) found += Number(t, 5, line.left) && Number(t, 7, line.right);
  }
  if (found != 4 || in.Problem()) return std::nullopt;
  return line;
}

void DrawLeastSquaresLine(const LeastSquaresLine& line, const GraphModel& model, const PreparedGraph& prepared,
                          bool colour, Canvas& canvas) {
  graph_detail::Painter p(model, prepared, colour, canvas);
  const double F = prepared.yFactor;
  const double c = line.breakpoint, a = line.level, b = line.slope;
  const double xMin = prepared.xMin, xMax = prepared.xMax;
  const bool type3 = line.type == FunctionType::Threshold;
  const GraphPoint first{xMin, F * (type3 ? a : a + b * (xMin - c))};
  const GraphPoint bend{c, F * a};
  const GraphPoint last{xMax, F * (type3 ? a + b * (xMax - c) : a)};
  p.Pen(kInk, PenStyle::Dotted);
  canvas.SetPenWidth(2);
  p.Segment(first, bend);
  p.Segment(bend, last);
  canvas.SetPenWidth(1);
  p.Pen(kInk, PenStyle::Solid);
  const int y = p.Py(F * a), left = p.Px(line.left), right = p.Px(line.right);
  canvas.MoveTo(left, y - kTick);
  canvas.LineTo(left, y + kTick);
  canvas.MoveTo(left, y);
  canvas.LineTo(right, y);
  canvas.MoveTo(right, y - kTick);
  canvas.LineTo(right, y + kTick);
  p.Font(kInk);
  // Below the plot, beside the caption: no data lie there.
  canvas.TextOut(330, 450, "Least squares BP" + graph_detail::Fixed(c, 7, 2) + "  |-| " +
                               std::to_string(model.confidence.Percent()) + "% limits");
  p.Pen(colours::White, PenStyle::Solid);
}

}  // namespace kinvalo
