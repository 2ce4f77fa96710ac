#pragma once
// The result files of a search: the explanation table (.txt), the report
// (.out) and the raw lines of the variance analysis (.var). The writers
// take a result and write it; they change nothing else.
#include <string>
#include <vector>

#include "core/file_set.h"
#include "core/textfile.h"
#include "core/variance_sums.h"
#include "engine/breakpoint_search.h"

namespace kinvalo {

// The explanation table of one scan; its first line is the file's path.
void WriteExplanationTable(TextWriter& out, const ExplanationTable& table);

// The report. Returns the sums of squares of the variance analysis as
// computed and, in `rawVariance`, the raw lines that round them: the .var
// of a result whose analysis is not done.
VarianceSums WriteOutputReport(TextWriter& out, std::vector<std::string>& rawVariance,
                               const SearchResult& result);

// The report's sums and the raw variance lines, and the coefficient of
// explanation of its result (of the straight line for Type 1).
struct ResultFiles {
  VarianceSums sums;
  std::vector<std::string> rawVariance;
  double coefExpl = 0;
};

// Stages the result files beside the input file of the run in `files`:
// the .txt when the result keeps an explanation table (an earlier .txt is
// removed with the set otherwise), then the .out. The .var is the
// caller's, from the returned sums. Throws ReadOnlyFileError or
// std::runtime_error when a file cannot be staged or written; nothing is
// put in place before the set's commit.
ResultFiles WriteResultFiles(const SearchResult& result, FileSet& files);

}  // namespace kinvalo
