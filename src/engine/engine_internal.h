#pragma once
// Pieces of the output writer shared between its source files.
#include <cstdint>

#include "data/app_state.h"

namespace kinvalo {

// Recomputes the fitted segments at BP for the type, their residual sums
// and the deviations printed in the group rows; returns the coefficient of
// explanation of the parameter table.
double ResultStatisticsPass(AppState& s, double BP, std::uint8_t Type);

// The Type 3 or Type 4 function parameter table.
void WriteParameterTable(AppState& s, double BP, std::uint8_t Type, double Coef);

}  // namespace kinvalo
