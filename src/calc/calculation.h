#pragma once
// The calculation that follows the saving of the input file, shared by the
// window's calculation run and the batch command.
#include <optional>
#include <stdexcept>
#include <string>

#include "core/platform.h"
#include "core/result_kinds.h"
#include "data/working_data.h"
#include "engine/breakpoint_search.h"
#include "lsq/least_squares.h"

namespace kinvalo {

// Replaces empty titles by " No first title given" and " No second title
// given", as the calculation run does before it writes any file.
void ReplaceEmptyTitles(WorkingData& dm);

// A result file without write permission stopped the run before any file
// changed; what() is the open-failure message of that file.
class ReadOnlyResultError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the user chose for the run.
struct CalculationOptions {
  Confidence confidence;
  Preference preference = Preference::BestOfTwo;
  // How long a run waits while another run calculates the same result set
  // before it gives up with a message.
  int lockWaitMilliseconds = 5000;
};

// The breakpoint search on the working data with its files beside the
// input file `dm.FileName` names, then the variance analysis unless the
// data were refused. The messages of the search are shown. The working
// data are left sorted by X, as the result files list them. Throws
// std::out_of_range when NrOfData counts more data sets than are held, and
// std::runtime_error when a result file cannot be written: then every
// result file is as it was before the run. A result file without write
// permission is not replaced: ReadOnlyResultError then carries the
// open-failure message of that file. While another run holds the result set longer than
// the options' wait, the run is refused with a message and writes nothing.
// Temporary files that a killed run left beside the result files are
// removed first.
SearchResult CalculateResults(WorkingData& dm, const CalculationOptions& options, Platform& platform);

// A run's results: the partial regression's, the coefficient of
// explanation its report shows, and beside them the least-squares fits,
// which go to the .lsq file with the other result files. Data the search
// refuses get no fits, and an .lsq file of an earlier run goes. The sorted
// data go back to the working data: the result keeps no copy of them.
struct Calculation {
  SearchResult result;
  double coefExpl = 0;
  std::optional<LeastSquaresFit> leastSquares;
};
Calculation Calculate(WorkingData& dm, const CalculationOptions& options, Platform& platform);

// The least-squares fits of a search's data, checked against its
// breakpoints.
LeastSquaresFit FitBeside(const SearchResult& result);

// The .var and .lsq paths of a run on the input file `inputPath`.
std::string VariancePath(const std::string& inputPath);
std::string LeastSquaresPath(const std::string& inputPath);

}  // namespace kinvalo
