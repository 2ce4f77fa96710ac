#pragma once
// The variance analysis: turns the raw lines that the calculation leaves in
// the .var file into the ANOVA table with its F-tests and significance.
#include <string>

#include "core/platform.h"
#include "core/result_kinds.h"

namespace kinvalo {

inline constexpr const char* kNoVariationAnova = "There is no variation. Variance analysis is not done.";
inline constexpr const char* kRenameFailed = "A file could not be renamed";

// What the variance analysis needs to know of the result besides the raw
// lines: its type and, when both types were found, both breakpoints.
struct VarianceModel {
  FunctionType type = FunctionType::StraightLine;
  bool bothTypesFound = false;
  double breakpointType3 = 0, breakpointType4 = 0;
};

// Reads the raw .var file at `varPath` and puts the ANOVA table in its
// place. Throws std::runtime_error, naming the file and the line, when the
// raw file cannot be read.
void AnovaRun(const std::string& varPath, const VarianceModel& model, Platform& platform);

// Significance in percent of F with m numerator and n denominator degrees
// of freedom (both at least 1): the cumulative F distribution, kept between
// 0.1 and 99.99. An F of 0 or less gives 0.1.
double FProbability(int m, int n, double F);

}  // namespace kinvalo
