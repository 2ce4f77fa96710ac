#include "graphs/graph_draw.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "graphs/graph_prep.h"
#include "support/recording_canvas.h"

namespace kinvalo {
namespace {

namespace c = colours;
using test::SegmentOp;
using test::TextOp;
using Strings = std::vector<std::string>;
constexpr PenStyle Solid = PenStyle::Solid, Dashed = PenStyle::Dashed, Dotted = PenStyle::Dotted;

// A segment as the user sees it: its ends and its line style.
using Seg = std::tuple<int, int, int, int, PenStyle>;
using Segs = std::vector<Seg>;
Segs Drawn(const std::vector<SegmentOp>& ops) {
  Segs out;
  for (const SegmentOp& o : ops) out.emplace_back(o.x1, o.y1, o.x2, o.y2, o.style);
  return out;
}
// A text as the user sees it: where it stands and its font size.
struct Shown {
  std::string text;
  int x, y, size;
};

class GraphDrawTest : public ::testing::Test {
 protected:
  // The observation table as the output reader gives it, then the
  // preparation.
  void Prepare(const std::vector<double>& xs, const std::vector<double>& ys,
               const std::vector<double>& ycalc = {}) {
    m.x = xs, m.yObs = ys, m.yCalc = ycalc.empty() ? ys : ycalc;
    m.title1 = "First title", m.title2 = "Second title";
    p = PrepareGraph(m, o.calcObs);
  }
  // n data sets, X 1..20 on an axis of 0 to 24 and Y 5..10 on one of 4 to
  // 12: px(x) = Round(x * 500 / 24) + 70, py(y) = 400 - 40 (y - 4).
  void Line(int n = 20) {
    std::vector<double> xs, ys;
    for (int i = 0; i < n; ++i) xs.push_back(1 + 19.0 * i / (n - 1)), ys.push_back(5 + 5.0 * i / (n - 1));
    Prepare(xs, ys);
  }
  void Regression(FunctionType type, double slope, int n = 20) {
    m.type = type;
    Line(n);
    m.all.avX = 10.5, m.all.avY = 7.5, m.equationSlopeBelow = slope, m.all.stErrSlope = 0.05, m.all.stDevRes = 1;
  }
  // Type 3: level 5 up to BP 10, then rising through (15, 7.5); Type 4:
  // rising through (5, 7) up to BP 10, then the level 9.5.
  void Partial(FunctionType type, bool fitted) {
    const bool t3 = type == FunctionType::Threshold;
    m.type = type;
    Line();
    o.regressionLine = fitted, m.method = 2, m.breakpoint = 10, m.coefExpl = 0.9;
    m.below.n = 9, m.below.avX = 5, m.below.avY = t3 ? 5 : 7, m.equationSlopeBelow = t3 ? 0 : 0.5;
    m.above.n = 11, m.above.avX = 15, m.above.avY = t3 ? 7.5 : 9.5, m.equationSlopeAbove = t3 ? 0.5 : 0;
    m.below.slope = t3 ? 0.02 : 0.45, m.above.slope = t3 ? 0.45 : 0.02, m.all.avX = 10.5;
    m.below.stDevY = 0.4, m.above.stDevY = 1.6, m.below.stDevX = 2.74, m.above.stDevX = 3.32;
    m.all.slope = 0.3;
    m.type3 = m.type4 = {10, 9, 11.5, 0};
  }
  // X 1..30: level 5 up to 10, rising by 0.5 up to 20, level 10 beyond;
  // px(x) = Round(x * 500 / 30) + 70. The levels read back differ a little
  // from the data's. `scale` multiplies every Y value read back; `shift`
  // moves the data along the X axis.
  void Combined(bool fitted, double scale = 1, double shift = 0) {
    std::vector<double> xs, ys;
    for (int x = 1; x <= 30; ++x) {
      xs.push_back(x + shift), ys.push_back(scale * (x <= 10 ? 5 : x <= 20 ? 5 + 0.5 * (x - 10) : 10));
    }
    m.type = FunctionType::Threshold;
    Prepare(xs, ys);
    o.regressionLine = fitted, o.block = true, m.breakpoint = 10 + shift, m.below.avY = scale * 5;
    m.below.n = 10, m.above.n = 17, m.above.stDevY = scale * 4;  // m0 0.25: blocks 0.875 about their level
    m.type3 = {10 + shift, 9, 11.5, scale * 5.2};
    m.type4 = {20 + shift, 18.5, 35, scale * 9.8};
    m.centralCoefExpl = 0.5;
  }
  DrawOutcome Draw(GraphKind kind) {
    canvas.ops.clear();
    return DrawGraph(kind, m, p, o, canvas);
  }
  void ExpectShown(const std::vector<Shown>& texts) const {
    for (const Shown& s : texts) {
      const TextOp t = canvas.Text(s.text);
      EXPECT_EQ(std::tuple(t.x, t.y, t.size), std::tuple(s.x, s.y, s.size)) << s.text;
    }
  }
  Strings TextsAfterBullets() const {
    Strings out;
    for (const TextOp& t : canvas.All<TextOp>()) t.text == "\u2022" ? out.clear() : out.push_back(t.text);
    return out;
  }

