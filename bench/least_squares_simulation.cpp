// Simulated data sets of 40 for a true threshold (Type 3), a true plateau
// (Type 4) and straight lines: how often the least-squares limits hold the
// true breakpoint, how often the test finds a breakpoint that is not there
// (and one that is), and how far the breakpoints of least squares and of
// the partial regression lie from the truth. Prints a table; no timing.
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "calc/calculation.h"

namespace {

using namespace kinvalo;

struct Design {
  const char* name;
  FunctionType type;  // of the truth; StraightLine for a line
  double breakpoint;
  double xFrom, xTo, noise;
  std::function<double(double)> f;
};

struct Tally {
  int sets = 0;
  int covered90 = 0, covered95 = 0;  // least squares, of the true type
  int partialCovered90 = 0, partialCovered95 = 0, partialFound = 0;
  int rejected3 = 0, rejected4 = 0, rejectedTrue = 0;  // test at 5 %
  int partialBreakpoint = 0;                          // on lines: Type 3 or 4 found
  double squares = 0, partialSquares = 0;
};

double Rounded(double v) { return std::round(v * 100) / 100; }

// The partial regression's breakpoint and limits of `type`, if it gave one.
bool PartialOf(const SearchResult& r, FunctionType type, double& bp, double& left, double& right) {
  if (r.refusal || !(r.type == type || (HasHorizontalSegment(r.type) && r.bothTypesFound))) return false;
  const PartialResult& p = type == FunctionType::Threshold ? r.type3 : r.type4;
  bp = p.breakpoint;
  left = p.confLeft;
  right = p.confRight;
  return true;
}

Tally Simulate(const Design& d, int sets, std::mt19937_64& random) {
  std::uniform_real_distribution<double> unit(0, 1);
  std::normal_distribution<double> noise(0, 1);
  Tally t;
  for (int s = 0; s < sets; ++s) {
    SearchInput input;
    for (int i = 0; i < 40; ++i) {
      const double x = Rounded(d.xFrom + (d.xTo - d.xFrom) * unit(random));
      input.x.push_back(x);
      input.y.push_back(Rounded(d.f(x) + d.noise * noise(random)));
    }
    input.nrOfInputData = 40;
    ++t.sets;
    for (int percent : {90, 95}) {
      SearchOptions options;
      options.confidence = Confidence::FromPercent(percent);
      const SearchResult partial = RunBreakpointSearch(SearchInput(input), options);
      const LeastSquaresFit fit = FitBeside(partial);
      if (fit.unfit) continue;
      if (d.type == FunctionType::StraightLine) {
        if (percent == 95) continue;
        t.rejected3 += *fit.type3.pValue <= 0.05;
        t.rejected4 += *fit.type4.pValue <= 0.05;
        t.partialBreakpoint += HasHorizontalSegment(partial.type);
        continue;
      }
      const BrokenLineFit& own = d.type == FunctionType::Threshold ? fit.type3 : fit.type4;
      const bool in = own.limits.Contains(d.breakpoint);
      double bp = 0, left = 0, right = 0;
      const bool found = PartialOf(partial, d.type, bp, left, right);
      const bool partialIn = found && left <= d.breakpoint && d.breakpoint <= right;
      if (percent == 90) {
        t.covered90 += in;
        t.partialCovered90 += partialIn;
        t.rejectedTrue += *own.pValue <= 0.05;
        t.squares += (own.breakpoint - d.breakpoint) * (own.breakpoint - d.breakpoint);
        if (found) {
          ++t.partialFound;
          t.partialSquares += (bp - d.breakpoint) * (bp - d.breakpoint);
        }
      } else {
        t.covered95 += in;
        t.partialCovered95 += partialIn;
      }
    }
  }
  return t;
}

}  // namespace

int main() {
  const std::vector<Design> designs = {
      {"Type 3 (salinity)", FunctionType::Threshold, 6, 1, 14, 3,
       [](double x) { return x < 6 ? 100 : 100 - 7.1 * (x - 6); }},
      {"Type 3, weak (slope 1.5 instead of 7.1)", FunctionType::Threshold, 6, 1, 14, 3,
       [](double x) { return x < 6 ? 100 : 100 - 1.5 * (x - 6); }},
      {"Type 4 (waterlogging)", FunctionType::Plateau, 22, 0, 40, 0.25,
       [](double x) { return x < 22 ? 6.2 - 0.17 * x : 2.46; }},
      {"straight line", FunctionType::StraightLine, 0, 8, 28, 0.15, [](double x) { return 0.4 + 0.19 * x; }},
      {"level line", FunctionType::StraightLine, 0, 8, 28, 0.15, [](double) { return 4.0; }},
  };
  std::mt19937_64 random(20240517);
  std::printf("1000 data sets of 40 each (X and Y rounded to 2 decimals), limits at 90 and 95 %%,\n"
              "test at 5 %% with %d bootstrap samples.\n\n", AutomaticBootstrapSamples(40, 40));
  for (const Design& d : designs) {
    const Tally t = Simulate(d, 1000, random);
    const double n = t.sets;
    std::printf("%s\n", d.name);
    if (d.type == FunctionType::StraightLine) {
      std::printf("  test rejects the line at 5 %%: Type 3 %.1f %%, Type 4 %.1f %%\n", 100 * t.rejected3 / n,
                  100 * t.rejected4 / n);
      std::printf("  partial regression finds a breakpoint: %.1f %%\n\n", 100 * t.partialBreakpoint / n);
      continue;
    }
    std::printf("  least squares: limits hold the true breakpoint %.1f %% (90 %%), %.1f %% (95 %%)\n",
                100 * t.covered90 / n, 100 * t.covered95 / n);
    std::printf("  partial regression: limits hold it %.1f %% (90 %%), %.1f %% (95 %%)\n",
                100 * t.partialCovered90 / n, 100 * t.partialCovered95 / n);
    std::printf("  test finds the breakpoint at 5 %% (power): %.1f %%\n", 100 * t.rejectedTrue / n);
    std::printf("  breakpoint RMSE: least squares %.3f, partial regression %.3f (it gave one of this type in"
                " %.1f %%)\n\n",
                std::sqrt(t.squares / n), t.partialFound > 0 ? std::sqrt(t.partialSquares / t.partialFound) : NAN,
                100 * t.partialFound / n);
  }
  return 0;
}
