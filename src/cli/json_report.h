#pragma once
// The result of `kinvalo-cli calculate --json`: one JSON object with the
// partial regression's result and the least-squares fits beside it.
#include <optional>
#include <string>
#include <vector>

#include "calc/calculation.h"

namespace kinvalo {

struct JsonReport {
  std::int64_t n = 0;  // the data sets calculated with
  Confidence confidence;
  Preference preference = Preference::BestOfTwo;
  std::vector<std::string> messages;  // as shown, in order
  // None when the data could not be read; a refused result has no fits.
  std::optional<Calculation> calculation;
  // The file as given on the command line, when several were given.
  std::optional<std::string> file;
};

// The object, numbers in full precision; a value that is not available is
// null, never NaN or infinity. Laid out over several lines, or on one.
std::string CalculationJson(const JsonReport& report, bool oneLine = false);

}  // namespace kinvalo
