#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "core/format.h"
#include "engine/engine.h"
#include "support/engine_fixture.h"

namespace kinvalo {
namespace {

using test::EngineTest;

double Threshold(double x) { return x < 20 ? 10 : 10 + 0.5 * (x - 20); }
double FallingPlateau(double x) { return x < 25 ? 30 - 0.8 * (x - 5) : 14; }

class SearchTest : public EngineTest {
 protected:
  // The check marks of the explanation table, with the BP text of each row.
  std::vector<std::pair<std::string, char>> Marks() const {
    std::vector<std::pair<std::string, char>> rows;
    const auto lines = Lines(".txt");
    for (size_t i = 14; i < lines.size(); ++i) rows.emplace_back(lines[i].substr(0, 8), lines[i].back());
    return rows;
  }
};

TEST_F(SearchTest, RefusesScarceOrConstantOrHugeXWithItsMessageAndWritesNothing) {
  struct Case {
    std::vector<double> x;
    std::string message;
  };
  std::vector<double> nine, ten, narrow, huge;
  for (int i = 0; i < 30; ++i) nine.push_back(i % 9);
  for (int i = 0; i < 30; ++i) ten.push_back(i % 10);
  for (int i = 0; i < 12; ++i) narrow.push_back(5 + 0.00008 * i);
  for (int i = 0; i < 12; ++i) huge.push_back(i == 5 ? 1e300 : i);
  const Case cases[] = {{nine, kScarcityMessage}, {narrow, kNoVariationMessage}, {huge, kTooLargeMessage}};
  for (const Case& c : cases) {
    platform.messages.clear();
    SetData(c.x, std::vector<double>(c.x.size(), 1.0));
    PartialRegression(s);
    EXPECT_TRUE(s.R.DataUnfit);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], c.message);
    EXPECT_EQ(dir.Listing(), "");
    EXPECT_TRUE(std::is_sorted(s.DM.XData.begin(), s.DM.XData.end())) << "the data stay sorted";
  }
  // Ten distinct X values are enough.
  std::vector<double> y;
  for (int i = 0; i < 30; ++i) y.push_back(ten[i] * 2 + (i % 3));
  SetData(ten, y);
  PartialRegression(s);
  EXPECT_FALSE(s.R.DataUnfit);
  EXPECT_EQ(dir.Listing().find("run.out"), 0u);
}

TEST_F(SearchTest, ThresholdDataGiveType3AtTheLastHash) {
  Generate(40, 1, 1, Threshold);
  PartialRegression(s);
  EXPECT_EQ(s.R.ResultType, 3);
  EXPECT_EQ(s.R.ResultMethod, 2);
  EXPECT_NEAR(s.R.BreakPoint, 20, 2.5);
  EXPECT_EQ(s.R.BreakPoint, s.R.BPType3);
  EXPECT_LT(s.R.ConfBPLeftType3, s.R.BPType3);
  EXPECT_GT(s.R.ConfBPRightType3, s.R.BPType3);
  // The candidates lie on a grid of 200 steps from the smallest X.
  EXPECT_DOUBLE_EQ(s.Reg.BPStep, 39.0 / 200);
  EXPECT_DOUBLE_EQ(s.Reg.BPCandidate[1], 1.0);
  EXPECT_DOUBLE_EQ(s.Reg.BPCandidate[200], 1.0 + 199 * 39.0 / 200);

  const auto marks = Marks();
  ASSERT_FALSE(marks.empty());
  std::string lastHash;
  for (const auto& [bp, mark] : marks) {
    if (mark == '#') lastHash = bp;
  }
  EXPECT_EQ(lastHash, F(s.R.BPType3, 8, 2));
  // Rows need 3 data on each side: the first row has Nr1 of 3.
  EXPECT_EQ(Lines(".txt")[14].substr(8, 4), "   3");
  EXPECT_EQ(Lines(".txt")[0], dir / "run.txt");
  EXPECT_EQ(s.DM.FileName, dir / "run.var");
  EXPECT_EQ(s.DM.GraphXData, s.DM.XData) << "the graphs get the sorted data";
  EXPECT_EQ(dir.Listing(), "run.out run.txt run.var ") << "no temporary file is left";
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SearchTest, NegativePlateauGivesType4AndTheFirstRowShowsO) {
  Generate(40, 5, 1, FallingPlateau);
  PartialRegression(s);
  EXPECT_LT(s.R.SlopeAll, 0);
  EXPECT_EQ(s.R.ResultType, 4);
  EXPECT_NEAR(s.R.BreakPoint, 25, 2.5);
  const auto marks = Marks();
  ASSERT_FALSE(marks.empty());
  EXPECT_EQ(marks.front().second, 'o');
  const auto lines = Lines(".txt");
  EXPECT_EQ(lines[8], " Check # = condition Slope2 > - StDevSlope2 is met, Slope2 may be taken zero");
  EXPECT_EQ(lines[10], " For relations of Type 4, the BP at the FIRST # sign is selected as threshold.");
}

