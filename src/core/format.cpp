#include "core/format.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace kinvalo {

namespace {

void RequireFinite(double value) {
  if (!std::isfinite(value)) {
    throw std::domain_error("A value that is not a number reached a result file.");
  }
}

// For a number of valid syntax that does not fit a double: true when it is
// too close to zero rather than too large.
bool IsUnderflow(std::string_view text) {
  long long magnitude = 0;  // decimal position of the first significant digit
  bool seenDigit = false, afterPoint = false;
  size_t i = 0;
  for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
    const char c = text[i];
    if (c == '.') { afterPoint = true; continue; }
    if (c < '0' || c > '9') continue;
    if (!seenDigit && c == '0') { if (afterPoint) --magnitude; continue; }
    if (!seenDigit) { seenDigit = true; if (afterPoint) { --magnitude; } else { magnitude = 1; } continue; }
    if (!afterPoint) ++magnitude;
  }
  long long exponent = 0;
  if (i < text.size()) {
    // strtoll saturates; the digits before the exponent are far fewer
    // than this bound, so the sum below cannot overflow.
    exponent = std::clamp(std::strtoll(std::string(text.substr(i + 1)).c_str(), nullptr, 10), -(1LL << 60), 1LL << 60);
  }
  return magnitude + exponent <= 0;
}

}  // namespace

std::string Fields(std::initializer_list<std::string> fields) {
  std::string row;
  for (const std::string& field : fields) {
    if (!row.empty() && row.back() != ' ' && (field.empty() || field.front() != ' ')) row += ' ';
    row += field;
  }
  return row;
}

int DigitsFor(double value, double range, int digits, int width) {
  if (!(value != 0 && range > 0 && std::isfinite(value) && std::isfinite(range))) return digits;
  const double decades = std::floor(std::log10(std::fabs(value))) - std::floor(std::log10(range));
  const int needed = static_cast<int>(std::clamp(decades, 0.0, 30.0)) + digits;
  return std::clamp(needed, digits, std::max(digits, width - 8));
}

std::string PadLeft(const std::string& text, int width) {
  if (width <= 0 || static_cast<int>(text.size()) >= width) return text;
  return std::string(static_cast<size_t>(width) - text.size(), ' ') + text;
}

namespace {

// Appends the characters from `begin` to `end` right-aligned in `width`.
void AppendPadded(std::string& out, const char* begin, const char* end, int width) {
  const auto size = static_cast<size_t>(end - begin);
  if (width > 0 && size < static_cast<size_t>(width)) out.append(static_cast<size_t>(width) - size, ' ');
  out.append(begin, size);
}

// to_chars writes "-0.00" for a negative value that rounds to zero (and
// "-0.00e+00" for a negative zero); the files show such a value as zero.
const char* SkipMinusOfZero(const char* begin, const char* end) {
  if (begin == end || *begin != '-') return begin;
  for (const char* c = begin; c != end; ++c) {
    if (*c >= '1' && *c <= '9') return begin;
    if (*c == 'e') break;
  }
  return begin + 1;
}

// The most significant digits E renders; no field of a file comes near.
constexpr int kMostDigits = 100;

// The field "d.ddE+XXX" of `value` with `digits` significant digits, as
// to_chars rounds the exact value, written at `out` when double arithmetic
// settles it beyond doubt: the value times a power of ten (exact up to
// 1E22) is rounded once, so a scaled value farther than 8 such roundings
// from a midpoint between two results rounds as the exact one does. That
// is three times as fast as to_chars with a precision; the rest (zero,
// subnormals, 16 digits and more, values near a midpoint) returns nullptr
// and goes to to_chars.
char* QuickE(char* out, double value, int digits) {
  static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr int kMostPower = 22;
  if (digits < 1 || digits > 15) return nullptr;
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  if (biased == 0 || biased == 0x7ff) return nullptr;
  const double magnitude = std::fabs(value);
  // floor(log10(magnitude)) or one off: log10(2) is 78913 / 2^18 to 6 digits.
  int exponent = ((biased - 1023) * 78913) >> 18;
  const double low = kPow10[digits - 1], high = kPow10[digits];
  double scaled = 0;
  for (int attempt = 0;; ++attempt) {
    const int power = digits - 1 - exponent;
    if (power > kMostPower || power < -kMostPower || attempt > 2) return nullptr;
    scaled = power >= 0 ? magnitude * kPow10[power] : magnitude / kPow10[-power];
    if (scaled >= high) {
      ++exponent;
    } else if (scaled < low) {
      --exponent;
    } else {
      break;
    }
  }
  const auto whole = static_cast<std::int64_t>(scaled);
  const double fraction = scaled - static_cast<double>(whole);
  if (std::fabs(fraction - 0.5) <= scaled * 0x1p-50) return nullptr;
  auto mantissa = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
  if (mantissa == static_cast<std::uint64_t>(high)) {  // 9.995 to 1.00E+001
    mantissa /= 10;
    ++exponent;
  }
  char text[24] = {};
  const char* end = std::to_chars(text, text + sizeof text, mantissa).ptr;
  char* p = out;
  if (value < 0) *p++ = '-';
  *p++ = text[0];
  if (digits > 1) {
    *p++ = '.';
    p = std::copy(static_cast<const char*>(text) + 1, end, p);
  }
  *p++ = 'E';
  *p++ = exponent < 0 ? '-' : '+';
  const int e = std::abs(exponent);
  *p++ = static_cast<char>('0' + e / 100);
  *p++ = static_cast<char>('0' + e / 10 % 10);
  *p++ = static_cast<char>('0' + e % 10);
  return p;
}

}  // namespace

