#include "engine/breakpoint_search.h"

#include "engine/sort_by_x.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <limits>
#include <numeric>
#include <stdexcept>

namespace kinvalo {

namespace {

// Values beyond this make the sums of squares of a large data set overflow.
constexpr double kLargestValue = 1e100;

// X values closer than this share of the X range are the same as far as
// the grid of candidates goes; a range no more than this share of the
// values' size holds no variation the grid could resolve.
constexpr double kSameX = 1e-9;

// A breakpoint must lie between these candidates when its confidence limit
// lies inside the data.
constexpr int kLowestAcceptedCandidate = 20;
constexpr int kHighestAcceptedCandidate = 180;

// The Type 3 test: the slope below the breakpoint may be taken as zero.
bool Type3Holds(const BreakpointFit& fit, double slopeAll) {
  const SideStatistics& below = fit.sides[kBelow];
  const SideStatistics& above = fit.sides[kAbove];
  const double S1 = below.slope, S2 = above.slope, SE1 = below.stErrSlope, SA = slopeAll;
  const bool enough = below.n > 4 && above.n > 4;
  if (slopeAll > 0) return S1 <= 1.25 * SE1 && S1 < S2 && (S1 < SA || S1 <= 0) && enough;
  return S1 > -1.25 * SE1 && std::fabs(S1) < std::fabs(S2) &&
         (std::fabs(S1) < std::fabs(SA) || S1 >= 0) && enough;
}

// The Type 4 test with factor f: the slope above the breakpoint may be
// taken as zero.
bool Type4Holds(const BreakpointFit& fit, double slopeAll, double f, bool positive) {
  const SideStatistics& below = fit.sides[kBelow];
  const SideStatistics& above = fit.sides[kAbove];
  const double S1 = below.slope, S2 = above.slope, SE2 = above.stErrSlope, SA = slopeAll;
  const bool enough = below.n > 4 && above.n > 4;
  if (positive) return S2 < f * SE2 && S2 < S1 && (S2 < SA || S2 <= 0) && enough;
  return S2 > -f * SE2 && std::fabs(S2) < std::fabs(S1) &&
         (std::fabs(S2) < std::fabs(SA) || S2 >= 0) && enough;
}

enum class Choice { SecondPass, StraightLine };

// One search: the sorted data, the candidates and the result being built.
class Search {
 public:
  explicit Search(SearchResult& result) : r_(result), splitter_(result.sample()) {}

  void Run();

 private:
  void Scans();
  void ScanType3();
  void ScanType4();
  Choice ChooseType();
  void RangeTest();
  void AdjustConfidenceLimits();
  void Finish();