  GraphModel m;
  GraphOptions o;
  PreparedGraph p;
  test::RecordingCanvas canvas;
};

TEST_F(GraphDrawTest, RegressionFrameLabelsBulletsAndLineCutAtTheYRange) {
  Regression(FunctionType::StraightLine, 2);  // reaches Y 5 at X 9.25 and Y 10 at X 11.75
  ASSERT_TRUE(Draw(GraphKind::Regression).drawn);
  const auto fills = canvas.All<test::FillOp>();
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_EQ(std::tuple(fills[0].brush, fills[1].brush), std::tuple(c::Silver, c::Blue));
  EXPECT_EQ(Drawn(canvas.Segments(c::White)).back(), (Seg{263, 360, 315, 160, Solid}));
  // "%4.2f" labels end 6 pixels left of the Y axis; "%3.1f" labels under X;
  // the bullet of data set (1, 5).
  ExpectShown({{"First title", 45, 5, 10}, {"Second title", 45, 20, 8}, {"12.00", 29, 73, 8},
               {"4.00", 36, 393, 8}, {"0.0", 62, 412, 8}, {"4.0", 145, 412, 8}, {"24.0", 562, 412, 8},
               {"X-Data", 515, 425, 8}, {"Y-Data", 70, 50, 8}, {"\u2022", 91, 352, 10},
               {"Type 1, breakpoint absent", 400, 35, 8}});
  EXPECT_EQ(canvas.Text("First title").font, "Arial");
  EXPECT_EQ(canvas.Text("\u2022").colour, c::Aqua);

  Regression(FunctionType::NoRelation, 2);  // type 0: the mean Y over the whole X range
  Draw(GraphKind::Regression);
  EXPECT_EQ(Drawn(canvas.Segments(c::White)).back(), (Seg{91, 260, 487, 260, Solid}));
  ExpectShown({{"Type 0, breakpoint absent", 400, 35, 8}});
}

TEST_F(GraphDrawTest, ZeroStandardErrorOfSlopePutsTheInnerBeltPointsAtTheMeanX) {
  Regression(FunctionType::StraightLine, 0.25);
  m.all.stErrSlope = 0;
  const RegressionGeometry geo = ComputeRegressionBelt(GraphKind::Regression, m, p);
  for (int i : {1, 2, 5, 6}) EXPECT_EQ(std::tuple(geo.P.at(i).x, geo.P.at(i).y), std::tuple(10.5, 7.5)) << i;
}

TEST_F(GraphDrawTest, BeltCaptionFollowsTheConfidenceButTheBeltDoesNot) {
  Regression(FunctionType::StraightLine, 0.25);
  o.belt = true;
  Draw(GraphKind::Regression);
  const Segs belt90 = Drawn(canvas.Segments(c::Yellow));
  ASSERT_EQ(belt90.size(), 10u);
  EXPECT_EQ(std::get<4>(belt90[0]), Dashed);
  for (int percent : {90, 95, 98}) {
    m.confidence = Confidence::FromPercent(percent);
    Draw(GraphKind::Regression);
    EXPECT_EQ(Drawn(canvas.Segments(c::Yellow)), belt90) << percent;
    const std::string caption = std::to_string(percent) + "% confidence belt is shown";
    ExpectShown({{caption, 400, 50, 8}});
    EXPECT_EQ(canvas.Text(caption).colour, c::Yellow) << percent;
  }
}

TEST_F(GraphDrawTest, RegressionLineWidensAbove150DataSetsButNotTheBelt) {
  o.belt = true;
  for (const auto& [n, width] : {std::pair(150, 1), std::pair(151, 2)}) {
    Regression(FunctionType::StraightLine, 0, n);
    Draw(GraphKind::Regression);
    EXPECT_EQ(std::tuple(canvas.Segments(c::White).back().width, canvas.Segments(c::Yellow).front().width),
              std::tuple(width, 1))
        << n;
  }
}

TEST_F(GraphDrawTest, CalcObsLineOfEqualityInTenfoldUnitsClippedToTheYRange) {
  o.calcObs = true;
  o.belt = true;  // never drawn here
  Prepare({1, 2, 3}, {0.5, 0.7, 0.9}, {0.45, 0.8, 1.0});
  ASSERT_EQ(p.yFactor, 10);
  Draw(GraphKind::CalcObs);
  // Axes 0.4..1.0 and 4..10: from (0.5, 5) to (0.9, 9) in graph units.
  EXPECT_EQ(Drawn(canvas.Segments(c::White)).back(), (Seg{153, 347, 487, 133, Solid}));
  EXPECT_TRUE(canvas.Segments(c::Yellow).empty());
  EXPECT_TRUE(canvas.Text("Ycalc").size && canvas.Text("Yobs * 10").size);
  ExpectShown({{"Yobs versus Ycalc", 440, 35, 8}, {"Type 1, breakpoint absent", 0, 0, 0}});
  EXPECT_EQ(canvas.Text("Yobs versus Ycalc").colour, c::Aqua);
}

// Axes of values far from zero or beyond the Y factor name their offset
// and power in their captions; a long X caption ends at x 600.
TEST_F(GraphDrawTest, AxesBeyondTheMagnitudeRowsNameTheirFormInTheCaptions) {
  m.type = FunctionType::NoRelation;
  Prepare({1000001e6, 1000002.5e6, 1000004e6}, {2e9, 3e9, 5e9});
  m.all.avX = 1000002.5e6, m.all.avY = 3.5e9;
  ASSERT_TRUE(Draw(GraphKind::Regression).drawn);
  ExpectShown({{"(X-Data - 1E12) * 1E-6", 446, 425, 8}, {"Y-data * 1E-9", 70, 50, 8}, {"1.0", 62, 412, 8},
               {"1.5", 145, 412, 8}, {"5.0", 43, 73, 8}, {"4.5", 43, 126, 8}, {"\u2022", 70, 392, 10}});
}

struct PartialCase {
  const char* name;
  FunctionType type;
  bool fitted;
  Segs lines;
  const char* heading;
};
void PrintTo(const PartialCase& p, std::ostream* os) { *os << p.name; }

class PartialLinesTest : public GraphDrawTest, public ::testing::WithParamInterface<PartialCase> {};

TEST_P(PartialLinesTest, FunctionLinesBeltJumpAndCaptions) {
  const PartialCase& p = GetParam();
  Partial(p.type, p.fitted);
  o.belt = true;
  Draw(GraphKind::Partial);
  EXPECT_EQ(Drawn(canvas.Segments(c::Blue)), p.lines);
  // The upper belt line runs A-B-C-E with connecting lines; with fitted
  // lines it jumps at BP (x 278) from one side's line to the other's.
  const auto belt = canvas.Segments(c::Fuchsia);
  ASSERT_EQ(belt.size(), 5u);
  EXPECT_EQ(std::tuple(belt[1].x2, belt[2].x1, belt[1].y2 != belt[2].y1), std::tuple(278, 278, p.fitted));
  Strings expected = {"90% confidence belt of", "function lines is shown", p.heading, "Break-point at X = 10.00"};
  if (p.fitted) expected.push_back("Expl. coeff    0.900");
  EXPECT_EQ(TextsAfterBullets(), expected);
  EXPECT_EQ(canvas.Text("\u2022").colour, c::Green);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PartialLinesTest,
    ::testing::Values(
        PartialCase{"Type3Connecting", FunctionType::Threshold, false,
                    {{91, 360, 278, 360, Solid}, {278, 360, 487, 160, Dashed}}, "Relation of Type 3"},
        PartialCase{"Type3Fitted", FunctionType::Threshold, true,
                    {{91, 360, 278, 360, Solid}, {278, 360, 278, 350, Dotted}, {278, 350, 487, 170, Solid}},
                    "Partial relations"},
        PartialCase{"Type4Connecting", FunctionType::Plateau, false,
                    {{91, 360, 278, 180, Dashed}, {278, 180, 487, 180, Solid}}, "Relation of Type 4"},
        PartialCase{"Type4Fitted", FunctionType::Plateau, true,
                    {{91, 352, 278, 190, Solid}, {278, 190, 278, 180, Dotted}, {278, 180, 487, 180, Solid}},
                    "Partial relations"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GraphDrawTest, SlopeAgainstAllDataIsDrawnLevel) {
  Partial(FunctionType::Threshold, true);
  m.above.slope = -0.2;
  Draw(GraphKind::Partial);
  EXPECT_EQ(Drawn(canvas.Segments(c::Blue)).back(), (Seg{278, 260, 487, 260, Solid}));
  Partial(FunctionType::Plateau, true);
  m.all.slope = -0.3;
  Draw(GraphKind::Partial);
  EXPECT_EQ(Drawn(canvas.Segments(c::Blue)).front(), (Seg{91, 280, 278, 280, Solid}));
}

TEST_F(GraphDrawTest, BeltStartAboveTheYRangeMovesTowardTheCentreAndReplacesThePointThere) {
  Partial(FunctionType::Threshold, false);
  m.below.avY = 9.9, m.equationSlopeBelow = 0.01;
  const PartialGeometry geo = ComputePartialGeometry(m, p, false, false);
  EXPECT_DOUBLE_EQ(geo.A.x, 3);  // XMin + (mean X - XMin) / 2, inside the plot
  EXPECT_EQ(std::tuple(geo.B.x, geo.B.y), std::tuple(geo.A.x, geo.A.y));
}

TEST_F(GraphDrawTest, BlockClampsLeftLimitAndBreakpointButNotRightLimit) {
  Partial(FunctionType::Threshold, false);
  o.block = true;
  m.type3 = {25, 0.5, 30, 0};
  Draw(GraphKind::Partial);
  // From 1.001 through 19.999 to 30, level 5 -/+ 1.75 * sqrt(0.064): y 378 up to 342.
  EXPECT_EQ(Drawn(canvas.Segments(c::Yellow)),
            (Segs{{487, 378, 91, 378, Solid}, {91, 378, 91, 342, Solid}, {91, 342, 487, 342, Solid},
                  {487, 342, 695, 342, Solid}, {695, 342, 695, 378, Solid}, {695, 378, 487, 378, Solid}}));
  const Strings texts = TextsAfterBullets();
  EXPECT_EQ(Strings(texts.end() - 2, texts.end()), Strings({"90% confidence block", "of break-point is shown"}));
  ExpectShown({{"of break-point is shown", 450, 77, 10}});
}

TEST_F(GraphDrawTest, WithoutBeltAndBlockOnlyFrameDataLinesAndCaptions) {
  Partial(FunctionType::Threshold, true);
  Draw(GraphKind::Partial);
  for (const SegmentOp& seg : canvas.All<SegmentOp>()) EXPECT_TRUE(seg.colour == c::White || seg.colour == c::Blue);
  EXPECT_EQ(TextsAfterBullets(), Strings({"Partial relations", "Break-point at X = 10.00", "Expl. coeff    0.900"}));
  ExpectShown({{"First title", 45, 3, 12}, {"Second title", 45, 22, 10}});
  EXPECT_EQ(canvas.All<test::FillOp>().at(1).brush, c::Silver);  // the plot background
}

TEST_F(GraphDrawTest, CombinedLineInBothModesWithBothBlocks) {
  Combined(false);
  Draw(GraphKind::Combined);
  EXPECT_EQ(Drawn(canvas.Segments(c::Blue)),
            (Segs{{87, 352, 237, 352, Solid}, {237, 352, 403, 168, Dashed}, {403, 168, 570, 168, Solid}}));
  EXPECT_EQ(canvas.Text("Expl. coeff    0.500").size, 10);

  Combined(true);  // the middle part is recomputed from the plotted data
  Draw(GraphKind::Combined);
  EXPECT_EQ(Drawn(canvas.Segments(c::Blue)),
            (Segs{{87, 352, 237, 352, Solid}, {237, 352, 237, 360, Dotted}, {237, 360, 403, 160, Solid},
                  {403, 160, 403, 168, Dotted}, {403, 168, 570, 168, Solid}}));
  const Strings texts = TextsAfterBullets();
  EXPECT_EQ(Strings(texts.begin(), texts.begin() + 4),
            Strings({"Combined Type 3 and 4", "Break-point 1 at X = 10.00", "Break-point 2 at X = 20.00",
                     "Expl. coeff    0.995"}));
  // The Type 3 block about level 5, then the Type 4 block from its right
  // limit (35, beyond the data and not clamped) through 20 to 18.5.
  const Segs blocks = Drawn(canvas.Segments(c::Yellow));
  ASSERT_EQ(blocks.size(), 12u);
  EXPECT_EQ((Segs{blocks[0], blocks[4], blocks[6], blocks[10]}),
            (Segs{{237, 395, 220, 395, Solid}, {262, 325, 262, 395, Solid}, {403, 203, 653, 203, Solid},
                  {378, 133, 378, 203, Solid}}));
  // The block captions stand below the second breakpoint's line.
  ExpectShown({{"90% confidence blocks", 450, 77, 10}, {"of break-points are shown", 450, 92, 10},
               {"First title", 45, 3, 12}, {"Second title", 45, 22, 10}});
  EXPECT_EQ(canvas.Text("of break-points are shown").colour, c::Yellow);

  o.block = false;  // then only frame and data points
  Draw(GraphKind::Combined);
  EXPECT_TRUE(canvas.Segments(c::Blue).empty() && canvas.Segments(c::Yellow).empty());
  EXPECT_TRUE(TextsAfterBullets().empty());
}

// Data left of zero still count; with a single X value between the
// breakpoints there is no middle line and the file's coefficient stands.
TEST_F(GraphDrawTest, CombinedExplanationCoefficient) {
  const struct {
    double shift, breakpoint2;
    const char* shown;
  } rows[] = {{-15, 5, "Expl. coeff    0.995"}, {0, 11, "Expl. coeff    0.500"}};
  for (const auto& row : rows) {
    Combined(true, 1, row.shift);
    m.type4.breakpoint = row.breakpoint2;
    Draw(GraphKind::Combined);
    EXPECT_EQ(canvas.Text(row.shown).size, 10) << row.shift;
  }
}

// Y values a tenth as large are drawn ten times larger: the same picture.
TEST_F(GraphDrawTest, CombinedLevelsAndSecondBlockFollowTheYFactor) {
  Combined(false, 0.9);
  ASSERT_EQ(p.yFactor, 1);
  Draw(GraphKind::Combined);
  const Segs lines = Drawn(canvas.Segments(c::Blue)), blocks = Drawn(canvas.Segments(c::Yellow));
  EXPECT_EQ(blocks.size(), 12u);
  Combined(false, 0.09);
  ASSERT_EQ(p.yFactor, 10);
  Draw(GraphKind::Combined);
  EXPECT_EQ(std::tuple(Drawn(canvas.Segments(c::Blue)), Drawn(canvas.Segments(c::Yellow))),
            std::tuple(lines, blocks));
}

enum class Kind { Regression, CalcObs, Type3Fitted, Type4Connecting, Combined };

class GraphKindTest : public GraphDrawTest, public ::testing::WithParamInterface<Kind> {
 protected:
  void SetUp() override {
    switch (GetParam()) {
      case Kind::Regression: Regression(FunctionType::StraightLine, 0.25); break;
      case Kind::CalcObs: o.calcObs = true, Prepare({1, 2, 3}, {0.5, 0.7, 0.9}, {0.45, 0.8, 1.0}); break;
      case Kind::Type3Fitted: Partial(FunctionType::Threshold, true); break;
      case Kind::Type4Connecting: Partial(FunctionType::Plateau, false); break;
      case Kind::Combined: Combined(true); break;
    }
    o.belt = o.block = true;
  }
  DrawOutcome Draw() {
    static constexpr GraphKind kinds[] = {GraphKind::Regression, GraphKind::CalcObs, GraphKind::Partial,
                                          GraphKind::Partial, GraphKind::Combined};
    return GraphDrawTest::Draw(kinds[int(GetParam())]);
  }
};

TEST_P(GraphKindTest, BlackAndWhiteDrawsOnlyBlackOnWhite) {
  o.colour = false;
  ASSERT_TRUE(Draw().drawn);
  const auto fills = canvas.All<test::FillOp>();
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_EQ(std::tuple(fills[0].brush, fills[1].brush), std::tuple(c::Silver, c::White));
  for (const SegmentOp& seg : canvas.All<SegmentOp>()) EXPECT_EQ(seg.colour, c::Black);
  for (const TextOp& t : canvas.All<TextOp>()) EXPECT_EQ(t.colour, c::Black) << t.text;
}

// Without variation in the data, or with an axis without length, the
// graph is refused with its message and nothing is drawn.
TEST_P(GraphKindTest, RefusalsDrawNothing) {
  const bool regression = GetParam() == Kind::Regression || GetParam() == Kind::CalcObs;
  const double xMax = p.xMax;
  p.xMax = p.xMin;
  DrawOutcome outcome = Draw();
  EXPECT_EQ(outcome.message, std::string("Graph could not be made due to absence of data") +
                                 (regression ? "" : " variation"));
  EXPECT_TRUE(!outcome.drawn && canvas.ops.empty());
  p.xMax = xMax;
  p.xAxis.high = p.xAxis.low;
  outcome = Draw();
  EXPECT_EQ(outcome.message, "The graph could not be drawn: an axis has the same value at both ends.");
  EXPECT_FALSE(outcome.drawn);
}

std::string KindName(const ::testing::TestParamInfo<Kind>& info) {
  const char* const names[] = {"Regression", "CalcObs", "Type3Fitted", "Type4Connecting", "Combined"};
  return names[int(info.param)];
}
INSTANTIATE_TEST_SUITE_P(Kinds, GraphKindTest,
                         ::testing::Values(Kind::Regression, Kind::CalcObs, Kind::Type3Fitted,
                                           Kind::Type4Connecting, Kind::Combined),
                         KindName);

TEST_F(GraphDrawTest, ValuesFarOutsideTheAxesRefuseTheGraph) {
  const char* const tooFar = "The graph could not be drawn: a value lies too far outside the axes.";
  Regression(FunctionType::NoRelation, 0);
  m.all.avY = 1e12;
  EXPECT_EQ(Draw(GraphKind::Regression).message, tooFar);
  // One data set on each side leaves the belt without a width, which only
  // matters once the belt is drawn.
  Partial(FunctionType::Threshold, true);
  m.below.n = m.above.n = 1;
  EXPECT_TRUE(Draw(GraphKind::Partial).drawn);
  o.belt = true;
  const DrawOutcome refused = Draw(GraphKind::Partial);
  EXPECT_EQ(std::tuple(refused.drawn, refused.message), std::tuple(false, std::string(tooFar)));
}

}  // namespace
}  // namespace kinvalo
