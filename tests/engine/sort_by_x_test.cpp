// The sort of the search's data against a stable sort of their places:
// every shape of order a quicksort stumbles on, at the sizes where it
// changes method (70000 is sorted by two threads), with and without
// serial numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <string>

#include "engine/sort_by_x.h"

namespace kinvalo {
namespace {

TEST(SortByXTest, TheDataFollowXAndEqualXKeepTheirInputOrder) {
  std::mt19937 random(7);
  const struct {
    const char* name;
    double (*x)(int i, int n, std::mt19937& random);
  } shapes[] = {
      {"random", [](int, int, std::mt19937& r) { return static_cast<double>(r() % 100000); }},
      {"few values", [](int, int, std::mt19937& r) { return static_cast<double>(r() % 3); }},
      {"all equal", [](int, int, std::mt19937&) { return 4.0; }},
      {"sorted", [](int i, int, std::mt19937&) { return static_cast<double>(i); }},
      {"reversed", [](int i, int, std::mt19937&) { return -static_cast<double>(i); }},
      {"organ pipe", [](int i, int n, std::mt19937&) { return static_cast<double>(std::min(i, n - i)); }},
      {"sawtooth", [](int i, int, std::mt19937&) { return static_cast<double>(i % 17); }},
      {"sorted but the last", [](int i, int n, std::mt19937&) { return i == n - 1 ? -1.0 : i; }},
      {"signed zeros", [](int i, int, std::mt19937&) { return i % 2 ? 0.0 : -0.0; }},
  };
  for (const auto& shape : shapes) {
    for (int n : {0, 1, 2, 24, 25, 26, 100, 1000, 70000}) {
      for (bool withSerial : {true, false}) {
        std::vector<double> x, y;
        std::vector<std::int32_t> serial;
        for (int i = 0; i < n; ++i) {
          x.push_back(shape.x(i, n, random));
          y.push_back(i + 0.5);
          if (withSerial) serial.push_back(1000 + i);
        }
        std::vector<int> order(static_cast<size_t>(n));
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return x[a] < x[b]; });
        std::vector<double> sortedX;
        for (int i : order) sortedX.push_back(x[i]);
        SortByX(x, y, serial);
        const std::string where = std::string(shape.name) + ", n = " + std::to_string(n);
        ASSERT_EQ(serial.size(), withSerial ? order.size() : 0U) << where;
        for (size_t i = 0; i < order.size(); ++i) {
          // Y and the serial number tell where each datum came from; the
          // bits of X also tell -0 from 0.
          ASSERT_EQ(y[i], order[i] + 0.5) << where << ", place " << i;
          ASSERT_EQ(std::signbit(x[i]), std::signbit(sortedX[i])) << where << ", place " << i;
          if (withSerial) {
            ASSERT_EQ(serial[i], 1000 + order[i]) << where << ", place " << i;
          }
        }
      }
    }
  }
}

// X with a NaN have no order; the sort keeps every datum.
TEST(SortByXTest, DataWithANaNKeepEveryDatum) {
  std::vector<double> x = {3, NAN, 1, 2, 1}, y = {0, 1, 2, 3, 4};
  std::vector<std::int32_t> serial = {10, 11, 12, 13, 14};
  SortByX(x, y, serial);
  std::sort(y.begin(), y.end());
  std::sort(serial.begin(), serial.end());
  EXPECT_EQ(y, (std::vector<double>{0, 1, 2, 3, 4}));
  EXPECT_EQ(serial, (std::vector<std::int32_t>{10, 11, 12, 13, 14}));
  EXPECT_EQ(std::count_if(x.begin(), x.end(), [](double v) { return std::isnan(v); }), 1);
}

}  // namespace
}  // namespace kinvalo
