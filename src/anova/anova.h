#pragma once
// The variance analysis: turns the sums of squares of a result into the
// ANOVA table with its F-tests and significance, written over the raw lines
// of the .var file.
#include <string>

#include "core/platform.h"
#include "core/result_kinds.h"
#include "core/variance_sums.h"

namespace kinvalo {

inline constexpr const char* kNoVariationAnova = "There is no variation. Variance analysis is not done.";
inline constexpr const char* kRenameFailed = "A file could not be renamed";

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

// Writes the ANOVA table of `sums` to the .var file at `varPath`, in place
// of the raw lines there. Without variation (SST of 0) the message is shown
// and the file is left as it is. Throws std::invalid_argument when a Type 3
// or 4 model comes without its break-point residual or with fewer than 5
// data sets, and std::runtime_error when the table cannot be written.
void AnovaRun(const std::string& varPath, const VarianceSums& sums, const VarianceModel& model,
              Platform& platform);

// Significance in percent of F with m numerator and n denominator degrees
// of freedom (both at least 1): the cumulative F distribution, kept between
// 0.1 and 99.99. An F of 0 or less gives 0.1.
double FProbability(int m, int n, double F);

}  // namespace kinvalo
