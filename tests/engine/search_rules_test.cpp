// The rules of the search pinned on a table of shapes: thresholds and
// plateaus near the ends of the X range and in the middle, rising and
// falling, quiet and noisy, under each preference. Each row gives what a
// user reads of the result: the type, the breakpoint with its confidence
// limits and the level of both types, and what was excluded. A changed
// factor of a test, a changed band of the limits or a changed range of
// accepted breakpoints changes some rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "engine/breakpoint_search.h"

namespace kinvalo {
namespace {

struct Shape {
  const char* name;
  bool plateau;    // sloping then level, else level then sloping
  double at;       // the breakpoint as a fraction of the X range
  double slope;    // of the sloping segment
  double noise;    // amplitude of the deterministic wobble
  Preference preference;
  const char* expected;
  // When above `at`: the sloping segment ends here and a second level
  // follows (a threshold and a plateau in one).
  double until = 0;
  int count = 60;      // data sets, at X near 0, 1, 2, ...
  double phase = 0.4;  // of the wobble
  double shift = 0;    // added to every X
  int ties = 0;        // the first data sets all at the smallest X
  int top = 0;         // the last data sets crowded into the last 1% of the X range
};

void PrintTo(const Shape& s, std::ostream* os) { *os << s.name; }

SearchInput Data(const Shape& s) {
  SearchInput in;
  const int n = s.count;
  const double span = n - 1;
  const double bp = span * s.at;
  for (int i = 0; i < n; ++i) {
    double x = i + 0.3 * std::sin(0.9 * i);
    if (i < s.ties) x = 0;
    if (i >= n - s.top) x = span - 0.002 * span * (n - 1 - i);
    const double sloping = s.plateau ? x < bp : x >= bp;
    const double end = span * s.until;
    const double rise = s.until > s.at ? s.slope * (std::clamp(x, bp, end) - bp) : sloping ? s.slope * (x - bp) : 0;
    const double y = 20 + rise +
                     s.noise * (std::sin(2.3 * i + s.phase) + 0.5 * std::cos(5.1 * i));
    in.x.push_back(x + s.shift);
    in.y.push_back(y);
  }
  in.nrOfInputData = n;
  return in;
}

// The type, and for Type 3 and 4 the values their report prints: both
// breakpoints with their limits and levels; what was excluded and how
// many messages were given.
std::string Summary(const SearchResult& r) {
  char text[320];
  if (!HasHorizontalSegment(r.type)) {
    std::snprintf(text, sizeof text, "T%d slope=%.4f skip=%d%d notices=%zu", FileNumber(r.type), r.slopeAll,
                  r.skipType3, r.skipType4, r.notices.size());
    return text;
  }
  std::snprintf(text, sizeof text, "T%d bp=%.4f 3:%.4f[%.4f,%.4f]%.3f 4:%.4f[%.4f,%.4f]%.3f skip=%d%d both=%d notices=%zu",
                FileNumber(r.type), r.breakpoint, r.type3.breakpoint, r.type3.confLeft, r.type3.confRight,
                r.type3.level, r.type4.breakpoint, r.type4.confLeft, r.type4.confRight, r.type4.level,
                r.skipType3, r.skipType4, r.bothTypesFound, r.notices.size());
  return text;
}

class SearchRulesTest : public ::testing::TestWithParam<Shape> {};

TEST_P(SearchRulesTest, GivesTheResultOfItsShape) {
  const Shape& s = GetParam();
  const SearchResult r = RunBreakpointSearch(Data(s), {Confidence(), s.preference, "", "", ""});
  EXPECT_EQ(Summary(r), s.expected);
}

constexpr Preference Best = Preference::BestOfTwo, P3 = Preference::PreferType3, P4 = Preference::PreferType4;

// Sweeps of one parameter, each step giving the type found: where the
// type changes pins the range of accepted breakpoints, the factors of the
// tests and the preference rule.
struct Sweep {
  const char* name;
  double from, step;  // the swept parameter
  int steps;
  Shape (*shape)(double);
  const char* types;
  bool withCandidates = false;
};

class SearchSweepTest : public ::testing::TestWithParam<Sweep> {};

TEST_P(SearchSweepTest, ChangesTypeWhereItShould) {
  const Sweep& sweep = GetParam();
  std::string types;
  for (int k = 0; k < sweep.steps; ++k) {
    const Shape s = sweep.shape(sweep.from + k * sweep.step);
    const SearchResult r = RunBreakpointSearch(Data(s), {Confidence(), s.preference, "", "", ""});
    types += std::to_string(FileNumber(r.type));
    if (sweep.withCandidates && HasHorizontalSegment(r.type)) {
      // The candidate the breakpoint lies on, and its left and right limits
      // in candidate steps.
      const double step = (r.xMax - r.xMin) / kCandidates;
      const PartialResult& t = r.type == FunctionType::Threshold ? r.type3 : r.type4;
      auto at = [&](double x) { return std::lround((x - r.xMin) / step); };
      char text[64];
      std::snprintf(text, sizeof text, "@%ld[%ld,%ld]", at(t.breakpoint), at(t.confLeft), at(t.confRight));
      types += text;
    }
    types += " ";
  }
  EXPECT_EQ(types, sweep.types);
}

Shape Threshold(double at) { return {"", false, at, 0.8, 0.05, Preference::BestOfTwo, ""}; }
Shape Plateau(double at) { return {"", true, at, 0.8, 0.05, Preference::BestOfTwo, ""}; }
Shape NoisyThreshold(double noise) { return {"", false, 0.5, 0.3, noise, Preference::BestOfTwo, ""}; }
Shape NoisyPlateau(double noise) { return {"", true, 0.5, 0.3, noise, Preference::BestOfTwo, ""}; }
Shape BothPrefer3(double at) { return {"", false, at, 0.5, 0.3, Preference::PreferType3, "", 0.8}; }
Shape LongRisePrefer3(double until) { return {"", false, 0.25, 0.5, 0.3, Preference::PreferType3, "", until}; }
Shape BothPrefer4(double at) { return {"", false, at, 0.5, 0.3, Preference::PreferType4, "", 0.8}; }

INSTANTIATE_TEST_SUITE_P(
    Sweeps, SearchSweepTest,
    ::testing::Values(Sweep{"ThresholdLowEnd", 0.02, 0.005, 16, Threshold, "1 1 1 1 1 1 1 3 3 1 3 3 3 3 3 3 "},
                      Sweep{"ThresholdHighEnd", 0.86, 0.0025, 20, Threshold, "3 3 3 3 3 3 3 3 3 3 3 1 1 1 1 1 1 1 1 1 "},
                      Sweep{"PlateauLowEnd", 0.07, 0.0025, 16, Plateau, "1 1 1 1 1 1 1 1 1 1 1 1 1 1 4 4 "},
                      Sweep{"PlateauHighEnd", 0.9, 0.005, 16, Plateau, "4 4 4 1 1 1 1 1 1 1 1 1 1 1 1 1 "},
                      Sweep{"ThresholdNoise", 1.0, 1.0, 14, NoisyThreshold, "3@122[114,130] 3@128[122,135] 3@138[128,144] 3@142[135,149] "
                             "3@149[138,157] 3@158[142,162] 3@158[142,164] 3@158[149,164] "
                             "3@165[149,170] 3@170[155,175] 3@178[160,181] 3@178[160,181] 1 1 ", true},
                      Sweep{"PlateauNoise", 1.0, 1.0, 14, NoisyPlateau, "4@82[74,94] 4@79[71,91] 4@64[58,82] 4@61[55,75] 4@61[55,75] "
                             "4@52[47,67] 4@48[43,63] 4@48[43,63] 4@48[43,63] 4@48[43,63] "
                             "4@37[33,53] 4@37[33,56] 4@37[33,56] 4@37[33,61] ", true},
                      Sweep{"BothPreferringType3", 0.1, 0.05, 14, BothPrefer3, "3@27[26,44] 3@36[34,52] 3@47[45,62] 3@57[54,71] 3@66[63,79] "
                             "3@78[74,90] 3@86[82,97] 3@98[93,108] 3@107[102,116] 3@118[112,126] "
                             "3@128[122,135] 3@138[131,144] 3@149[142,154] 3@155[147,160] ", true},
                      Sweep{"LongRisePreferringType3", 0.4, 0.04, 15, LongRisePrefer3, "4@72[65,85] 1 1 3@57[54,71] 3@57[54,71] 3@57[54,71] 3@57[54,71] "
                             "3@57[54,71] 3@57[54,71] 3@57[54,71] 3@57[54,71] 3@57[54,71] "
                             "3@57[54,71] 3@57[54,71] 3@57[54,71] ", true},
                      Sweep{"BothPreferringType4", 0.1, 0.05, 14, BothPrefer4, "4@153[138,158] 4@153[138,158] 4@153[138,158] 4@153[138,158] "
                             "4@153[138,158] 4@153[138,158] 4@153[138,158] 1 1 3@118[112,126] "
                             "3@128[122,135] 3@138[131,144] 3@149[142,154] 3@155[147,160] ", true}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Shapes, SearchRulesTest,
    ::testing::Values(
        Shape{"ThresholdNearTheLowEnd", false, 0.08, 0.5, 0.3, Best,
              "T3 bp=6.7954 3:6.7954[6.1159,12.0250]20.144 4:6.7954[6.1159,12.0250]34.141 skip=01 both=0 notices=0"},
        Shape{"ThresholdAtTheLowEnd", false, 0.11, 0.5, 0.3, Best,
              "T3 bp=9.1591 3:9.1591[8.2432,14.1522]20.130 4:9.1591[8.2432,14.1522]33.763 skip=01 both=0 notices=0"},
        Shape{"ThresholdInTheMiddle", false, 0.5, 0.5, 0.3, Best,
              "T3 bp=31.6135 3:31.6135[30.0328,34.3612]20.046 4:31.6135[28.4522,34.3612]27.998 skip=01 both=0 notices=0"},
        Shape{"ThresholdNoisy", false, 0.5, 0.2, 2.0, Best,
              "T3 bp=40.7726 3:40.7726[37.8180,42.6044]20.291 4:40.7726[36.6953,42.6044]24.196 skip=01 both=0 notices=0"},
        Shape{"ThresholdAtTheHighEnd", false, 0.88, 0.8, 0.3, Best,
              "T1 slope=0.0350 skip=01 notices=1"},
        Shape{"ThresholdNearTheHighEnd", false, 0.93, 0.8, 0.3, Best,
              "T1 slope=0.0140 skip=01 notices=1"},
        Shape{"FallingThreshold", false, 0.4, -0.5, 0.3, Best,
              "T3 bp=24.8181 3:24.8181[23.5772,28.2453]19.988 4:24.8181[22.3363,28.2453]10.808 skip=01 both=0 notices=0"},
        Shape{"ThresholdPreferringType4", false, 0.4, 0.5, 0.3, P4,
              "T3 bp=25.4090 3:25.4090[24.1385,28.7772]20.042 4:25.4090[22.8681,28.7772]29.453 skip=01 both=0 notices=1"},
        Shape{"PlateauNearTheLowEnd", true, 0.07, 0.8, 0.3, Best,
              "T1 slope=0.0125 skip=10 notices=1"},
        Shape{"PlateauAtTheLowEnd", true, 0.12, 0.8, 0.3, Best,
              "T1 slope=0.0345 skip=10 notices=1"},
        Shape{"PlateauInTheMiddle", true, 0.5, 0.5, 0.3, Best,
              "T4 bp=26.8863 3:0.0000[-1.1732,5.9091]0.000 4:26.8863[24.1976,30.1067]19.974 skip=10 both=0 notices=0"},
        Shape{"PlateauNoisy", true, 0.5, 0.2, 2.0, Best,
              "T4 bp=18.9090 3:9.1591[8.7011,14.1522]14.936 4:18.9090[17.0181,24.2272]19.784 skip=10 both=1 notices=0"},
        Shape{"PlateauAtTheHighEnd", true, 0.89, 0.5, 0.3, Best,
              "T4 bp=50.5225 3:0.0000[-1.1732,5.9091]0.000 4:50.5225[45.4703,51.4089]19.896 skip=10 both=0 notices=0"},
        Shape{"PlateauNearTheHighEnd", true, 0.94, 0.5, 0.3, Best,
              "T1 slope=0.4927 skip=10 notices=1"},
        Shape{"FallingPlateau", true, 0.6, -0.5, 0.3, Best,
              "T4 bp=32.7953 3:0.0000[-1.1732,5.9091]0.000 4:32.7953[29.5158,35.4249]20.032 skip=10 both=0 notices=0"},
        Shape{"PlateauPreferringType3", true, 0.6, 0.5, 0.3, P3,
              "T4 bp=33.9771 3:0.0000[-1.1732,5.9091]0.000 4:33.9771[30.5794,36.4885]19.992 skip=10 both=0 notices=1"},
        Shape{"StraightLine", false, 0.0, 0.5, 0.3, Best,
              "T1 slope=0.4997 skip=10 notices=1"},
        Shape{"StraightLinePreferringType3", false, 0.0, 0.5, 0.3, P3,
              "T1 slope=0.4997 skip=10 notices=2"}),
    [](const auto& info) { return std::string(info.param.name); });

// Small data sets, each on the edge of one rule of the search: the factors
// of the tests and of the confidence limits, the counts a side needs, the
// candidates scanned and accepted, and the bands the limits are bounded
// to. Besides the summary above each row shows the standard error of the
// breakpoint and the explanation table: its rows, the counts below and
// above at its first and last row, the mark of its first row, and how many
// rows have a coefficient of 0 (a side with fewer than 4 data).
std::string Details(const SearchResult& r) {
  std::string text = Summary(r);
  char more[160];
  if (HasHorizontalSegment(r.type)) {
    std::snprintf(more, sizeof more, " se=%.4f",
                  r.type == FunctionType::Threshold ? r.type3.stErrBP : r.type4.stErrBP);
    text += more;
  }
  if (r.explanation) {
    const std::vector<ExplanationRow>& rows = r.explanation->rows;
    const auto zero = std::count_if(rows.begin(), rows.end(), [](const ExplanationRow& row) { return row.fit.coefExpl == 0; });
    std::snprintf(more, sizeof more, " rows=%zu(%g,%g..%g,%g)%c zero=%td", rows.size(), rows.front().fit.sides[kBelow].n,
                  rows.front().fit.sides[kAbove].n, rows.back().fit.sides[kBelow].n, rows.back().fit.sides[kAbove].n,
                  rows.front().passed ? '#' : 'o', zero);
    text += more;
  }
  return text;
}

class SearchEdgeTest : public ::testing::TestWithParam<Shape> {};

TEST_P(SearchEdgeTest, GivesTheResultOfItsShape) {
  const Shape& s = GetParam();
  const SearchResult r = RunBreakpointSearch(Data(s), {Confidence(), s.preference, "", "", ""});
  EXPECT_EQ(Details(r), s.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, SearchEdgeTest,
    ::testing::Values(
        Shape{"ThirteenDataWithACrowdedTop", false, 0.61, -0.15, 2.3, P3, 
              "T4 bp=7.0200 3:6.9600[6.6120,7.4640]20.528 4:7.0200[6.3180,7.5180]19.803 skip=10 both=0 notices=1 se=0.8400 rows=160(3,10..10,3)o zero=58",
              0, 13, 0.4, 0, 0, 3},
        Shape{"TenDataBelowZeroPreferringType4", true, 0.615, -1, 0.1, P4, 
              "T3 bp=-95.3081 3:-95.3081[-95.7773,-94.8482]19.988 4:-95.3081[-95.7773,-94.8482]18.424 skip=01 both=0 notices=1 se=0.6504",
              1, 10, 2.8, -100, 0, 0},
        Shape{"FaintFallPreferringType3", false, 0.125, -0.05, 0.5, P3, 
              "T4 bp=5.7916 3:0.0000[-1.1732,2.2862]0.000 4:5.7916[5.2125,6.7366]19.459 skip=10 both=0 notices=1 se=1.0669 rows=137(3,13..13,3)o zero=25",
              0, 16, 1.7, 0, 0, 0},
        Shape{"ElevenDataFallingPlateau", true, 0.415, -0.35, 0.75, P4, 
              "T4 bp=3.8976 3:0.0000[-1.1732,1.0124]0.000 4:3.8976[3.5078,4.5202]20.100 skip=10 both=0 notices=0 se=0.7087 rows=117(3,8..8,3)o zero=40",
              0, 11, 2.5, 0, 0, 0},
        Shape{"NoisyPlateauPreferringType4", true, 0.305, 0.65, 1.6, P4, 
              "T3 bp=4.6710 3:4.6710[4.2039,5.5997]19.080 4:4.6710[4.2039,5.2902]20.405 skip=01 both=0 notices=1 se=0.9771",
              0, 12, 1.7, 0, 0, 0},
        Shape{"SixteenDataFallingThreshold", false, 0.275, -0.25, 0.6, Best, 
              "T3 bp=6.9347 3:6.9347[6.5880,8.1807]20.009 4:6.9347[6.2412,7.7654]18.189 skip=01 both=0 notices=0 se=1.1149 rows=137(3,13..13,3)o zero=25",
              0, 16, 2.2, 0, 0, 0},
        Shape{"FallingStepWithTiesAtTheStart", false, 0.515, -0.5, 0.4, Best, 
              "T3 bp=12.7142 3:12.7142[11.6634,13.5442]20.006 4:15.3410[13.8069,15.9085]17.034 skip=01 both=1 notices=0 se=1.3166 rows=178(7,15..19,3)# zero=9",
              0.8, 22, 0.2, 0, 7, 0},
        Shape{"ElevenDataEarlyPlateau", true, 0.19, 0.9, 1.75, P4, 
              "T3 bp=5.7199 3:5.7199[5.4339,6.1602]19.858 4:5.7199[5.1479,6.1602]19.784 skip=01 both=0 notices=1 se=0.5085 rows=117(3,8..8,3)o zero=40",
              0, 11, 1.4, 0, 0, 0},
        Shape{"TwelveDataRisingPlateau", true, 0.63, 0.4, 1.1, Best, 
              "T3 bp=4.6710 3:4.6710[4.4374,5.2902]18.090 4:4.7253[4.2528,5.3390]20.081 skip=01 both=0 notices=0 se=0.5969 rows=129(3,9..9,3)o zero=35",
              0, 12, 1.3, 0, 0, 0},
        Shape{"LatePlateauBelowZero", true, 0.805, -0.65, 0.75, Best, 
              "T4 bp=-94.1800 3:-100.0000[-101.1732,-98.8000]0.000 4:-94.1800[-94.7620,-93.5620]20.201 skip=10 both=0 notices=0 se=0.8400 rows=160(3,10..8,5)o zero=14",
              0, 13, 1.4, -100, 0, 5},
        Shape{"TwelveDataFallingPlateauWithAFarLimit", true, 0.6, -1, 0.3, Best,
              "T4 bp=4.7253 3:0.0000[-1.1732,1.0863]0.000 4:4.7253[4.2528,5.6459]20.181 skip=10 both=0 notices=0 se=0.9752 rows=129(3,9..9,3)o zero=35",
              0, 12, 0.4, 0, 0, 0},
        Shape{"SixteenDataRisingThreshold", false, 0.34, 0.8, 1.5, Best, 
              "T3 bp=9.2209 3:9.2209[8.7598,10.0591]20.545 4:9.2209[8.2988,9.8229]25.570 skip=01 both=0 notices=0 se=0.9095 rows=137(3,13..13,3)o zero=25",
              0, 16, 0.5, 0, 0, 0},
        Shape{"ThresholdJustPastTheAcceptedRange", false, 0.965, 0.55, 0.05, Best, 
              "T1 slope=0.0032 skip=01 notices=1",
              0, 40, 1.5, 0, 0, 0},
        Shape{"PlateauJustBeforeTheAcceptedRange", true, 0.045, -0.3, 2.4, P3, 
              "T1 slope=-0.0087 skip=10 notices=2",
              0, 44, 0.6, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A falling plateau whose first five data crowd in just below candidate
// 20: no row can be written before it, the Type 4 test holds at once, and
// the breakpoint is the lowest one accepted. Its row is the first of the
// table, which in a falling relation shows "o" all the same.
TEST(SearchEdgeTest, AFallingPlateauAtTheLowestAcceptedCandidateKeepsItsFirstRowUnmarked) {
  SearchInput in;
  in.x = {0, 1.3, 9.1, 9.2, 9.3};
  for (double x = 10.2; x < 99; x += 2.5) in.x.push_back(x);
  in.x.push_back(100);  // candidates every 0.5; candidate 20 at 9.5
  for (size_t i = 0; i < in.x.size(); ++i) {
    in.y.push_back((in.x[i] < 9.5 ? 30 - in.x[i] : 20.7) + 0.3 * std::sin(2.3 * i + 0.4));
  }
  const SearchResult r = RunBreakpointSearch(std::move(in), {Confidence(), Best, "", "", ""});
  EXPECT_EQ(Details(r),
            "T4 bp=9.5000 3:0.0000[-1.2350,10.0000]0.000 4:9.5000[8.5500,18.5500]20.699 skip=10 both=0 notices=0 "
            "se=7.0000 rows=172(5,37..39,3)o zero=5");
}

}  // namespace
}  // namespace kinvalo
