#include "graphs/graph_draw.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "graphs/graph_prep.h"
#include "support/recording_canvas.h"
#include "support/scripted_platform.h"

namespace kinvalo {
namespace {

namespace c = colours;
using test::SegmentOp;
using test::TextOp;
using Strings = std::vector<std::string>;
constexpr PenStyle Solid = PenStyle::Solid, Dashed = PenStyle::Dashed, Dotted = PenStyle::Dotted;

// A segment as the user sees it: its ends and its line style.
using Seg = std::tuple<int, int, int, int, PenStyle>;
std::vector<Seg> Drawn(const std::vector<SegmentOp>& ops) {
  std::vector<Seg> out;
  for (const SegmentOp& o : ops) out.emplace_back(o.x1, o.y1, o.x2, o.y2, o.style);
  return out;
}
// Position and font size of a text, empty when it was not drawn.
std::vector<int> Place(const TextOp* t) { return t ? std::vector{t->x, t->y, t->size} : std::vector<int>{}; }

class GraphDrawTest : public ::testing::Test {
 protected:
  // Graph data as the output reader leaves them, then the preparation.
  void Prepare(const std::vector<double>& xs, const std::vector<double>& ys,
               const std::vector<double>& ycalc = {}) {
    s.DM.GraphXData = xs;
    s.DM.GraphYData = ys;
    s.DM.GraphYCalc = ycalc.empty() ? ys : ycalc;
    s.DM.NrOfData = static_cast<std::int32_t>(xs.size());
    s.DM.Title1 = "First title";
    s.DM.Title2 = "Second title";
    SelectGraphData(s);
    ScaleAxes(s);
    SetAxisLabels(s);
  }
  // n data sets, X 1..20 on an axis of 0 to 24 and Y 5..10 on one of 4 to
  // 12: px(x) = Round(x * 500 / 24) + 70, py(y) = 400 - 40 (y - 4).
  void Line(int n = 20) {
    std::vector<double> xs, ys;
    for (int i = 0; i < n; ++i) xs.push_back(1 + 19.0 * i / (n - 1)), ys.push_back(5 + 5.0 * i / (n - 1));
    Prepare(xs, ys);
  }
  void Regression(std::uint8_t type, double slope) {
    s.Graph.FileType = type;
    Line();
    GraphState& g = s.Graph;
    g.GraphAvX = 10.5, g.GraphAvY = 7.5, g.FileSlopeA = slope, g.GraphStErrSlope = 0.05, g.GraphStDevRes = 1;
  }
  // Type 3: level 5 up to BP 10, then rising through (15, 7.5); Type 4:
  // rising through (5, 7) up to BP 10, then the level 9.5.
  void Partial(std::uint8_t type, bool fitted) {
    const bool t3 = type == 3;
    s.Graph.FileType = type;
    Line();
    GraphState& g = s.Graph;
    g.ShowRegressionLine = fitted, g.FileMethod = 2, g.FileBreakPoint = 10, g.FileCoefExpl = 0.9;
    g.GraphN = 9, g.GraphAvX = 5, g.GraphAvY = t3 ? 5 : 7, g.FileSlopeA = t3 ? 0 : 0.5;
    g.GraphN2 = 11, g.GraphAvX2 = 15, g.GraphAvY2 = t3 ? 7.5 : 9.5, g.FileSlopeAg = t3 ? 0.5 : 0;
    g.SlopeBelow = t3 ? 0.02 : 0.45, g.SlopeAbove = t3 ? 0.45 : 0.02, g.AvXAll = 10.5;
    g.StDevYBelow = 0.4, g.StDevYAbove = 1.6, g.StDevXBelow = 2.74, g.StDevXAbove = 3.32;
    SharedResults& r = s.R;
    r.SlopeAllGraph = 0.3, r.BPType3 = r.BPType4 = 10;
    r.ConfBPLeftType3 = r.ConfBPLeftType4 = 9, r.ConfBPRightType3 = r.ConfBPRightType4 = 11.5;
  }
  // X 1..30: level 5 up to 10, rising by 0.5 up to 20, level 10 beyond;
  // px(x) = Round(x * 500 / 30) + 70. The levels read back differ a little
  // from the data's.
  // `scale` multiplies every Y value read back; `shift` moves the data
  // along the X axis.
  void Combined(bool fitted, double scale = 1, double shift = 0) {
    std::vector<double> xs, ys;
    for (int x = 1; x <= 30; ++x) {
      xs.push_back(x + shift), ys.push_back(scale * (x <= 10 ? 5 : x <= 20 ? 5 + 0.5 * (x - 10) : 10));
    }
    s.Graph.FileType = 3;
    Prepare(xs, ys);
    GraphState& g = s.Graph;
    g.ShowRegressionLine = fitted, g.ShowBlock = true, g.FileBreakPoint = 10, g.GraphAvY = scale * 5;
    g.GraphN = 10, g.GraphN2 = 17, g.StDevYAbove = scale * 4;  // m0 0.25: blocks 0.875 about their level
    SharedResults& r = s.R;
    r.BothTypesFound = true, r.BPType3 = 10, r.BPType4 = 20, r.AvYType3 = scale * 5.2, r.AvYType4 = scale * 9.8;
    r.ConfBPLeftType3 = 9, r.ConfBPRightType3 = 11.5, r.ConfBPLeftType4 = 18.5, r.ConfBPRightType4 = 35;
    r.CoefExplCombined = 0.5;
  }
  Strings TextsAfterBullets() const {
    Strings out;
    for (const TextOp& t : canvas.All<TextOp>()) t.text == "\u2022" ? out.clear() : out.push_back(t.text);
    return out;
  }