void AppendE(std::string& out, double value, int width, int digits) {
  RequireFinite(value);
  digits = std::clamp(digits, 1, kMostDigits);
  char quick[32];
  if (const char* end = QuickE(quick, value, digits)) {
    AppendPadded(out, quick, end, width);
    return;
  }
  // to_chars ignores the locale: a German desktop must not put commas here.
  // It writes "d.ddde+XX" with at least two digits of exponent.
  char buf[kMostDigits + 16];
  const char* end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1).ptr;
  const char* begin = SkipMinusOfZero(buf, end);
  const char* e = end - 1;
  while (*e != 'e') --e;
  // The mantissa, then "E", the sign and the exponent in three digits at
  // least, put together before they are appended in one piece.
  char field[kMostDigits + 16];
  char* p = std::copy(begin, e, field);
  *p++ = 'E';
  *p++ = e[1];
  for (std::ptrdiff_t expDigits = end - (e + 2); expDigits < 3; ++expDigits) *p++ = '0';
  p = std::copy(e + 2, end, p);
  AppendPadded(out, field, p, width);
}

void AppendF(std::string& out, double value, int width, int decimals) {
  RequireFinite(value);
  if (decimals < 0) decimals = 0;
  // 309 integer digits, a sign, a point and the decimals at the most.
  constexpr int kMostDecimals = 60;
  if (decimals > kMostDecimals) {
    std::string text(static_cast<size_t>(decimals) + 330, '\0');
    const char* end = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed,
                                    decimals).ptr;
    AppendPadded(out, SkipMinusOfZero(text.data(), end), end, width);
    return;
  }
  char buf[kMostDecimals + 330];
  const char* end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr;
  AppendPadded(out, SkipMinusOfZero(buf, end), end, width);
}

void AppendI(std::string& out, long long value, int width) {
  char buf[24];
  const char* end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  AppendPadded(out, buf, end, width);
}

void SeparateField(std::string& out, std::size_t rowStart, std::size_t fieldStart) {
  const bool fieldBlank = fieldStart < out.size() && out[fieldStart] == ' ';
  if (fieldStart > rowStart && out[fieldStart - 1] != ' ' && !fieldBlank) out.insert(fieldStart, 1, ' ');
}

std::string E(double value, int width, int digits) {
  std::string text;
  AppendE(text, value, width, digits);
  return text;
}

std::string F(double value, int width, int decimals) {
  std::string text;
  AppendF(text, value, width, decimals);
  return text;
}

std::string I(long long value, int width) {
  std::string text;
  AppendI(text, value, width);
  return text;
}

std::string ExactDecimal(double value) {
  RequireFinite(value);
  if (value == 0.0) return "0.00";
  std::string fixed = F(value, 0, 2);
  double back = 0.0;
  if (ParseReal(fixed, back) && back == value) return fixed;
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
}

bool ParseReal(std::string_view text, double& value) {
  size_t i = 0;
  const size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && text[i] >= '0' && text[i] <= '9') { ++i; ++digits; }
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && text[i] >= '0' && text[i] <= '9') { ++i; ++digits; }
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') { ++i; ++expDigits; }
    if (expDigits == 0) return false;
  }
  if (i != n) return false;
  // The syntax is checked above; from_chars only converts, and ignores the
  // locale.
  const char* begin = text.data();
  if (*begin == '+') ++begin;
  double parsed = 0.0;
  const auto result = std::from_chars(begin, text.data() + n, parsed);
  if (result.ec == std::errc::result_out_of_range) {
    // Too small for a double reads as zero; too large is not a usable number.
    if (!IsUnderflow(text)) return false;
    parsed = 0.0;
  } else if (result.ec != std::errc() || result.ptr != text.data() + n) {
    return false;
  }
  if (!std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool ParseInt(std::string_view text, int& value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  if (begin == end) return false;
  int parsed = 0;
  const auto result = std::from_chars(begin, end, parsed);
  if (result.ec != std::errc() || result.ptr != end) return false;
  value = parsed;
  return true;
}

}  // namespace kinvalo
