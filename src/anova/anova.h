#pragma once
// The variance analysis: turns the sums of squares of a result into the
// ANOVA table with its F-tests and significance, the .var file of the run.
#include <string>
#include <vector>

#include "core/platform.h"
#include "core/result_kinds.h"
#include "core/textfile.h"
#include "core/variance_sums.h"

namespace kinvalo {

inline constexpr const char* kNoVariationAnova = "There is no variation. Variance analysis is not done.";

// What the variance analysis needs to know of the result besides its sums:
// its type and, when both types were found, both breakpoints.
struct VarianceModel {
  FunctionType type = FunctionType::StraightLine;
  bool bothTypesFound = false;
  double breakpointType3 = 0, breakpointType4 = 0;
};

// The largest F the table prints: 3 decimals and a blank before them in
// the narrower of its fields, 12 characters. The F of a residual of zero,
// and the cap of every other.
inline constexpr double kLargestF = 9999999.999;

// Writes the .var file of a run to `out`, a writer staged with the run's
// other result files: the ANOVA table of `sums`, or without variation (SST
// of 0) the message and then the raw lines the report writer left. Throws
// std::invalid_argument, before anything is written, when a Type 3 or 4
// model comes without its break-point residual or with fewer than 5 data
// sets, and std::runtime_error when the file cannot be written.
void AnovaRun(TextWriter& out, const VarianceSums& sums, const std::vector<std::string>& rawLines,
              const VarianceModel& model, Platform& platform);

// Significance in percent of F with m numerator and n denominator degrees
// of freedom (both at least 1): the cumulative F distribution, kept between
// 0.1 and 99.99. An F of 0 or less gives 0.1.
double FProbability(int m, int n, double F);

}  // namespace kinvalo
