#pragma once
// The test of a breakpoint against the straight line. The statistic is the
// line's residual sum of squares over the smallest one of the broken line
// (a monotone function of the largest F over c). Its distribution under a
// straight line depends on the line's slope beside the noise, and at each
// c the broken line and the straight line are not nested, so no F or
// chi-square law and no bound of the Davies kind applies. The p-value is
// therefore taken from a parametric bootstrap of the fitted line: samples
// of the line with normal noise of its residual standard deviation, drawn
// from a seed, so that the same data always give the same figure.
#include <cstdint>
#include <span>

namespace kinvalo {

struct BreakpointTestInput {
  std::span<const double> x;  // ascending
  double slope = 0;           // of the straight line
  // The residual sums of squares of the data: the line's and the smallest
  // of each broken line.
  double lineRSS = 0, type3RSS = 0, type4RSS = 0;
  int samples = 99;
  std::uint64_t seed = 0;  // the same seed draws the same samples
};

// The share of samples (the data themselves counted as one) whose
// statistic is at least the data's: (1 + reaching) / (1 + samples). A
// broken line that gains nothing over the line has a p-value of 1.
struct BreakpointPValues {
  double type3 = 1, type4 = 1;
};

BreakpointPValues BootstrapBreakpointTest(const BreakpointTestInput& input);

}  // namespace kinvalo
