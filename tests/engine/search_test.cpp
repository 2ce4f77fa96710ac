#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "core/format.h"
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
  // X values that agree to their tenth digit hold no variation a grid of
  // candidates could resolve; a narrow range far from zero is no reason.
  for (int i = 0; i < 12; ++i) narrow.push_back(5 + 1e-10 * i);
  for (int i = 0; i < 12; ++i) huge.push_back(i == 5 ? 1e300 : i);
  const Case cases[] = {{nine, kScarcityMessage}, {narrow, kNoVariationMessage}, {huge, kTooLargeMessage}};
  for (const Case& c : cases) {
    platform.messages.clear();
    SetData(c.x, std::vector<double>(c.x.size(), 1.0));
    Search();
    EXPECT_TRUE(result.refusal);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], c.message);
    EXPECT_EQ(dir.Listing(), "");
    EXPECT_TRUE(std::is_sorted(result.data.x.begin(), result.data.x.end())) << "the data are sorted";
  }
  // Ten distinct X values are enough, also in a range of 0.0009.
  std::vector<double> y;
  for (int i = 0; i < 30; ++i) y.push_back(ten[i] * 2 + (i % 3));
  for (double scale : {1.0, 1e-4}) {
    std::vector<double> x = ten;
    for (double& v : x) v *= scale;
    SetData(x, y);
    Search();
    EXPECT_FALSE(result.refusal) << scale;
    EXPECT_EQ(dir.Listing().find("run.out"), 0u);
  }
}

TEST_F(SearchTest, ThresholdDataGiveType3AtTheLastHash) {
  Generate(40, 1, 1, Threshold);
  Search();
  EXPECT_EQ(result.type, FunctionType::Threshold);
  EXPECT_EQ(result.method, 2);
  EXPECT_NEAR(result.breakpoint, 20, 2.5);
  EXPECT_EQ(result.breakpoint, result.type3.breakpoint);
  EXPECT_LT(result.type3.confLeft, result.type3.breakpoint);
  EXPECT_GT(result.type3.confRight, result.type3.breakpoint);
  // The candidates lie on a grid of 200 steps from the smallest X; the
  // scan stops before the last of them.
  ASSERT_TRUE(result.explanation);
  const auto& rows = result.explanation->rows;
  for (size_t i = 0; i < rows.size(); ++i) {
    const double k = (rows[i].breakpoint - 1.0) / (39.0 / 200);
    EXPECT_NEAR(k, std::round(k), 1e-9) << rows[i].breakpoint;
  }
  EXPECT_LT(rows.back().breakpoint, 1.0 + 198.5 * 39.0 / 200);

  const auto marks = Marks();
  ASSERT_FALSE(marks.empty());
  std::string lastHash;
  for (const auto& [bp, mark] : marks) {
    if (mark == '#') lastHash = bp;
  }
  EXPECT_EQ(lastHash, F(result.type3.breakpoint, 8, 2));
  // Rows need 3 data on each side: the first row has Nr1 of 3.
  EXPECT_EQ(Lines(".txt")[14].substr(8, 4), "   3");
  EXPECT_EQ(Lines(".txt")[0], dir / "run.txt");
  EXPECT_EQ(dir.Listing(), "run.out run.txt run.var ") << "no temporary file is left";
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SearchTest, NegativePlateauGivesType4AndTheFirstRowShowsO) {
  Generate(40, 5, 1, FallingPlateau);
  Search();
  EXPECT_LT(result.slopeAll, 0);
  EXPECT_EQ(result.type, FunctionType::Plateau);
  EXPECT_NEAR(result.breakpoint, 25, 2.5);
  const auto marks = Marks();
  ASSERT_FALSE(marks.empty());
  EXPECT_EQ(marks.front().second, 'o');
  const auto lines = Lines(".txt");
  EXPECT_EQ(lines[8], " Check # = condition Slope2 > - StDevSlope2 is met, Slope2 may be taken zero");
  EXPECT_EQ(lines[10], " For relations of Type 4, the BP at the FIRST # sign is selected as threshold.");
}

TEST_F(SearchTest, AStraightLineGivesType1WithoutExplanationFile) {
  Generate(30, 0, 1, [](double x) { return 3 + 0.7 * x; }, 0.01);
  Search();
  EXPECT_EQ(result.type, FunctionType::StraightLine);
  EXPECT_EQ(result.breakpoint, result.xMin);
  EXPECT_FALSE(result.bothTypesFound);
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
  Search();
  EXPECT_EQ(result.xMin, 20240101);
  EXPECT_EQ(result.type, FunctionType::Threshold);
  EXPECT_NEAR(result.breakpoint, 20240120, 2.5);
}

TEST_F(SearchTest, ExtremeMagnitudesNeverReachAFileAsNanOrInf) {
  const double scales[][2] = {{1e-150, 1}, {1, 1e-150}, {1e90, 1e90}, {1e-5, 1e6}};
  for (const auto& scale : scales) {
    platform.messages.clear();
    Generate(40, 1 * scale[0], scale[0], [&](double x) { return Threshold(x / scale[0]) * scale[1]; });
    try {
      Search();
    } catch (const std::exception& e) {
      ADD_FAILURE() << scale[0] << " " << scale[1] << ": " << e.what();
      continue;
    }
    if (result.refusal) continue;
    for (const char* ext : {".out", ".var"}) {
      const std::string text = File(ext);
      EXPECT_EQ(text.find("nan"), std::string::npos) << scale[0] << " " << scale[1];
      EXPECT_EQ(text.find("inf"), std::string::npos) << scale[0] << " " << scale[1];
    }
  }
}

TEST_F(SearchTest, AFolderThatIsGoneAbortsWithoutLeavingHalfFiles) {
  Generate(40, 1, 1, Threshold);
  dm.FileName = dir / "gone/run.inp";
  EXPECT_THROW(Search(), std::runtime_error);
  EXPECT_EQ(dir.Listing(), "");
}

}  // namespace
}  // namespace kinvalo
