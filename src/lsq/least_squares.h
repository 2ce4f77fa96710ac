#pragma once
// Least-squares breakpoint fits beside the partial regression: the straight
// line, and the broken lines of Type 3 (level, then sloping) and Type 4
// (sloping, then level) with the breakpoint c anywhere from the smallest to
// the largest X, each at its exact global least-squares minimum, with
// confidence limits for c and a test of the breakpoint against the line.
// Values in, values out.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/result_kinds.h"

namespace kinvalo {

// The bootstrap samples of the breakpoint test when the input leaves the
// choice to the fits: 99 for a few hundred data sets, fewer (79, 59, 39, at
// least 19) where that keeps the test to about 0.5 ms for a thousand data
// and a quarter of a second for a million.
inline constexpr int kAutomaticSamples = -1;
int AutomaticBootstrapSamples(std::int64_t n, std::int64_t distinct);

struct LeastSquaresInput {
  // The data in any order; x[i] pairs with y[i].
  std::span<const double> x, y;
  Confidence confidence;
  // The breakpoints of the partial regression, where it gives one: each is
  // checked against the confidence limits of its own type.
  std::optional<double> partialBreakpointType3, partialBreakpointType4;
  // Samples of the bootstrap; 0 leaves the test out (no p-value).
  int bootstrapSamples = kAutomaticSamples;
};

// Y = intercept + slope X.
struct StraightLineFit {
  double intercept = 0, interceptSE = 0;
  double slope = 0, slopeSE = 0;
  double r2 = 0, rss = 0;
  double residualSD = 0;  // N - 2 degrees of freedom
};

// Every breakpoint c whose residual sum of squares passes the F test at
// the run's confidence, as closed intervals in ascending order.
struct BreakpointLimits {
  struct Piece {
    double left, right;
  };
  std::vector<Piece> pieces;
  double left = 0, right = 0;  // the outer limits
  bool oneInterval = true;
  // A limit at the smallest or largest X: the set may go on beyond the data.
  bool leftOpen = false, rightOpen = false;
  bool Contains(double c) const;
};

// Type 3: Y = level for X <= c, level + slope (X - c) beyond.
// Type 4: Y = level + slope (X - c) for X < c, level beyond.
struct BrokenLineFit {
  FunctionType type = FunctionType::Threshold;
  double breakpoint = 0;
  double level = 0, levelSE = 0;  // the standard errors at the breakpoint
  double slope = 0, slopeSE = 0;
  double r2 = 0, rss = 0;
  double residualSD = 0;  // N - 3 degrees of freedom
  BreakpointLimits limits;
  // The largest F over c of the line's extra residual sum against this
  // shape's; none when the shape fits the data exactly.
  std::optional<double> supF;
  // The bootstrap p-value of supF; none without a test.
  std::optional<double> pValue;
  // The partial regression's breakpoint of this type, if it gave one, and
  // whether it lies within the limits.
  std::optional<double> partialBreakpoint;
  std::optional<bool> partialInside;
};

struct LeastSquaresFit {
  // Data the fits cannot take: the reason in one sentence, and no values.
  std::optional<std::string> unfit;
  std::int64_t n = 0;
  Confidence confidence;
  int bootstrapSamples = 0;
  StraightLineFit line;
  BrokenLineFit type3, type4;
};

LeastSquaresFit FitLeastSquares(const LeastSquaresInput& input);

// Checks the partial regression's breakpoints against the limits of the
// fits of their types, as FitLeastSquares does with the breakpoints of its
// input: for fits made while the partial regression was still searching.
void ComparePartialBreakpoints(LeastSquaresFit& fit, std::optional<double> type3, std::optional<double> type4);

// The fitted equations written out, with 5 significant digits:
// "Y = 100.79 for X <= 5.7823, Y = 100.79 - 6.9187 (X - 5.7823) beyond".
std::string EquationText(const StraightLineFit& line);
std::string EquationText(const BrokenLineFit& fit);
// A number with 5 significant digits, as the equations write it.
std::string Significant(double value, int digits = 5);

}  // namespace kinvalo