TEST_F(SearchTest, PreferenceDecidesAndExplainsAMissingType) {
  Generate(40, 1, 1, Threshold);
  Prefer(Preference::PreferType4);
  PartialRegression(s);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0], kType4NotFound);
  EXPECT_EQ(s.R.ResultType, 3) << "Type 3 explains more and is taken instead";
  EXPECT_TRUE(s.R.SkipType4);
  const auto out = Lines(".out");
  EXPECT_EQ(out[13], " X-type excluded: 4 ");
  EXPECT_EQ(out[14], " X-type preferred: 4 ");

  platform.messages.clear();
  Prefer(Preference::PreferType3);
  Generate(40, 1, 1, Threshold);
  PartialRegression(s);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(s.R.ResultType, 3);
}

TEST_F(SearchTest, AStraightLineGivesType1WithoutExplanationFile) {
  Generate(30, 0, 1, [](double x) { return 3 + 0.7 * x; }, 0.01);
  PartialRegression(s);
  EXPECT_EQ(s.R.ResultType, 1);
  EXPECT_EQ(s.R.BreakPoint, s.R.XMin);
  EXPECT_FALSE(s.R.BothTypesFound);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0], kNoHorizontalSegment);
  EXPECT_EQ(dir.Listing(), "run.out run.var ");
  const std::string out = File(".out");
  EXPECT_EQ(out.find(" Data with X < BPx :"), std::string::npos);
  EXPECT_EQ(out.find("Parameters for function"), std::string::npos);
  EXPECT_NE(out.find(" The regression equation is:  Y = A.X + C\r\n\r\n      A =  7.00E-001     C =  3.00E+000\r\n"),
            std::string::npos);
  EXPECT_EQ(File(".var").substr(0, 12), " 1\r\n   30\r\n ");
  EXPECT_NE(File(".var").find("\r\n -99999\r\n"), std::string::npos);
}

TEST_F(SearchTest, XValuesAboveAMillionAreScannedWhereTheyLie) {
  // Dates written as numbers.
  Generate(40, 20240101, 1, [](double x) { return Threshold(x - 20240100); });
  PartialRegression(s);
  EXPECT_EQ(s.R.XMin, 20240101);
  EXPECT_EQ(s.Reg.BPCandidate[1], 20240101);
  EXPECT_EQ(s.R.ResultType, 3);
  EXPECT_NEAR(s.R.BreakPoint, 20240120, 2.5);
}

TEST_F(SearchTest, ExtremeMagnitudesNeverReachAFileAsNanOrInf) {
  const double scales[][2] = {{1e-150, 1}, {1, 1e-150}, {1e90, 1e90}, {1e-5, 1e6}};
  for (const auto& scale : scales) {
    platform.messages.clear();
    Generate(40, 1 * scale[0], scale[0], [&](double x) { return Threshold(x / scale[0]) * scale[1]; });
    try {
      PartialRegression(s);
    } catch (const std::exception& e) {
      ADD_FAILURE() << scale[0] << " " << scale[1] << ": " << e.what();
      continue;
    }
    if (s.R.DataUnfit) continue;
    for (const char* ext : {".out", ".var"}) {
      const std::string text = File(ext);
      EXPECT_EQ(text.find("nan"), std::string::npos) << scale[0] << " " << scale[1];
      EXPECT_EQ(text.find("inf"), std::string::npos) << scale[0] << " " << scale[1];
    }
  }
}

TEST_F(SearchTest, AFolderThatIsGoneAbortsWithoutLeavingHalfFiles) {
  Generate(40, 1, 1, Threshold);
  s.DM.FileName = dir / "gone/run.inp";
  EXPECT_THROW(PartialRegression(s), std::runtime_error);
  EXPECT_EQ(dir.Listing(), "");
}

}  // namespace
}  // namespace kinvalo
