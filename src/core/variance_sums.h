#pragma once
// The sums of squares of a result that the variance analysis tests, exactly
// as the report writer computed them (the raw .var lines round them).
#include <cstdint>
#include <optional>

namespace kinvalo {

struct VarianceSums {
  std::int32_t n = 0;  // the number of data sets
  double sst = 0;      // Y about its mean
  double ssr1 = 0;     // residual of the straight line through all data
  // Residual of the break-point model of a Type 3 or 4 result (of the
  // three-segment line when both types were found); none for a straight line.
  std::optional<double> ssr2;
};

}  // namespace kinvalo
