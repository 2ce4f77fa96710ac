#include "core/format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>
#include <stdexcept>

namespace kinvalo {
namespace {

// Right-aligned, never truncated, no minus before a zero, an exponent of
// three digits; ExactDecimal keeps two decimals only when they are exact;
// fields apart; positions with the digits their range needs.
TEST(Rendering, WritesTheFileNumbersExactly) {
  const struct {
    const char* name;
    std::string text, expected;
  } cases[] = {
      {"E_example", E(1234.5, 12, 3), "   1.23E+003"},
      {"E_negative_zero", E(-0.0, 10, 3), " 0.00E+000"},
      {"E_negative", E(-0.0123, 12, 3), "  -1.23E-002"},
      {"E_rounds_up_into_next_decade", E(9.996, 12, 3), "   1.00E+001"},
      {"E_three_digit_exponent", E(1.5e-300, 12, 3), "   1.50E-300"},
      {"E_wider_than_field", E(-1.5e100, 5, 3), "-1.50E+100"},
      {"F_no_point_for_zero_decimals", F(25, 4, 0), "  25"},
      {"F_rounds_half_up_when_exact", F(0.125, 8, 2), "    0.12"},
      {"F_negative_rounding_to_zero", F(-0.001, 8, 2), "    0.00"},
      {"F_small_negative_slope", F(-0.0123, 8, 3), "  -0.012"},
      {"F_wider_than_field", F(123456789.0, 8, 2), "123456789.00"},
      {"I_width", I(7, 5), "    7"},
      {"I_wider", I(123456, 3), "123456"},
      {"X_two_decimals_when_exact", ExactDecimal(0.1), "0.10"},
      {"X_negative_zero", ExactDecimal(-0.0), "0.00"},
      {"X_small_value_kept", ExactDecimal(0.004), "0.004"},
      {"X_negative_small_value_kept", ExactDecimal(-0.004), "-0.004"},
      {"X_tiny", ExactDecimal(1e-300), "1e-300"},
      // A field keeps a blank before it, a label none of its own.
      {"Fields_apart", Fields({F(20240115, 8, 2), F(14, 4, 0), F(10.5, 8, 2)}), "20240115.00  14   10.50"},
      {"Fields_wide_after_wide", Fields({F(20240115, 8, 2), F(20240108, 8, 2)}), "20240115.00 20240108.00"},
      {"Fields_after_label", Fields({" BPx=", F(12.5, 7, 2)}), " BPx=  12.50"},
      {"Fields_label_touched", Fields({" (BPx) :", E(-2024.6, 11, 4)}), " (BPx) : -2.025E+003"},
      // Dates beside a range of 40 get digits for their days, as far as the field allows.
      {"Digits_range_size", E(150.26, 13, DigitsFor(150.26, 100, 4, 13)), "   1.503E+002"},
      {"Digits_dates_wide", E(20240115.5, 21, DigitsFor(20240115.5, 40, 4, 21)), "     2.024011550E+007"},
      {"Digits_dates_narrow", E(-20240115.5, 13, DigitsFor(-20240115.5, 40, 4, 13)), " -2.0240E+007"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, c.expected) << c.name;
}

// E and F as they were first written, one temporary string after another.
std::string ReferenceText(double value, int width, int precision, std::chars_format format) {
  std::string text(static_cast<size_t>(precision) + 330, '\0');
  text.resize(static_cast<size_t>(
      std::to_chars(text.data(), text.data() + text.size(), value, format, precision).ptr - text.data()));
  const size_t exp = text.find('e');
  if (text[0] == '-' && text.find_first_of("123456789") >= std::min(exp, text.size())) text.erase(0, 1);
  if (const size_t e = text.find('e'); e != std::string::npos) {
    std::string exponent = text.substr(e + 2);
    while (exponent.size() < 3) exponent.insert(exponent.begin(), '0');
    text = text.substr(0, e) + "E" + text[e + 1] + exponent;
  }
  return PadLeft(text, width);
}

// Random bit patterns (every exponent, subnormals), data and statistics,
// halves at the last digit and just beside them, powers of ten and their
// neighbours, both zeros and the extremes, in the precisions the files use
// and more, appended behind text already there: every character alike.
TEST(Rendering, AppendedRenderingsMatchTheFirstOnesCharacterForCharacter) {
  std::mt19937_64 random(20261206);
  std::vector<double> values = {0.0, -0.0, 0.125, -0.125, 2.5, 2.675, 1.0005, 1234.5, 9.9995e10, 5e-324, -5e-324,
                                2.2250738585072014e-308, std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::lowest(), 20240115.5};
  for (int p = -320; p <= 308; ++p) {
    const double ten = std::pow(10.0, p);
    values.insert(values.end(), {ten, -ten, std::nextafter(ten, 0.0), std::nextafter(ten, 2 * ten), 9.995 * ten});
  }
  for (int k = 0; k < 10000; ++k) {
    const std::uint64_t bits = random();
    values.push_back(std::bit_cast<double>(bits));
    const double scale = std::pow(10.0, static_cast<int>(random() % 13) - 6);
    const double half = (std::round(std::uniform_real_distribution<double>(-1e4, 1e4)(random)) + 0.5) * scale;
    values.insert(values.end(), {half - 0.5 * scale, half, std::nextafter(half, -1e300), std::nextafter(half, 1e300),
                                 std::normal_distribution<double>(0, 1)(random) * scale});
  }
  std::erase_if(values, [](double v) { return !std::isfinite(v); });
  for (const double v : values) {
    for (const int width : {0, 13}) {
      for (int digits = 1; digits <= 18; digits += (digits < 5 ? 1 : 4)) {
        std::string out = "ab";
        AppendE(out, v, width, digits);
        ASSERT_EQ(out, "ab" + ReferenceText(v, width, digits - 1, std::chars_format::scientific)) << v << " " << digits;
      }
      for (int decimals = 0; decimals <= 4; ++decimals) {
        std::string out = "ab";
        AppendF(out, v, width, decimals);
        ASSERT_EQ(out, "ab" + ReferenceText(v, width, decimals, std::chars_format::fixed)) << v << " " << decimals;
      }
    }
  }
  for (const long long v : {0LL, -7LL, std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max()}) {
    std::string out = "ab";
    AppendI(out, v, 5);
    EXPECT_EQ(out, "ab" + PadLeft(std::to_string(v), 5)) << v;
  }
  std::string out = "kept";
  EXPECT_THROW(AppendE(out, std::nan(""), 12, 3), std::domain_error);
  EXPECT_THROW(AppendF(out, -std::numeric_limits<double>::infinity(), 12, 3), std::domain_error);
  EXPECT_EQ(out, "kept");
}

TEST(Rendering, RefusesValuesThatAreNotNumbers) {
  EXPECT_THROW(E(std::nan(""), 12, 3), std::domain_error);
  EXPECT_THROW(F(std::numeric_limits<double>::infinity(), 12, 3), std::domain_error);
  EXPECT_THROW(ExactDecimal(-std::numeric_limits<double>::infinity()), std::domain_error);
}

TEST(ExactDecimal, ReadsBackAsTheSameDouble) {
  double back = 0;
  for (double v : {0.004, 1.0 / 3.0, -2.0 / 7.0, 6.02e23, 1e-5, 123.456789, 20240115.0}) {
    ASSERT_TRUE(ParseReal(ExactDecimal(v), back)) << v;
    EXPECT_EQ(back, v);
  }
  ASSERT_TRUE(ParseReal(F(-1.7e308, 0, 2), back)) << "the widest fixed rendering, 309 digits, is whole";
  EXPECT_EQ(back, -1.7e308);
}

TEST(ParseReal, AcceptsTheFileNumberSyntaxOnly) {
  // "1e-400" is too small for a double and reads as zero, and so does an exponent beyond 64 bits.
  const std::pair<const char*, double> good[] = {{"12.50", 12.5}, {"-3.25", -3.25}, {"+7", 7}, {"1.5E2", 150},
                                                 {"2.5e-003", 0.0025}, {".5", 0.5}, {"5.", 5}, {"1e-400", 0},
                                                 {"1e-99999999999999999999999", 0}};
  for (const auto& [text, expected] : good) {
    double v = 99;
    EXPECT_TRUE(ParseReal(text, v)) << text;
    EXPECT_EQ(v, expected) << text;
  }
  double v = 99;
  for (const char* bad : {"", "-", ".", "2,5", "2a", "1e", "1e+", "--1", "+-1", "nan", "inf", "0x10", "1e400",
                          "9e99999999999999999999999", "12.5.3", " 1", "1 "}) {
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
