#pragma once
// The statistics of the two sides of a breakpoint BP: side 1 holds the data
// with X < BP, side 2 those with X >= BP. Results go to the regression
// state (AppState::Reg), where the callers read them right after the call.
#include <cstdint>

#include "data/app_state.h"
#include "regression/side_statistics.h"

namespace kinvalo {

// Sums, means, sums of squares, slope, correlation, standard deviations and
// standard errors of both sides; sets ResidualSS to zero.
void ComputeGroupStatistics(AppState& s, double BP);

// The coefficient of explanation of a Type 1, 3 or 4 fit at BP (method 2:
// the sloping segment runs from the level of the horizontal side at BP
// through the centre of the other side).
void ComputeExplanation(AppState& s, double BP, double& Coef, std::uint8_t Type,
                        std::uint8_t Method);

// Standard errors of both side slopes from ResidualSS, and of Y at BP.
void ComputeStandardErrors(AppState& s, std::uint8_t Type, std::uint8_t Method, double BP);

// Tells the primitives that XData is sorted ascending and stays so until
// EndSortedData; they then work from running sums.
void BeginSortedData(AppState& s);
void EndSortedData(AppState& s);

// The three-segment line joining a Type 3 and a Type 4 result.
void ComputeCombinedLine(AppState& s);

}  // namespace kinvalo