  test::ScriptedPlatform platform;
  AppState s{platform};
  test::RecordingCanvas canvas;
};

TEST_F(GraphDrawTest, RegressionFrameTicksLabelsAndBullets) {
  Regression(1, 5.0 / 19);
  DrawRegressionGraph(s, canvas);
  const auto fills = canvas.All<test::FillOp>();
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_EQ(std::tuple(fills[0].brush, fills[1].brush), std::tuple(c::Silver, c::Blue));
  EXPECT_EQ(canvas.FindText("First title")->font, "Arial");
  EXPECT_EQ(Place(canvas.FindText("First title")), std::vector({45, 5, 10}));
  EXPECT_EQ(Place(canvas.FindText("Second title")), std::vector({45, 20, 8}));
  // "%4.2f" labels end 6 pixels left of the Y axis; "%3.1f" labels under X.
  for (const auto& [text, x, y] : std::vector<std::tuple<std::string, int, int>>{
           {"12.00", 29, 73}, {"4.00", 36, 393}, {"0.0", 62, 412}, {"4.0", 145, 412}, {"24.0", 562, 412}}) {
    EXPECT_EQ(Place(canvas.FindText(text)), std::vector({x, y, 8})) << text;
  }
  EXPECT_EQ(Place(canvas.FindText("X-Data")), std::vector({515, 425, 8}));
  EXPECT_EQ(Place(canvas.FindText("Y-Data")), std::vector({70, 50, 8}));
  EXPECT_EQ(Place(canvas.FindText("\u2022")), std::vector({91, 352, 10}));  // data set (1, 5)
  EXPECT_EQ(canvas.FindText("\u2022")->colour, c::Aqua);
  EXPECT_TRUE(s.Controls.GraphImageVisible && s.Controls.BPButtonVisible);
  EXPECT_EQ(s.Controls.BPButtonLeft, 244);
}

TEST_F(GraphDrawTest, ZeroStandardErrorOfSlopePutsTheInnerBeltPointsAtTheMeanX) {
  Regression(1, 0.25);
  s.Graph.GraphStErrSlope = 0;
  ComputeRegressionBelt(s);
  for (int i : {1, 2, 5, 6}) {
    EXPECT_DOUBLE_EQ(s.Graph.Geo.P.at(i).x, 10.5) << "P" << i;
    EXPECT_DOUBLE_EQ(s.Graph.Geo.P.at(i).y, 7.5) << "P" << i;
  }
}

TEST_F(GraphDrawTest, RegressionLineIsCutAtTheYRangeOnlyWhenItSlopes) {
  Regression(1, 2);  // reaches Y 5 at X 9.25 and Y 10 at X 11.75
  DrawRegressionGraph(s, canvas);
  EXPECT_EQ(Drawn(canvas.Segments(c::White)).back(), (Seg{263, 360, 315, 160, Solid}));
  EXPECT_TRUE(canvas.FindText("Type 1, breakpoint absent"));
  canvas.ops.clear();
  Regression(0, 2);  // type 0: the mean Y over the whole X range
  DrawRegressionGraph(s, canvas);
  EXPECT_EQ(Drawn(canvas.Segments(c::White)).back(), (Seg{91, 260, 487, 260, Solid}));
  EXPECT_EQ(Place(canvas.FindText("Type 0, breakpoint absent")), std::vector({400, 35, 8}));
}

class BeltCaptionTest : public GraphDrawTest, public ::testing::WithParamInterface<std::pair<double, const char*>> {};

TEST_P(BeltCaptionTest, CaptionFollowsTheConfidenceButTheBeltDoesNot) {
  Regression(1, 0.25);
  s.Graph.ShowBelt = true;
  DrawRegressionGraph(s, canvas);
  const auto belt90 = Drawn(canvas.Segments(c::Yellow));
  canvas.ops.clear();
  s.R.ConfidenceFactor = GetParam().first;
  DrawRegressionGraph(s, canvas);
  const auto belt = canvas.Segments(c::Yellow);
  ASSERT_EQ(belt.size(), 10u);
  EXPECT_EQ(Drawn(belt), belt90);
  EXPECT_EQ(belt[0].style, Dashed);
  const std::string caption = std::string(GetParam().second) + "% confidence belt is shown";
  EXPECT_EQ(Place(canvas.FindText(caption)), std::vector({400, 50, 8}));
  EXPECT_EQ(canvas.FindText(caption)->colour, c::Yellow);
}

INSTANTIATE_TEST_SUITE_P(Confidence, BeltCaptionTest,
                         ::testing::Values(std::pair(1.75, "90"), std::pair(2.1, "95"), std::pair(2.5, "98")),
                         [](const auto& info) { return std::string("Percent") + info.param.second; });

class PenWidthTest : public GraphDrawTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(PenWidthTest, RegressionLineWidensAbove150DataSetsButNotTheBelt) {
  Line(GetParam().first);
  s.Graph.GraphType = 1, s.Graph.GraphAvX = 10.5, s.Graph.GraphAvY = 7.5, s.Graph.ShowBelt = true;
  DrawRegressionGraph(s, canvas);
  EXPECT_EQ(canvas.Segments(c::White).back().width, GetParam().second);
  EXPECT_EQ(canvas.Segments(c::Yellow).front().width, 1);
}

INSTANTIATE_TEST_SUITE_P(DataSets, PenWidthTest, ::testing::Values(std::pair(150, 1), std::pair(151, 2)),
                         [](const auto& info) { return "N" + std::to_string(info.param.first); });

TEST_F(GraphDrawTest, CalcObsLineOfEqualityInTenfoldUnitsClippedToTheYRange) {
  s.Graph.GraphMode = 3;
  s.Graph.ShowBelt = true;  // never drawn here
  Prepare({1, 2, 3}, {0.5, 0.7, 0.9}, {0.45, 0.8, 1.0});
  ASSERT_EQ(s.Graph.YFactor, 10);
  DrawRegressionGraph(s, canvas);
  // Axes 0..2 and 4..10: from (0.5, 5) to (0.9, 9) in graph units.
  EXPECT_EQ(Drawn(canvas.Segments(c::White)).back(), (Seg{195, 347, 295, 133, Solid}));
  EXPECT_TRUE(canvas.Segments(c::Yellow).empty());
  EXPECT_TRUE(canvas.FindText("Ycalc") && canvas.FindText("Yobs * 10"));
  EXPECT_EQ(Place(canvas.FindText("Yobs versus Ycalc")), std::vector({440, 35, 8}));
  EXPECT_EQ(canvas.FindText("Yobs versus Ycalc")->colour, c::Aqua);
  EXPECT_FALSE(canvas.FindText("Type 1, breakpoint absent"));
}

struct PartialCase {
  const char* name;
  std::uint8_t type;
  bool fitted;
  std::vector<Seg> lines;
  const char* heading;
};
void PrintTo(const PartialCase& p, std::ostream* os) { *os << p.name; }

class PartialLinesTest : public GraphDrawTest, public ::testing::WithParamInterface<PartialCase> {};

TEST_P(PartialLinesTest, FunctionLinesBeltJumpAndCaptions) {
  const PartialCase& p = GetParam();
  Partial(p.type, p.fitted);
  s.Graph.ShowBelt = true;
  DrawPartialGraph(s, canvas);
  EXPECT_EQ(Drawn(canvas.Segments(c::Blue)), p.lines);
  // The upper belt line runs A-B-C-E with connecting lines; with fitted
  // lines it jumps at BP (x 278) from one side's line to the other's.
  const auto belt = canvas.Segments(c::Fuchsia);
  ASSERT_EQ(belt.size(), 5u);
  EXPECT_EQ(std::tuple(belt[1].x2, belt[2].x1, belt[1].y2 != belt[2].y1), std::tuple(278, 278, p.fitted));
  const Strings expected = {"90% confidence belt of", "function lines is shown", p.heading, "Break-point at X = 10.00"};
  Strings texts = TextsAfterBullets();
  EXPECT_EQ(Strings(texts.begin(), texts.begin() + 4), expected);
  EXPECT_EQ(texts.size() == 5 && texts[4] == "Expl. coeff    0.900", p.fitted);
  EXPECT_EQ(canvas.FindText("\u2022")->colour, c::Green);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PartialLinesTest,
    ::testing::Values(
        PartialCase{"Type3Connecting", 3, false, {{91, 360, 278, 360, Solid}, {278, 360, 487, 160, Dashed}},
                    "Relation of Type 3"},
        PartialCase{"Type3Fitted", 3, true,
                    {{91, 360, 278, 360, Solid}, {278, 360, 278, 350, Dotted}, {278, 350, 487, 170, Solid}},
                    "Partial relations"},
        PartialCase{"Type4Connecting", 4, false, {{91, 360, 278, 180, Dashed}, {278, 180, 487, 180, Solid}},
                    "Relation of Type 4"},
        PartialCase{"Type4Fitted", 4, true,
                    {{91, 352, 278, 190, Solid}, {278, 190, 278, 180, Dotted}, {278, 180, 487, 180, Solid}},
                    "Partial relations"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GraphDrawTest, SlopeAgainstAllDataIsDrawnLevel) {
  Partial(3, true);
  s.Graph.SlopeAbove = -0.2;
  DrawPartialGraph(s, canvas);
  EXPECT_EQ(Drawn(canvas.Segments(c::Blue)).back(), (Seg{278, 260, 487, 260, Solid}));
  canvas.ops.clear();
  Partial(4, true);
  s.R.SlopeAllGraph = -0.3;
  DrawPartialGraph(s, canvas);
  EXPECT_EQ(Drawn(canvas.Segments(c::Blue)).front(), (Seg{91, 280, 278, 280, Solid}));
}

TEST_F(GraphDrawTest, BeltStartAboveTheYRangeMovesTowardTheCentreAndReplacesThePointThere) {
  Partial(3, false);
  s.Graph.GraphAvY = 9.9, s.Graph.FileSlopeA = 0.01;
  ComputePartialGeometry(s);
  const GraphGeometry& geo = s.Graph.Geo;
  EXPECT_DOUBLE_EQ(geo.A.x, 3);  // XMin + (mean X - XMin) / 2, inside the plot
  EXPECT_EQ(std::tuple(geo.B.x, geo.B.y), std::tuple(geo.A.x, geo.A.y));
}

TEST_F(GraphDrawTest, BlockClampsLeftLimitAndBreakpointButNotRightLimit) {
  Partial(3, false);
  s.Graph.ShowBlock = true;
  s.R.ConfBPLeftType3 = 0.5, s.R.BPType3 = 25, s.R.ConfBPRightType3 = 30;
  DrawPartialGraph(s, canvas);
  EXPECT_DOUBLE_EQ(s.Graph.Geo.Block.left, 1.001);
  EXPECT_DOUBLE_EQ(s.Graph.Geo.Block.mid, 19.999);
  // Level 5 -/+ 1.75 * sqrt(0.064): from y 378 up to 342.
  EXPECT_EQ(Drawn(canvas.Segments(c::Yellow)),
            (std::vector<Seg>{{487, 378, 91, 378, Solid}, {91, 378, 91, 342, Solid}, {91, 342, 487, 342, Solid},
                              {487, 342, 695, 342, Solid}, {695, 342, 695, 378, Solid}, {695, 378, 487, 378, Solid}}));
  const Strings texts = TextsAfterBullets();
  EXPECT_EQ(Strings(texts.end() - 2, texts.end()), Strings({"90% confidence block", "of break-point is shown"}));
  EXPECT_EQ(Place(canvas.FindText("of break-point is shown")), std::vector({450, 77, 10}));
}

TEST_F(GraphDrawTest, WithoutBeltAndBlockOnlyFrameDataLinesAndCaptions) {
  Partial(3, true);
  DrawPartialGraph(s, canvas);
  for (const SegmentOp& seg : canvas.All<SegmentOp>()) EXPECT_TRUE(seg.colour == c::White || seg.colour == c::Blue);
  EXPECT_EQ(canvas.Segments(c::Blue).size(), 3u);
  EXPECT_EQ(TextsAfterBullets(), Strings({"Partial relations", "Break-point at X = 10.00", "Expl. coeff    0.900"}));
  EXPECT_EQ(Place(canvas.FindText("First title")), std::vector({45, 3, 12}));
  EXPECT_EQ(Place(canvas.FindText("Second title")), std::vector({45, 22, 10}));
}

TEST_F(GraphDrawTest, CombinedLineInBothModesWithBothBlocks) {
  Combined(false);
  DrawCombinedGraph(s, canvas);
  EXPECT_EQ(Drawn(canvas.Segments(c::Blue)),
            (std::vector<Seg>{{87, 352, 237, 352, Solid}, {237, 352, 403, 168, Dashed}, {403, 168, 570, 168, Solid}}));
  EXPECT_TRUE(canvas.FindText("Expl. coeff    0.500"));

  canvas.ops.clear();
  Combined(true);  // the middle part is recomputed from the plotted data
  DrawCombinedGraph(s, canvas);
  EXPECT_EQ(Drawn(canvas.Segments(c::Blue)),
            (std::vector<Seg>{{87, 352, 237, 352, Solid}, {237, 352, 237, 360, Dotted}, {237, 360, 403, 160, Solid},
                              {403, 160, 403, 168, Dotted}, {403, 168, 570, 168, Solid}}));
  const Strings texts = TextsAfterBullets();
  EXPECT_EQ(Strings(texts.begin(), texts.begin() + 4),
            Strings({"Combined Type 3 and 4", "Break-point 1 at X = 10.00", "Break-point 2 at X = 20.00",
                     "Expl. coeff    0.995"}));
  // The Type 3 block about level 5, then the Type 4 block from its right
  // limit (35, beyond the data and not clamped) through 20 to 18.5.
  const auto blocks = Drawn(canvas.Segments(c::Yellow));
  ASSERT_EQ(blocks.size(), 12u);
  EXPECT_EQ(blocks[0], (Seg{237, 395, 220, 395, Solid}));
  EXPECT_EQ(blocks[4], (Seg{262, 325, 262, 395, Solid}));
  EXPECT_EQ(blocks[6], (Seg{403, 203, 653, 203, Solid}));
  EXPECT_EQ(blocks[10], (Seg{378, 133, 378, 203, Solid}));

  canvas.ops.clear();
  s.Graph.ShowBlock = false;  // then only frame and data points
  DrawCombinedGraph(s, canvas);
  EXPECT_TRUE(canvas.Segments(c::Blue).empty() && canvas.Segments(c::Yellow).empty());
  EXPECT_TRUE(TextsAfterBullets().empty());
}

TEST_F(GraphDrawTest, CombinedExplanationCountsDataLeftOfZero) {
  Combined(true, 1, -15);
  s.R.BPType3 -= 15, s.R.BPType4 -= 15, s.Graph.FileBreakPoint -= 15;
  DrawCombinedGraph(s, canvas);
  EXPECT_TRUE(canvas.FindText("Expl. coeff    0.995"));
}

// Y values a tenth as large are drawn ten times larger: the same picture.
TEST_F(GraphDrawTest, CombinedLevelsAndSecondBlockFollowTheYFactor) {
  Combined(false, 0.9);
  ASSERT_EQ(s.Graph.YFactor, 1);
  DrawCombinedGraph(s, canvas);
  const auto lines = Drawn(canvas.Segments(c::Blue)), blocks = Drawn(canvas.Segments(c::Yellow));
  canvas.ops.clear();
  Combined(false, 0.09);
  ASSERT_EQ(s.Graph.YFactor, 10);
  DrawCombinedGraph(s, canvas);
  EXPECT_EQ(Drawn(canvas.Segments(c::Blue)), lines);
  EXPECT_EQ(Drawn(canvas.Segments(c::Yellow)), blocks);
  EXPECT_EQ(blocks.size(), 12u);
}

class CombinedCaptionTest : public GraphDrawTest, public ::testing::WithParamInterface<std::pair<const char*, int>> {};

TEST_P(CombinedCaptionTest, BlockCaptionsFollowTheCombinationButton) {
  Combined(true);
  s.Controls.ZtypeButtonCaption = GetParam().first;
  DrawCombinedGraph(s, canvas);
  const int y = GetParam().second;
  EXPECT_EQ(Place(canvas.FindText("90% confidence blocks")), std::vector({450, y, 10}));
  EXPECT_EQ(Place(canvas.FindText("of break-points are shown")), std::vector({450, y + 15, 10}));
  EXPECT_EQ(canvas.FindText("of break-points are shown")->colour, c::Yellow);
}

INSTANTIATE_TEST_SUITE_P(Button, CombinedCaptionTest,
                         ::testing::Values(std::pair("Show best of the two", 77),
                                           std::pair("Show combination  Type 3 and 4", 62)),
                         [](const auto& info) { return info.param.second == 77 ? "BestOfTwo" : "Combination"; });

TEST_F(GraphDrawTest, CombinedGraphLeavesTheWorkingDataAsTheyWere) {
  Combined(true);
  const std::vector<double> xs(30, 2.5), ys(30, 7.5);  // the user's input
  s.DM.XData = xs, s.DM.YData = ys;
  DrawCombinedGraph(s, canvas);
  EXPECT_TRUE(canvas.FindText("Expl. coeff    0.995"));
  EXPECT_EQ(std::tuple(s.DM.XData, s.DM.YData, s.DM.NrOfData), std::tuple(xs, ys, 30));
  EXPECT_TRUE(s.R.BothTypesFound);

  s.DM.GraphYData.pop_back();  // fewer Y than data sets: the recomputation throws
  EXPECT_ANY_THROW(DrawCombinedGraph(s, canvas));
  EXPECT_EQ(std::tuple(s.DM.XData, s.DM.YData, s.DM.NrOfData), std::tuple(xs, ys, 30));
}

enum class Kind { Regression, CalcObs, Type3Fitted, Type4Connecting, Combined };

class GraphKindTest : public GraphDrawTest, public ::testing::WithParamInterface<Kind> {
 protected:
  void SetUp() override {
    switch (GetParam()) {
      case Kind::Regression: Regression(1, 0.25); break;
      case Kind::CalcObs: s.Graph.GraphMode = 3, Prepare({1, 2, 3}, {0.5, 0.7, 0.9}, {0.45, 0.8, 1.0}); break;
      case Kind::Type3Fitted: Partial(3, true); break;
      case Kind::Type4Connecting: Partial(4, false); break;
      case Kind::Combined: Combined(true); break;
    }
    s.Graph.ShowBelt = s.Graph.ShowBlock = true;
  }
  void Draw() {
    if (GetParam() == Kind::Regression || GetParam() == Kind::CalcObs) return DrawRegressionGraph(s, canvas);
    if (GetParam() == Kind::Combined) return DrawCombinedGraph(s, canvas);
    DrawPartialGraph(s, canvas);
  }
};

TEST_P(GraphKindTest, BlackAndWhiteDrawsOnlyBlackOnWhite) {
  s.Graph.ColourGraph = false;
  Draw();
  const auto fills = canvas.All<test::FillOp>();
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_EQ(std::tuple(fills[0].brush, fills[1].brush), std::tuple(c::Silver, c::White));
  for (const SegmentOp& seg : canvas.All<SegmentOp>()) EXPECT_EQ(seg.colour, c::Black);
  for (const TextOp& t : canvas.All<TextOp>()) EXPECT_EQ(t.colour, c::Black) << t.text;
}

TEST_P(GraphKindTest, NoVariationShowsTheMessageAndDrawsNothing) {
  s.R.XMax = s.R.XMin;
  Draw();
  const bool regression = GetParam() == Kind::Regression || GetParam() == Kind::CalcObs;
  EXPECT_EQ(platform.messages, Strings({std::string("Graph could not be made due to absence of data") +
                                        (regression ? "" : " variation")}));
  EXPECT_TRUE(canvas.ops.empty());
  EXPECT_FALSE(s.Controls.GraphImageVisible || s.Controls.BPButtonVisible);
}

TEST_P(GraphKindTest, AnAxisWithoutLengthRefusesTheGraph) {
  s.Graph.XAxisHigh = s.Graph.XAxisLow;
  EXPECT_THROW(Draw(), GraphRefused);
  EXPECT_FALSE(s.Controls.GraphImageVisible);
}

std::string KindName(const ::testing::TestParamInfo<Kind>& info) {
  const char* const names[] = {"Regression", "CalcObs", "Type3Fitted", "Type4Connecting", "Combined"};
  return names[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Kinds, GraphKindTest,
                         ::testing::Values(Kind::Regression, Kind::CalcObs, Kind::Type3Fitted, Kind::Type4Connecting,
                                           Kind::Combined),
                         KindName);

TEST_F(GraphDrawTest, ValuesFarOutsideTheAxesRefuseTheGraph) {
  Regression(0, 0);
  s.Graph.GraphAvY = 1e12;
  EXPECT_THROW(DrawRegressionGraph(s, canvas), GraphRefused);
  // One data set on each side leaves the belt without a width, which only
  // matters once the belt is drawn.
  Partial(3, true);
  s.Graph.GraphN = s.Graph.GraphN2 = 1;
  EXPECT_NO_THROW(DrawPartialGraph(s, canvas));
  s.Graph.ShowBelt = true;
  EXPECT_THROW(DrawPartialGraph(s, canvas), GraphRefused);
}

}  // namespace
}  // namespace kinvalo
