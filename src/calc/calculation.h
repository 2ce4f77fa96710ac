#pragma once
// The calculation that follows the saving of the input file, shared by the
// window's calculation run and the batch command.
#include <string>

#include "data/app_state.h"

namespace kinvalo {

// The confidence factor of a minimum confidence of 90, 95 or 98 %.
double ConfidenceFactorFor(int percent);

// Replaces empty titles by " No first title given" and " No second title
// given", as the calculation run does before it writes any file.
void ReplaceEmptyTitles(TDMTulmex& dm);

// The breakpoint search with its files beside FileName (the .inp path),
// then the variance analysis unless the data were refused. Returns false
// when the data were refused; FileName ends on the .var path otherwise.
bool CalculateResults(AppState& s);

}  // namespace kinvalo
