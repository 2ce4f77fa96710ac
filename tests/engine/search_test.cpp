// The search as a run sees it: refused data, extreme magnitudes and a
// folder that is gone. What it finds is pinned by the rules, the golden
// files and the equivariance of the reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "support/engine_fixture.h"

namespace kinvalo {
namespace {

using test::EngineTest;

double Threshold(double x) { return x < 20 ? 10 : 10 + 0.5 * (x - 20); }

// Fewer than ten distinct X values, X values that agree to their tenth
// digit (no variation a grid of candidates could resolve; a narrow range
// far from zero is no reason) and values beyond 1E+100 are refused with
// their message, and nothing is written. Ten distinct X values are enough,
// also in a range of 0.0009.
TEST_F(EngineTest, TheSearchRefusesScarceOrConstantOrHugeXWithItsMessageAndWritesNothing) {
  const struct {
    double (*x)(int);
    const char* message;
  } cases[] = {{[](int i) { return i % 9 * 1.0; }, kScarcityMessage},
               {[](int i) { return 5 + 1e-10 * (i % 12); }, kNoVariationMessage},
               {[](int i) { return i == 5 ? 1e300 : i; }, kTooLargeMessage},
               {[](int i) { return i % 10 * 1.0; }, nullptr},
               {[](int i) { return i % 10 * 1e-4; }, nullptr}};
  for (const auto& c : cases) {
    platform.messages.clear();
    std::vector<double> x, y;
    for (int i = 0; i < 30; ++i) x.push_back(c.x(i)), y.push_back(i % 10 * 2 + i % 3);
    SetData(x, y);
    Search();
    EXPECT_TRUE(std::is_sorted(result.data.x.begin(), result.data.x.end())) << "the data are sorted";
    if (c.message) {
      EXPECT_EQ(platform.messages, std::vector<std::string>{c.message});
      EXPECT_EQ(dir.Listing(), "");
    } else {
      EXPECT_FALSE(result.refusal) << x[1];
      EXPECT_EQ(dir.Listing().find("run.out"), 0u);
    }
  }
}

TEST_F(EngineTest, ExtremeMagnitudesNeverReachAFileAsNanOrInf) {
  const std::pair<double, double> scales[] = {{1e-150, 1}, {1, 1e-150}, {1e90, 1e90}, {1e-5, 1e6}};
  for (const auto& scale : scales) {
    const double xs = scale.first, ys = scale.second;
    Generate(40, xs, xs, [&](double x) { return Threshold(x / xs) * ys; });
    EXPECT_NO_THROW(Search()) << xs << " " << ys;
    if (result.refusal) continue;
    for (const char* ext : {".out", ".var"}) {
      EXPECT_EQ(File(ext).find("nan"), std::string::npos) << xs << " " << ys;
      EXPECT_EQ(File(ext).find("inf"), std::string::npos) << xs << " " << ys;
    }
  }
}

TEST_F(EngineTest, AFolderThatIsGoneAbortsWithoutLeavingHalfFiles) {
  Generate(40, 1, 1, Threshold);
  dm.FileName = dir / "gone/run.inp";
  EXPECT_THROW(Search(), std::runtime_error);
  EXPECT_EQ(dir.Listing(), "");
}

}  // namespace
}  // namespace kinvalo
