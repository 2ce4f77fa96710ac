#pragma once
// The variance analysis: turns the raw lines that the calculation leaves in
// the .var file into the ANOVA table with its F-tests and significance.
#include "data/app_state.h"

namespace kinvalo {

inline constexpr const char* kNoVariationAnova = "There is no variation. Variance analysis is not done.";
inline constexpr const char* kRenameFailed = "A file could not be renamed";

// Reads the raw .var file beside FileName and puts the ANOVA table in its
// place. Throws std::runtime_error, naming the file and the line, when the
// raw file cannot be read.
void AnovaRun(AppState& s);

// Significance in percent of F with m numerator and n denominator degrees
// of freedom (both at least 1): the cumulative F distribution, between 0.1
// and 99.99.
double FProbability(int m, int n, double F);
// The closed forms for an even n and for an even m.
double FProbEvenDf2(int m, int n, double F);
double FProbEvenDf1(int m, int n, double F);

}  // namespace kinvalo
