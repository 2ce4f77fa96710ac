#pragma once
// The breakpoint search: from the data of a run to its result, a value
// that the writers of the result files take as it is.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/result_kinds.h"
#include "regression/side_statistics.h"

namespace kinvalo {

// Messages the search gives.
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

// The candidate breakpoints: 200 steps from the smallest X; the scans try
// the first 199 of them.
inline constexpr int kCandidates = 200;
inline constexpr int kScannedCandidates = 199;
// The calculation method of every Type 3 and 4 result: the sloping segment
// runs from the level of the horizontal side to the other side's centre.
inline constexpr int kCalcMethod = 2;

// The data of a run: x[i] pairs with y[i]; serial[i] numbers the pair as
// entered. Data sets from `nrOfInputData` on were added to the input.
struct SearchInput {
  std::vector<double> x, y;
  std::vector<std::int32_t> serial;
  std::int32_t nrOfInputData = 0;
};

// What a run is asked for: the options of the search, and the titles and
// the input file that the result files name.
struct SearchOptions {
  Confidence confidence;
  Preference preference = Preference::BestOfTwo;
  std::string title1, title2;
  std::string inputPath;  // the .inp file; the result files lie beside it
};

// One row of the explanation table: a candidate breakpoint, the fit there
// and whether its horizontal side passed the test ("#").
struct ExplanationRow {
  double breakpoint = 0;
  BreakpointFit fit;
  bool passed = false;
};

// The scan of one type that explains how the breakpoint was chosen.
struct ExplanationTable {
  FunctionType type = FunctionType::Threshold;
  bool positive = true;  // the slope of all data is positive
  std::vector<ExplanationRow> rows;
};

// The breakpoint and its confidence limits of one type, and the level of
// its horizontal side.
struct PartialResult {
  double breakpoint = 0;
  double confLeft = 0, confRight = 0;
  double level = 0;    // the mean Y of the horizontal side
  double stErrBP = 0;  // of the result's own type only
};

struct SearchResult {
  // The data refused: the message; only the sorted data are set besides.
  std::optional<std::string> refusal;
  // What the user is told besides the files, in this order.
  std::vector<std::string> notices;

  SearchOptions options;
  // The data sorted by X (equal X keep their input order).
  SearchInput data;

  FunctionType type = FunctionType::StraightLine;
  std::uint8_t method = 0;  // kCalcMethod for Type 3 and 4
  double xMin = 0, xMax = 0;
  double breakpoint = 0;  // xMin for a straight line
  double slopeAll = 0;    // the slope of the straight line through all data
  PartialResult type3, type4;
  bool skipType3 = false, skipType4 = false;
  bool bothTypesFound = false;
  double maxCoefExplType3 = 0, maxCoefExplType4 = 0, coefExplLinear = 0;
  FitTotals totals;
  // The three-segment line, when both types were found.
  CombinedLine combined;
  // The scan of the chosen type, unless the result is a straight line.
  std::optional<ExplanationTable> explanation;

  Sample sample() const { return {data.x, data.y}; }
};

// Sorts the data by X, scans the candidate breakpoints of Type 3 and 4 and
// chooses the result by the preference. The data move into the result,
// sorted; should the search throw, they are back in `data` (sorted or not),
// so that a caller who lent them loses nothing. Throws std::out_of_range
// when the arrays of the input differ in length.
SearchResult RunBreakpointSearch(SearchInput&& data, const SearchOptions& options);

// The same in two steps, so that other work on the sorted data can run
// beside the search. The first sorts the data into the result and refuses
// data that cannot be searched (the result's refusal); should it throw,
// the data are still in `data`. The second searches unless the data were
// refused; should it throw, the data are in the result.
SearchResult PrepareBreakpointSearch(SearchInput&& data, const SearchOptions& options);
void RunPreparedSearch(SearchResult& prepared);

}  // namespace kinvalo
