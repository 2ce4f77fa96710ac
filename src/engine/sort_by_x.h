#pragma once
// The data of a search in the order of X.
#include <cstdint>
#include <vector>

namespace kinvalo {

// Sorts `x` ascending and carries `y` (as long as `x`) and, when it holds as many values,
// `serial` along; data sets with equal X keep their input order. The
// arrays are sorted where they lie: besides them the sort needs four bytes
// a data set. X with a NaN has no order; then a stable sort of the places
// keeps the arrays from harm.
void SortByX(std::vector<double>& x, std::vector<double>& y, std::vector<std::int32_t>& serial);

}  // namespace kinvalo
