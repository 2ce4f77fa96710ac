#include "core/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace kinvalo {
namespace {

struct Rendering {
  const char* name;
  char kind;  // 'E', 'F' or 'I'
  double value;
  int width;
  int digits;
  const char* expected;
};

class RenderingTest : public ::testing::TestWithParam<Rendering> {};

TEST_P(RenderingTest, RendersExactly) {
  const Rendering& r = GetParam();
  std::string text;
  if (r.kind == 'E') text = E(r.value, r.width, r.digits);
  if (r.kind == 'F') text = F(r.value, r.width, r.digits);
  if (r.kind == 'I') text = I(static_cast<long long>(r.value), r.width);
  EXPECT_EQ(text, r.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, RenderingTest,
    ::testing::Values(
        Rendering{"E_example", 'E', 1234.5, 12, 3, "   1.23E+003"},
        Rendering{"E_zero", 'E', 0.0, 10, 3, " 0.00E+000"},
        Rendering{"E_negative_zero", 'E', -0.0, 10, 3, " 0.00E+000"},
        Rendering{"E_negative", 'E', -0.0123, 12, 3, "  -1.23E-002"},
        Rendering{"E_rounds_up_into_next_decade", 'E', 9.996, 12, 3, "   1.00E+001"},
        Rendering{"E_three_digit_exponent", 'E', 1.5e-300, 12, 3, "   1.50E-300"},
        Rendering{"E_wider_than_field", 'E', -1.5e100, 5, 3, "-1.50E+100"},
        Rendering{"F_example", 'F', 12.5, 7, 2, "  12.50"},
        Rendering{"F_negative", 'F', -3.25, 13, 2, "        -3.25"},
        Rendering{"F_no_point_for_zero_decimals", 'F', 25, 4, 0, "  25"},
        Rendering{"F_rounds_half_up_when_exact", 'F', 0.125, 8, 2, "    0.12"},
        Rendering{"F_negative_rounding_to_zero", 'F', -0.001, 8, 2, "    0.00"},
        Rendering{"F_small_negative_slope", 'F', -0.0123, 8, 3, "  -0.012"},
        Rendering{"F_wider_than_field", 'F', 123456789.0, 8, 2, "123456789.00"},
        Rendering{"I_plain", 'I', 42, 0, 0, "42"},
        Rendering{"I_width", 'I', 7, 5, 0, "    7"},
        Rendering{"I_wider", 'I', 123456, 3, 0, "123456"}),
    [](const ::testing::TestParamInfo<Rendering>& info) { return std::string(info.param.name); });

TEST(Rendering, RefusesValuesThatAreNotNumbers) {
  EXPECT_THROW(E(std::nan(""), 12, 3), std::domain_error);
  EXPECT_THROW(F(std::numeric_limits<double>::infinity(), 12, 3), std::domain_error);
  EXPECT_THROW(ExactDecimal(-std::numeric_limits<double>::infinity()), std::domain_error);
}

TEST(ExactDecimal, KeepsTwoDecimalsWhenExactAndTheShortestFormOtherwise) {
  EXPECT_EQ(ExactDecimal(12.5), "12.50");
  EXPECT_EQ(ExactDecimal(-3.25), "-3.25");
  EXPECT_EQ(ExactDecimal(0.0), "0.00");
  EXPECT_EQ(ExactDecimal(-0.0), "0.00");
  EXPECT_EQ(ExactDecimal(0.1), "0.10");
  EXPECT_EQ(ExactDecimal(1234567.89), "1234567.89");
  EXPECT_EQ(ExactDecimal(0.004), "0.004");
  EXPECT_EQ(ExactDecimal(12.345), "12.345");
  EXPECT_EQ(ExactDecimal(1e-300), "1e-300");
  // Whatever is written reads back as the same double.
  for (double v : {0.004, 1.0 / 3.0, -2.0 / 7.0, 6.02e23, 1e-5, 123.456789, 20240115.0}) {
    double back = 0;
    ASSERT_TRUE(ParseReal(ExactDecimal(v), back)) << v;
    EXPECT_EQ(back, v);
  }
}

TEST(ParseReal, AcceptsTheFileNumberSyntaxOnly) {
  double v = 0;
  EXPECT_TRUE(ParseReal("12.50", v));
  EXPECT_EQ(v, 12.5);
  EXPECT_TRUE(ParseReal("-3.25", v));
  EXPECT_EQ(v, -3.25);
  EXPECT_TRUE(ParseReal("+7", v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(ParseReal("1.5E2", v));
  EXPECT_EQ(v, 150);
  EXPECT_TRUE(ParseReal("2.5e-003", v));
  EXPECT_EQ(v, 0.0025);
  EXPECT_TRUE(ParseReal(".5", v));
  EXPECT_EQ(v, 0.5);
  EXPECT_TRUE(ParseReal("5.", v));
  EXPECT_EQ(v, 5);
  EXPECT_TRUE(ParseReal("1e-400", v));  // too small for a double: zero
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(ParseReal("1e-99999999999999999999999", v));  // an exponent beyond 64 bits
  EXPECT_EQ(v, 0);
  v = 99;
  for (const char* bad : {"", "-", ".", "2,5", "2a", "1e", "1e+", "--1", "+-1", "nan", "inf",
                          "0x10", "1e400", "9e99999999999999999999999", "12.5.3", " 1", "1 "}) {
    EXPECT_FALSE(ParseReal(bad, v)) << bad;
  }
  EXPECT_EQ(v, 99) << "a refused text leaves the value alone";
  int n = 0;
  EXPECT_TRUE(ParseInt("+4", n));
  EXPECT_EQ(n, 4);
  for (const char* bad : {"", "1.0", "12a", "99999999999", "+", "1e2"}) EXPECT_FALSE(ParseInt(bad, n)) << bad;
}

}  // namespace
}  // namespace kinvalo
