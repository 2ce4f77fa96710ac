#pragma once
// The result files of a search: the explanation table (.txt), the report
// (.out) and the raw lines of the variance analysis (.var). The writers
// take a result and write it; they change nothing else.
#include <string>

#include "core/textfile.h"
#include "core/variance_sums.h"
#include "engine/breakpoint_search.h"

namespace kinvalo {

// The explanation table of one scan; its first line is the file's path.
void WriteExplanationTable(TextWriter& out, const ExplanationTable& table);

// The report and the raw variance lines. Returns the sums of squares of the
// raw lines as computed, for the variance analysis.
VarianceSums WriteOutputReport(TextWriter& out, TextWriter& rawVariance, const SearchResult& result);

// The raw .var file written and the exact sums its lines round.
struct ResultFiles {
  std::string varPath;
  VarianceSums sums;
};

// Writes the result files beside the input file of the run: the .txt when
// the result keeps an explanation table (an earlier .txt is removed
// otherwise), then the .out and the raw .var. Throws std::runtime_error
// when a file cannot be written; a file not finished is never put in place.
ResultFiles WriteResultFiles(const SearchResult& result);

}  // namespace kinvalo
