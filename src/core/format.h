#pragma once
// Number renderings shared by every result file. All of them use a point as
// decimal mark whatever the locale, right-align in a minimum width and never
// truncate: a value wider than its field is written whole.
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kinvalo {

// Scientific notation with `digits` significant digits and an exponent of at
// least three digits with its sign always written: E(1234.5, 12, 3) is
// "   1.23E+003". Throws std::domain_error for NaN or infinity, which must
// never reach a result file.
std::string E(double value, int width, int digits);

// Fixed-point notation with exactly `decimals` decimals (no point when 0).
std::string F(double value, int width, int decimals);

// Decimal integer; I(v, 0) is the integer alone.
std::string I(long long value, int width = 0);

// The same renderings appended to `out`, for the writers of long tables:
// they allocate nothing once `out` has room, so that one buffer serves a
// table of any length. The characters are those of E, F and I.
void AppendE(std::string& out, double value, int width, int digits);
void AppendF(std::string& out, double value, int width, int decimals);
void AppendI(std::string& out, long long value, int width = 0);

// Fields() for a row that is rendered at the end of `out` from `rowStart`
// on: puts the blank Fields() would put before the field that was appended
// from `fieldStart` on.
void SeparateField(std::string& out, std::size_t rowStart, std::size_t fieldStart);

// Fields of a row put one after another. Every field keeps at least one
// blank before it: a value wider than its field pushes the rest of the row
// to the right instead of running into its neighbour, so that a reader that
// takes the numbers blank by blank still finds them.
std::string Fields(std::initializer_list<std::string> fields);

// The number of significant digits that shows a position on an axis as
// finely as `digits` digits show a value of the size of the data's `range`:
// `digits` for values up to the size of the range, one more for every
// decade the value lies further from zero (dates as X), and at most
// `width` - 8 so that a minus sign and a blank still fit an E field.
int DigitsFor(double value, double range, int digits, int width);

// The value right-aligned in `width` characters.
std::string PadLeft(const std::string& text, int width);

// Two decimals when they hold the value exactly, otherwise the shortest text
// that reads back as the same double. Used by the input file so that small
// values such as 0.004 survive a save and reopen.
std::string ExactDecimal(double value);

// Parses the number syntax of the result files: optional sign, digits,
// optional fraction after a point, optional exponent. The whole text must be
// the number. Returns false for anything else, including values that
// overflow a double.
bool ParseReal(std::string_view text, double& value);

// Optional sign and digits, within the range of a 32-bit integer.
bool ParseInt(std::string_view text, int& value);

}  // namespace kinvalo
