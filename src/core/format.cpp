#include "core/format.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
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

}  // namespace

void AppendE(std::string& out, double value, int width, int digits) {
  RequireFinite(value);
  digits = std::clamp(digits, 1, kMostDigits);
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
