#pragma once
// The breakpoint search and the writers of its result files.
#include <cstdint>
#include <string>

#include "data/app_state.h"
#include "regression/side_statistics.h"

namespace kinvalo {

// Messages the search and the writers show.
inline constexpr const char* kScarcityMessage =
    "Due to scarcity of differing X-values the partial regression could not be done.";
inline constexpr const char* kNoVariationMessage =
    "The database is not fit for regression analysis. There is no variation in X-values. "
    "Please correct the input file.";
inline constexpr const char* kTooLargeMessage =
    "The database is not fit for regression analysis. There are values beyond 1E+100 or "
    "below -1E+100. Please correct the input file.";
inline constexpr const char* kType3NotFound = "Type 3 could not be found";
inline constexpr const char* kType4NotFound = "Type 4 could not be found";
inline constexpr const char* kNoHorizontalSegment = "No horizontal segment found.";

// Sorts the data by X, scans the candidate breakpoints of Type 3 and 4,
// chooses the result by the preference and writes the .txt, .out and the
// raw .var file beside FileName (the .inp path), which ends on the .var
// path. DataUnfit tells when the data were refused.
void PartialRegression(AppState& s);

// The explanation table (.txt) of one scan: its header and one row.
void WriteExplanationHeader(AppState& s, std::uint8_t type);
void WriteExplanationRow(AppState& s, double BP, std::uint8_t type, bool hash);

// The output file (.out) and the raw variance lines (.var).
void WriteOutputHeader(AppState& s);
void WriteResultTables(AppState& s, double& BP, std::uint8_t Type);
void FormatGroupStats(AppState& s, std::uint8_t Side);
void WriteSummary(AppState& s);

}  // namespace kinvalo