  SearchResult& r_;
  SortedSplitter splitter_;
  std::array<double, kCandidates + 1> candidate_{};  // 1..kCandidates
};

void Search::ScanType3() {
  ExplanationTable table{FunctionType::Threshold, r_.slopeAll > 0, {}};
  PartialResult& t3 = r_.type3;
  r_.maxCoefExplType3 = 0;
  t3.breakpoint = r_.xMin;
  for (int k = 1; k <= kScannedCandidates; ++k) {
    const double BP = candidate_[k];
    BreakpointFit fit = FitPartial(splitter_, BP, FunctionType::Threshold, r_.totals);
    const SideStatistics& below = fit.sides[kBelow];
    const SideStatistics& above = fit.sides[kAbove];
    const double N1 = below.n, N2 = above.n;
    if (N1 <= 2 || N2 <= 2) continue;
    const bool hash = Type3Holds(fit, r_.slopeAll);
    if (hash) {
      if (BP > t3.breakpoint) t3.breakpoint = BP;  // ends at the LAST "#"
      r_.type = FunctionType::Threshold;
      r_.method = kCalcMethod;
      if (fit.coefExpl > r_.maxCoefExplType3) r_.maxCoefExplType3 = fit.coefExpl;
    }
    const double S1 = below.slope, S2 = above.slope, SE1 = below.stErrSlope;
    if (N1 > 4 && N2 > 4 && std::fabs(S1) < std::fabs(S2)) {
      if (r_.slopeAll > 0) {
        if (S1 < 0.75 * SE1) t3.confLeft = BP;
        if (S1 < 1.75 * SE1) t3.confRight = BP;
      } else {
        if (-0.75 * SE1 < S1 && S1 < 0.75 * SE1) t3.confLeft = BP;
        if (-1.75 * SE1 < S1 && S1 < 1.75 * SE1) t3.confRight = BP;
      }
    }
    table.rows.push_back({BP, std::move(fit), hash});
  }
  r_.explanation = std::move(table);
}

void Search::ScanType4() {
  const bool positive = r_.slopeAll > 0;
  ExplanationTable table{FunctionType::Plateau, positive, {}};
  PartialResult& t4 = r_.type4;
  r_.maxCoefExplType4 = 0;
  t4.breakpoint = r_.xMin;
  bool found = false, leftFound = false, rightFound = false;
  for (int k = 1; k <= kScannedCandidates; ++k) {
    const double BP = candidate_[k];
    BreakpointFit fit = FitPartial(splitter_, BP, FunctionType::Plateau, r_.totals);
    const bool holds = Type4Holds(fit, r_.slopeAll, 1.25, positive);
    if (holds) {
      if (!found) t4.breakpoint = BP;  // the FIRST candidate that passes
      found = true;
      r_.type = FunctionType::Plateau;
      r_.method = kCalcMethod;
      if (fit.coefExpl > r_.maxCoefExplType4) r_.maxCoefExplType4 = fit.coefExpl;
    }
    // The left limit takes the negative variant only for a slope below 0.
    if (!leftFound && r_.slopeAll != 0 && Type4Holds(fit, r_.slopeAll, 1.75, r_.slopeAll > 0)) {
      t4.confLeft = BP;
      leftFound = true;
    }
    if (!rightFound && Type4Holds(fit, r_.slopeAll, 0.75, positive)) {
      t4.confRight = BP;
      rightFound = true;
    }
    if (fit.sides[kBelow].n > 2 && fit.sides[kAbove].n > 2) {
      // In a negative relation the first row of the table shows "o".
      const bool mark = holds && !(table.rows.empty() && !positive);
      table.rows.push_back({BP, std::move(fit), mark});
    }
  }
  r_.explanation = std::move(table);
}

void Search::Scans() {
  if (!r_.skipType3) ScanType3();
  if (!r_.skipType4) ScanType4();
}

// Chooses the type by the preference after the first pass. Ties go to
// Type 4 under "Best of the two"; only the Prefer rows compare with the
// straight line.
Choice Search::ChooseType() {
  const double M3 = r_.maxCoefExplType3, M4 = r_.maxCoefExplType4, ML = r_.coefExplLinear;
  r_.bothTypesFound = false;
  switch (r_.options.preference) {
    case Preference::PreferType3:
      if (M3 > 0.8 * M4) {
        if (M3 > ML) {
          r_.skipType4 = true;
          return Choice::SecondPass;
        }
        return Choice::StraightLine;
      }
      r_.skipType3 = true;
      r_.notices.emplace_back(kType3NotFound);
      return M4 > M3 ? Choice::SecondPass : Choice::StraightLine;
    case Preference::PreferType4:
      if (M4 > 0.8 * M3) {
        if (M4 > ML) {
          r_.skipType3 = true;
          return Choice::SecondPass;
        }
        return Choice::StraightLine;
      }
      r_.skipType4 = true;
      r_.notices.emplace_back(kType4NotFound);
      return M3 > M4 ? Choice::SecondPass : Choice::StraightLine;
    case Preference::BestOfTwo:
      break;
  }
  if (M3 > M4) {
    r_.skipType4 = true;
    r_.bothTypesFound = M4 > 0;
    return Choice::SecondPass;
  }
  r_.skipType3 = true;
  r_.bothTypesFound = M3 > 0;
  return M4 != 0 ? Choice::SecondPass : Choice::StraightLine;
}

// The breakpoint of a result must lie in the middle part of the X range
// when its confidence limit lies inside the data; the explanation table is
// kept only for a breakpoint that passed.
void Search::RangeTest() {
  bool made = false;
  double bp = 0;
  if (r_.type == FunctionType::Threshold && r_.type3.confLeft > r_.xMin) {
    made = true;
    bp = r_.type3.breakpoint;
  } else if (r_.type == FunctionType::Plateau && r_.type4.confRight < r_.xMax) {
    made = true;
    bp = r_.type4.breakpoint;
  }
  const bool passed = made && candidate_[kLowestAcceptedCandidate] <= bp &&
                      bp <= candidate_[kHighestAcceptedCandidate];
  if (made && !passed) r_.type = FunctionType::StraightLine;
  if (!passed) r_.explanation.reset();
}

// The confidence limits of both types, bounded to a plausible band around
// their breakpoints, in this order.
void Search::AdjustConfidenceLimits() {
  const double xMin = r_.xMin, xMax = r_.xMax;
  const double x2 = r_.data.x.at(1);
  const double bp3 = r_.type3.breakpoint, bp4 = r_.type4.breakpoint;
  double& l3 = r_.type3.confLeft;
  if (l3 > xMin + 0.95 * (bp3 - xMin)) l3 = xMin + 0.95 * (bp3 - xMin);
  if (l3 < xMin + 0.90 * (bp3 - xMin)) l3 = xMin + 0.90 * (bp3 - xMin);
  if (l3 >= bp3) l3 = xMin + 0.95 * (bp3 - x2);
  double& r3 = r_.type3.confRight;
  if (r3 < bp3 + 0.10 * (xMax - bp3)) r3 = bp3 + 0.10 * (xMax - bp3);
  if (r3 > bp3 + 0.15 * (xMax - bp3)) r3 = bp3 + 0.15 * (xMax - bp3);
  if (r3 <= bp3) r3 = bp3 + 0.10 * (xMax - bp3);
  double& l4 = r_.type4.confLeft;
  l4 = xMin + 0.90 * (bp4 - xMin);
  if (l4 >= bp4) l4 = xMin + 0.90 * (bp4 - x2);
  double& r4 = r_.type4.confRight;
  if (r4 < bp4 + 0.10 * (xMax - bp4)) r4 = bp4 + 0.10 * (xMax - bp4);
  if (r4 > bp4 + 0.15 * (xMax - bp4)) r4 = bp4 + 0.15 * (xMax - bp4);
  if (r4 <= bp4) r4 = bp4 + 0.10 * (xMax - bp4);
}

// The values of a Type 3 or 4 result that the report prints besides its
// tables: the breakpoint of the other type no further out than the own,
// the confidence limits, the levels and the combined line.
void Search::Finish() {
  if (!HasHorizontalSegment(r_.type)) {
    for (PartialResult* t : {&r_.type3, &r_.type4}) {
      for (double* limit : {&t->confLeft, &t->confRight}) {
        if (!std::isfinite(*limit)) *limit = 0;
      }
    }
    r_.bothTypesFound = false;
    r_.notices.emplace_back(kNoHorizontalSegment);
    return;
  }
  PartialResult& t3 = r_.type3;
  PartialResult& t4 = r_.type4;
  const bool type3 = r_.type == FunctionType::Threshold;
  if (type3) {
    r_.breakpoint = t3.breakpoint;
    if (t4.breakpoint < t3.breakpoint) t4.breakpoint = t3.breakpoint;
    if (r_.maxCoefExplType4 == 0) r_.bothTypesFound = false;
  } else {
    r_.breakpoint = t4.breakpoint;
    if (t3.breakpoint > t4.breakpoint) t3.breakpoint = t4.breakpoint;
    if (r_.maxCoefExplType3 == 0) r_.bothTypesFound = false;
  }
  AdjustConfidenceLimits();
  if (type3) {
    t3.stErrBP = 0.7 * (t3.confRight - t3.confLeft);
  } else {
    t4.stErrBP = 0.7 * (t4.confRight - t4.confLeft);
  }
  t3.level = splitter_.SplitAt(t3.breakpoint)[kBelow].avY;
  t4.level = splitter_.SplitAt(t4.breakpoint)[kAbove].avY;
  if (r_.bothTypesFound) {
    r_.combined = ComputeCombinedLine(
        r_.sample(), {t3.breakpoint, t4.breakpoint, t3.level, t4.level, r_.totals.ssy});
    if (!r_.combined.found) r_.bothTypesFound = false;
  }
}

void Search::Run() {
  // The candidates lie on a grid of 200 steps from the smallest X. A data
  // set that lies on a candidate belongs above it; so that this does not
  // hang on the last bit of the grid's arithmetic (X shifted or scaled
  // gives the same sides), a candidate within a rounding of a data set's X
  // is moved onto it.
  const double step = (r_.xMax - r_.xMin) / kCandidates;
  const std::vector<double>& x = r_.data.x;
  // A confidence limit that no candidate sets lies below every X until the
  // limits are bounded around their breakpoints, wherever the data lie.
  for (PartialResult* t : {&r_.type3, &r_.type4}) {
    t->confLeft = t->confRight = -std::numeric_limits<double>::infinity();
  }
  // Near: within a rounding of the range or of the values themselves.
  const double nearness = kSameX * (r_.xMax - r_.xMin) +
                          16 * std::numeric_limits<double>::epsilon() *
                              std::max(std::fabs(r_.xMin), std::fabs(r_.xMax));
  for (int k = 1; k <= kCandidates; ++k) {
    double bp = r_.xMin + (k - 1) * step;
    const auto above = std::lower_bound(x.begin(), x.end(), bp - nearness);
    if (above != x.end() && std::fabs(*above - bp) <= nearness) bp = *above;
    candidate_[k] = bp;
  }

  // The straight line through all data (all of them lie above xMin).
  r_.type = FunctionType::StraightLine;
  const BreakpointFit line = FitStraightLine(splitter_, candidate_[1]);
  r_.coefExplLinear = line.coefExpl;
  r_.totals = {line.sides[kAbove].ssy, line.sides[kAbove].ssx};
  r_.breakpoint = r_.xMin;
  r_.slopeAll = line.sides[kAbove].slope;

  Scans();
  if (ChooseType() == Choice::SecondPass) {
    Scans();
    RangeTest();
  } else {
    r_.explanation.reset();
    r_.type = FunctionType::StraightLine;
  }
  Finish();
}

}  // namespace

SearchResult PrepareBreakpointSearch(SearchInput&& data, const SearchOptions& options) {
  if (data.y.size() != data.x.size()) {
    throw std::out_of_range("The data hold " + std::to_string(data.x.size()) + " X values and " +
                            std::to_string(data.y.size()) + " Y values.");
  }
  SearchResult result;
  result.options = options;
  SortByX(data.x, data.y, data.serial);
  result.data = std::move(data);
  const std::vector<double>& x = result.data.x;
  const std::vector<double>& y = result.data.y;
  const size_t n = x.size();

  size_t distinct = n;
  for (size_t i = 1; i < n; ++i) {
    if (x[i] == x[i - 1]) --distinct;
  }
  if (distinct < 10) {
    result.refusal = kScarcityMessage;
    return result;
  }
  for (size_t i = 0; i < n; ++i) {
    if (!(std::fabs(x[i]) <= kLargestValue && std::fabs(y[i]) <= kLargestValue)) {
      result.refusal = kTooLargeMessage;
      return result;
    }
  }
  // The extremes come from the data (sorted, so the first and the last).
  result.xMin = x.front();
  result.xMax = x.back();
  if (!(result.xMax - result.xMin > kSameX * std::max(std::fabs(result.xMin), std::fabs(result.xMax)))) {
    result.refusal = kNoVariationMessage;
  }
  return result;
}

void RunPreparedSearch(SearchResult& prepared) {
  if (!prepared.refusal) Search(prepared).Run();
}

SearchResult RunBreakpointSearch(SearchInput&& data, const SearchOptions& options) {
  SearchResult result = PrepareBreakpointSearch(std::move(data), options);
  // On the way out by an exception the data go back to the caller.
  struct GiveBackOnThrow {
    SearchInput& owner;
    SearchInput& held;
    const int uncaught = std::uncaught_exceptions();
    ~GiveBackOnThrow() {
      if (std::uncaught_exceptions() > uncaught) owner = std::move(held);
    }
  } giveBack{data, result.data};
  RunPreparedSearch(result);
  return result;
}

}  // namespace kinvalo
