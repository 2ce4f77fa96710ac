#include "lsq/least_squares.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include <boost/math/distributions/fisher_f.hpp>

#include "core/headless_platform.h"
#include "data/working_data.h"
#include "lsq/breakpoint_test.h"
#include "lsq/random_words.h"
#include "support/norris.h"

namespace kinvalo {
namespace {

struct Data {
  std::vector<double> x, y;
};

Data Example(const std::string& name) {
  HeadlessPlatform platform;
  WorkingData dm(platform);
  dm.FileName = std::string(KINVALO_EXAMPLES) + "/" + name + ".inp";
  EXPECT_TRUE(dm.ReadInputFile());
  return {{dm.XData.begin(), dm.XData.begin() + dm.NrOfData}, {dm.YData.begin(), dm.YData.begin() + dm.NrOfData}};
}

LeastSquaresFit Fit(const Data& d, int percent = 90, int samples = 0) {
  return FitLeastSquares({d.x, d.y, Confidence::FromPercent(percent), std::nullopt, std::nullopt, samples});
}

// Within half a unit of the last digit that `printed` shows.
void ExpectPrinted(double value, const char* printed, const std::string& what) {
  if (printed == nullptr) return;
  const std::string text = printed;
  const size_t point = text.find('.');
  const int decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
  EXPECT_NEAR(value, std::stod(text), 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9)) << what;
}

// Values computed independently in R on the examples, limits at 90, 95 and
// 98 %.
struct RRow {
  const char* file;
  FunctionType type;
  const char *c, *a, *b, *bSE, *r2;
  std::array<const char*, 6> limits;
};

void PrintTo(const RRow& row, std::ostream* out) { *out << row.file; }

class RTable : public ::testing::TestWithParam<RRow> {};

TEST_P(RTable, MatchesRToThePrintedDigits) {
  const RRow& row = GetParam();
  const Data data = Example(row.file);
  const int percents[] = {90, 95, 98};
  for (int k = 0; k < 3; ++k) {
    const LeastSquaresFit fit = Fit(data, percents[k]);
    ASSERT_FALSE(fit.unfit);
    const BrokenLineFit& s = row.type == FunctionType::Threshold ? fit.type3 : fit.type4;
    const std::string at = " at " + std::to_string(percents[k]) + " %";
    ExpectPrinted(s.breakpoint, row.c, "c");
    ExpectPrinted(s.level, row.a, "a");
    ExpectPrinted(s.slope, row.b, "b");
    ExpectPrinted(s.slopeSE, row.bSE, "SE of b");
    ExpectPrinted(s.r2, row.r2, "R^2");
    ExpectPrinted(s.limits.left, row.limits[2 * k], "left limit" + at);
    ExpectPrinted(s.limits.right, row.limits[2 * k + 1], "right limit" + at);
    EXPECT_TRUE(s.limits.oneInterval && !s.limits.leftOpen && !s.limits.rightOpen) << at;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RTable,
    ::testing::Values(RRow{"salinity", FunctionType::Threshold, "5.7823", "100.79", "-6.9187", "0.1685", "0.97795",
                           {"5.4278", "6.1091", "5.3528", "6.1800", "5.2612", "6.2623"}},
                      RRow{"fertiliser", FunctionType::Plateau, "129.86", "6.7267", "0.032268", "0.0005472",
                           "0.99032", {"125.89", "134.10", "125.12", "135.00", "124.20", "136.08"}},
                      RRow{"waterlogging", FunctionType::Plateau, "21.697", nullptr, nullptr, nullptr, "0.97520",
                           {"20.422", "23.156", "20.144", "23.480", "19.821", "24.046"}},
                      RRow{"watertable", FunctionType::Plateau, "112.37", nullptr, nullptr, nullptr, "0.89279",
                           {"103.97", "120.23", "102.48", "122.80", "100.75", "125.99"}}),
    [](const auto& info) { return std::string(info.param.file); });

TEST(LeastSquaresLine, MatchesTheCertifiedNorrisResults) {
  const LeastSquaresFit fit = Fit({test::kNorrisX, test::kNorrisY});
  ASSERT_FALSE(fit.unfit);
  const StraightLineFit& line = fit.line;
  EXPECT_NEAR(line.intercept, -0.262323073774029, 1e-12);
  EXPECT_NEAR(line.slope, 1.00211681802045, 1e-13);
  EXPECT_NEAR(line.slopeSE, 0.429796848199937E-03, 1e-15);
  EXPECT_NEAR(line.residualSD, 0.884796396144373, 1e-12);
  EXPECT_NEAR(line.r2, 0.999993745883712, 1e-14);
  EXPECT_EQ(EquationText(line), "Y = -0.26232 + 1.0021 X");
}

// The residual sum of squares of a broken line with its breakpoint held at
// c: a plain straight-line fit of Y on z, taken about the means.
double DirectRSS(const Data& d, FunctionType type, double c) {
  const size_t n = d.x.size();
  std::vector<double> z(n);
  double mz = 0, my = 0;
  for (size_t i = 0; i < n; ++i) {
    z[i] = type == FunctionType::Threshold ? std::max(d.x[i] - c, 0.0) : std::min(d.x[i] - c, 0.0);
    mz += z[i] / static_cast<double>(n);
    my += d.y[i] / static_cast<double>(n);
  }
  double szz = 0, szy = 0, syy = 0;
  for (size_t i = 0; i < n; ++i) {
    szz += (z[i] - mz) * (z[i] - mz);
    szy += (z[i] - mz) * (d.y[i] - my);
    syy += (d.y[i] - my) * (d.y[i] - my);
  }
  return szz > 0 ? syy - szy * szy / szz : syy;
}

// Random data with ties on few distinct X, some broken, some straight,
// some noise: no c of a fine scan beats the exact minimum, and the
// confidence set holds exactly the scanned c that pass the F test (the end
// where the broken line degenerates to a constant aside).
TEST(LeastSquaresBrokenLine, ExactMinimumAndLimitsAgreeWithABruteForceScan) {
  std::mt19937_64 random(11);
  for (int set = 0; set < 60; ++set) {
    const int distinct = 5 + set % 8;
    const int n = 12 + static_cast<int>(random() % 40);
    std::vector<double> levels(distinct);
    for (int k = 0; k < distinct; ++k) levels[k] = k * 1.5 + static_cast<double>(random() % 100) / 100;
    std::normal_distribution<double> noise(0, 1);
    const double bend = levels[1 + random() % (distinct - 2)], slope = (set % 3) * 0.8 - 0.8;
    Data d;
    for (int i = 0; i < n; ++i) {
      const double x = levels[i < distinct ? i : random() % distinct];
      d.x.push_back(x);
      d.y.push_back((set % 2 ? std::max(x - bend, 0.0) : std::min(x - bend, 0.0)) * slope + noise(random));
    }
    const LeastSquaresFit fit = Fit(d, 95);
    ASSERT_FALSE(fit.unfit);
    const double sst = DirectRSS(d, FunctionType::Threshold, 1e9);
    const double perDf =
        boost::math::quantile(boost::math::fisher_f_distribution<double>(1, n - 3), 0.95) / (n - 3);
    const double xMin = *std::min_element(d.x.begin(), d.x.end());
    const double xMax = *std::max_element(d.x.begin(), d.x.end());
    for (const BrokenLineFit* s : {&fit.type3, &fit.type4}) {
      const std::string where = "set " + std::to_string(set) + ", type " + std::to_string(FileNumber(s->type));
      EXPECT_NEAR(DirectRSS(d, s->type, s->breakpoint), s->rss, 1e-9 * sst) << where;
      const double threshold = s->rss * (1 + perDf);
      for (int k = 0; k <= 4000; ++k) {
        const double c = std::min(xMin + (xMax - xMin) * k / 4000, xMax);
        if (c == (s->type == FunctionType::Threshold ? xMax : xMin)) continue;
        const double rss = DirectRSS(d, s->type, c);
        ASSERT_GE(rss, s->rss - 1e-9 * sst) << where << ", c " << c;
        if (std::fabs(rss - threshold) > 1e-7 * sst) {
          ASSERT_EQ(s->limits.Contains(c), rss < threshold) << where << ", c " << c;
        }
      }
    }
  }
}

// Where the data lie and in what units they are measured changes nothing
// but the units of the answer.
TEST(LeastSquaresBrokenLine, ShiftedAndScaledDataGiveTheSameAnswer) {
  const Data data = Example("salinity");
  Data moved;
  for (size_t i = 0; i < data.x.size(); ++i) {
    moved.x.push_back(2e7 + 1000 * data.x[i]);
    moved.y.push_back(5e5 - 3 * data.y[i]);
  }
  const LeastSquaresFit a = Fit(data, 95, kAutomaticSamples), b = Fit(moved, 95, kAutomaticSamples);
  for (auto shape : {&LeastSquaresFit::type3, &LeastSquaresFit::type4}) {
    const BrokenLineFit &s = a.*shape, &t = b.*shape;
    EXPECT_NEAR(t.breakpoint, 2e7 + 1000 * s.breakpoint, 1e-6);
    EXPECT_NEAR(t.limits.left, 2e7 + 1000 * s.limits.left, 1e-6);
    EXPECT_NEAR(t.limits.right, 2e7 + 1000 * s.limits.right, 1e-6);
    EXPECT_NEAR(t.level, 5e5 - 3 * s.level, 1e-7);
    EXPECT_NEAR(t.slope, -0.003 * s.slope, 1e-12);
    EXPECT_NEAR(t.r2, s.r2, 1e-12);
    EXPECT_NEAR(*t.supF, *s.supF, 1e-8 * (1 + *s.supF));
    EXPECT_EQ(t.pValue, s.pValue);
  }
  EXPECT_EQ(a.type3.pValue, 0.01);  // no sample of the line comes near the data
  EXPECT_EQ(a.type4.pValue, 1.0);   // Type 4 is the straight line here
}

struct BadInput {
  const char* name;
  Data data;
  const char* message;
};

void PrintTo(const BadInput& input, std::ostream* out) { *out << input.name; }

class BadInputs : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputs, GiveASentenceAndNoValues) {
  const LeastSquaresFit fit = Fit(GetParam().data, 90, kAutomaticSamples);
  ASSERT_TRUE(fit.unfit);
  EXPECT_EQ(*fit.unfit, GetParam().message);
  EXPECT_FALSE(fit.type3.supF || fit.type3.pValue || fit.type4.pValue);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Examples, BadInputs,
    ::testing::Values(
        BadInput{"FourDistinctX", {{1, 1, 2, 2, 3, 3, 4, 4}, {1, 2, 3, 4, 5, 6, 7, 8}},
                 "The least-squares fits need at least 5 different X values; the data have 4."},
        BadInput{"NoData", {}, "The least-squares fits need at least 5 different X values; the data have 0."},
        BadInput{"AllXEqual", {{2, 2, 2, 2, 2, 2}, {1, 2, 3, 4, 5, 6}},
                 "All X values are equal, so least squares can fit neither a line nor a breakpoint."},
        BadInput{"AllYEqual", {{1, 2, 3, 4, 5, 6}, {3, 3, 3, 3, 3, 3}},
                 "All Y values are equal, so there is no slope and no breakpoint for least squares to find."},
        BadInput{"NotFinite", {{1, 2, 3, 4, 5, kNaN}, {1, 2, 3, 4, 5, 6}},
                 "The least-squares fits need finite X and Y values."}),
    [](const auto& info) { return std::string(info.param.name); });

// 200 simulated data sets of 40, half a threshold (Type 3) and half a
// plateau (Type 4): the 90 % limits hold the true breakpoint of 180 of
// them, give or take what chance allows (3.3 standard deviations).
TEST(LeastSquaresLimits, CoverTheTrueBreakpointAtTheirLevel) {
  std::mt19937_64 random(2024);
  std::uniform_real_distribution<double> unit(0, 1);
  std::normal_distribution<double> noise(0, 1);
  int covered = 0;
  for (int set = 0; set < 200; ++set) {
    const bool threshold = set % 2 == 0;
    Data d;
    for (int i = 0; i < 40; ++i) {
      const double x = threshold ? 1 + 13 * unit(random) : 40 * unit(random);
      d.x.push_back(x);
      d.y.push_back(threshold ? (x < 6 ? 100 : 100 - 7.1 * (x - 6)) + 3 * noise(random)
                              : (x < 22 ? 6.2 - 0.17 * x : 2.46) + 0.25 * noise(random));
    }
    const LeastSquaresFit fit = Fit(d);
    covered += (threshold ? fit.type3 : fit.type4).limits.Contains(threshold ? 6 : 22) ? 1 : 0;
  }
  EXPECT_GE(covered, 166);
  EXPECT_LE(covered, 194);
}

// The samples of the bootstrap of 20000 data are shared out between two
// threads; each sample still draws the same words, so the p-values are
// those one thread found, here in the middle of their range.
TEST(BreakpointTestTest, SamplesSharedBetweenThreadsGiveTheSamePValues) {
  std::vector<double> x;
  for (int i = 0; i < 20000; ++i) x.push_back(0.05 * (i / 40) + (i % 40 == 0 ? 0.001 : 0));
  const BreakpointPValues p = BootstrapBreakpointTest({x, 0.3, 20000, 19999, 19999.6, 99, 987654321});
  EXPECT_EQ(p.type3, 0.21);
  EXPECT_EQ(p.type4, 0.34);
}

// The bootstrap's own generator gives the library's sequence word for
// word, however the words are asked for: the p-values of every stored
// .lsq file rest on it.
TEST(RandomWordsTest, TheWordsAreThoseOfTheLibrarysMersenneTwister) {
  for (const std::uint64_t seed : {std::uint64_t{0}, std::uint64_t{5489}, ~std::uint64_t{0}}) {
    std::mt19937_64 library(seed);
    RandomWords words(seed);
    for (const size_t chunk : {1, 311, 312, 313, 5000, 2}) {
      std::vector<std::uint64_t> got(chunk);
      words.Fill(got);
      for (size_t i = 0; i < chunk; ++i) ASSERT_EQ(got[i], library()) << "seed " << seed << ", chunk " << chunk;
    }
  }
}

}  // namespace
}  // namespace kinvalo
