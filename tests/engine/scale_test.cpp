// Where the data sit must not change the answer. Each data set is run as
// given and with X -> aX + b and Y -> cY + d (a and c positive); every
// number of the .out, .txt and .var files, taken back through the
// transformation, agrees with the untransformed run's to the digits both
// print: the type and the breakpoint, the check marks of every candidate,
// the slopes and deviations, the coefficients and every F and
// significance.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "calc/calculation.h"
#include "core/format.h"
#include "core/headless_platform.h"
#include "support/engine_fixture.h"

namespace kinvalo {
namespace {

struct DataSet {
  std::string name;
  std::vector<double> x, y;
  Preference preference = Preference::BestOfTwo;
};

DataSet Example(const std::string& name) {
  HeadlessPlatform platform;
  WorkingData dm(platform);
  dm.FileName = std::string(KINVALO_EXAMPLES) + "/" + name + ".inp";
  EXPECT_TRUE(dm.ReadInputFile()) << name;
  const auto n = static_cast<size_t>(dm.NrOfData);
  return {name, {dm.XData.begin(), dm.XData.begin() + n}, {dm.YData.begin(), dm.YData.begin() + n}};
}

// n data sets at X = 0, 1.3, 2.6, ... with Y = f(X) and a wobble that puts
// no side exactly on a line.
DataSet Made(const std::string& name, int n, const std::function<double(double)>& f,
             Preference preference = Preference::BestOfTwo) {
  DataSet d{name, {}, {}, preference};
  for (int i = 0; i < n; ++i) {
    const double x = 1.3 * i;
    d.x.push_back(x);
    d.y.push_back(f(x) + 0.4 * std::sin(2.1 * i + 0.5) + 0.2 * std::cos(4.7 * i));
  }
  return d;
}

std::vector<DataSet> DataSets() {
  std::vector<DataSet> sets;
  for (const char* name : {"fertiliser", "salinity", "straight", "waterlogging", "watertable"}) {
    sets.push_back(Example(name));
  }
  sets.push_back(Made("falling threshold", 45, [](double x) { return x < 20 ? 50 : 50 - 0.9 * (x - 20); }));
  sets.push_back(Made("rising plateau", 45, [](double x) { return x < 35 ? 10 + 0.8 * x : 38; },
                      Preference::PreferType4));
  sets.push_back(Made("falling plateau", 40, [](double x) { return x < 30 ? 60 - 1.1 * x : 27; }));
  sets.push_back(Made("threshold and plateau", 60,
                      [](double x) { return 5 + 0.7 * (std::clamp(x, 20.0, 55.0) - 20); },
                      Preference::PreferType3));
  return sets;
}

struct Transformation {
  long double a, b, c, d;  // X -> aX + b, Y -> cY + d
};

// How a printed number moves with the data.
// A Level is a Y, or 0 when its type was not found (the mean of no data).
enum class Kind { Same, X, Y, Level, XScale, YScale, Slope, SumOfSquares, Skip };

long double Moved(Kind kind, long double v, const Transformation& t) {
  switch (kind) {
    case Kind::X: return t.a * v + t.b;
    case Kind::Y:
    case Kind::Level: return t.c * v + t.d;
    case Kind::XScale: return t.a * v;
    case Kind::YScale: return t.c * v;
    case Kind::Slope: return t.c / t.a * v;
    case Kind::SumOfSquares: return t.c * t.c * v;
    default: return v;
  }
}

// A printed number and the unit of its last digit (0 for an exact 0 in
// scientific form, whose exponent says nothing).
struct Printed {
  long double value = 0, unit = 0;
};

bool ParsePrinted(const std::string& token, Printed& p) {
  double v = 0;
  if (!ParseReal(token, v)) return false;
  p.value = v;
  const size_t e = token.find_first_of("eE");
  const size_t point = token.find('.');
  if (e != std::string::npos) {
    const int decimals = point == std::string::npos ? 0 : static_cast<int>(e - point - 1);
    p.unit = v == 0 ? 0 : std::pow(10.0L, std::stoi(token.substr(e + 1)) - decimals);
  } else {
    const int decimals = point == std::string::npos ? 0 : static_cast<int>(token.size() - point - 1);
    p.unit = std::pow(10.0L, -decimals);
  }
  return true;
}

// True when one true value, rounded, gives both printed numbers.
bool Agree(Kind kind, const Printed& given, const Printed& moved, const Transformation& t) {
  if (kind == Kind::Skip) return true;
  if (kind == Kind::Level && given.value == 0 && given.unit == 0) return moved.value == 0;
  const long double lo = Moved(kind, given.value - given.unit / 2, t);
  const long double hi = Moved(kind, given.value + given.unit / 2, t);
  const long double slack = 1e-9L * std::max(std::fabs(Moved(kind, given.value, t)), std::fabs(moved.value));
  return hi + slack >= moved.value - moved.unit / 2 && moved.value + moved.unit / 2 + slack >= lo;
}

std::vector<std::string> Tokens(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> tokens;
  for (std::string t; in >> t;) tokens.push_back(t);
  return tokens;
}

bool Starts(const std::string& line, const char* start) { return line.rfind(start, 0) == 0; }

// The kinds of the numbers of each line of a report, from the line before
// it: the rows of the report's layout.
class Layout {
 public:
  explicit Layout(char extension) : extension_(extension) {}

  std::vector<Kind> KindsOf(const std::string& line) {
    using K = Kind;
    std::vector<Kind> kinds = FromCaption();
    previous_ = line;
    if (extension_ == 'o') {
      if (Starts(line, " BPx=")) row_ = 1;
      else if (row_ > 0 && row_ < 3) ++row_;
      else row_ = 0;
      if (Starts(line, " BPx=")) return {K::X, K::Same, K::Y, K::X};
      if (row_ == 2) return {K::Slope, K::Same, K::Slope, K::Skip};  // Y(X=0) moves with both
      if (row_ == 3) return {K::YScale, K::YScale, K::XScale};
      if (Starts(line, " Optimal breakpoint")) return {K::X};
      if (Starts(line, "     As =")) return {K::Slope, K::Slope};
      if (Starts(line, "     Cs =")) return {K::Skip, K::Skip};
      if (Starts(line, "      A =")) return {K::Slope, K::Skip};
      if (Starts(line, " -----")) observations_ = true;
      else if (observations_) return {K::Same, K::Y, K::X, K::Y};
    }
    if (extension_ == 't') {
      if (Starts(line, "    BP    Nr1")) rows_ = true;
      else if (rows_) return {K::X, K::Same, K::Y, K::X, K::Slope, K::Slope, K::Slope, K::Y, K::X, K::Slope};
    }
    if (extension_ == 'v') {
      if (Starts(line, " Sum[")) return {K::SumOfSquares};
      if (Starts(line, " Breakpoints at")) return {K::X, K::X};
    }
    return kinds;
  }

 private:
  // Rows whose kinds follow from the caption line above them.
  std::vector<Kind> FromCaption() const {
    using K = Kind;
    const std::string& p = previous_;
    if (Starts(p, "   Slope > BPx              Ybp") || Starts(p, "   Slope < BPx              Ybp")) {
      return {K::Slope, K::Y, K::Same, K::YScale};
    }
    if (Starts(p, "  St.Err.Slope")) return {K::Slope, K::XScale, K::Same, K::YScale};
    if (Starts(p, "   St.Dev.Yr")) return {K::YScale, K::YScale, K::YScale};
    if (Starts(p, "   Slope < BPx         St.Err") || Starts(p, "   Slope > BPx         St.Err")) {
      return {K::Slope, K::Slope, K::Same, K::Same};
    }
    // The level of the other type; when that type was not found, the mean
    // of no data: 0 wherever the data lie.
    if (Starts(p, "   Conf. BP left")) return {K::X, K::X, K::Level, K::X};
    if (Starts(p, "   Conf. BP end low") || Starts(p, "   Conf. BP top low")) return {K::X, K::X};
    if (p.find(" F(") != std::string::npos) {
      return {K::SumOfSquares, K::Same, K::SumOfSquares, K::Same, K::Same};
    }
    if (Starts(p, " unexplained")) return {K::SumOfSquares, K::Same, K::SumOfSquares};
    return {};
  }

  char extension_;
  std::string previous_;
  int row_ = 0;
  bool observations_ = false, rows_ = false;
};

struct Run {
  FunctionType type = FunctionType::StraightLine;
  std::string out, txt, var;
};

Run Calculate(const DataSet& set, const Transformation& t) {
  HeadlessPlatform platform;
  WorkingData dm(platform);
  test::TempDir dir;
  dm.FileName = dir / "run.inp";
  dm.Title1 = "title";
  dm.Title2 = "title";
  for (size_t i = 0; i < set.x.size(); ++i) {
    dm.XData.push_back(static_cast<double>(t.a * set.x[i] + t.b));
    dm.YData.push_back(static_cast<double>(t.c * set.y[i] + t.d));
  }
  dm.NrOfData = dm.NrOfInputData = static_cast<std::int32_t>(set.x.size());
  const SearchResult r = CalculateResults(dm, {Confidence{}, set.preference}, platform);
  return {r.type, test::ReadBytes(dir / "run.out"), test::ReadBytes(dir / "run.txt"),
          test::ReadBytes(dir / "run.var")};
}

// Compares one file of both runs line by line; returns the first line
// that disagrees, or an empty text.
std::string Disagreement(char extension, const std::string& given, const std::string& moved,
                         const Transformation& t) {
  const std::vector<std::string> a = test::SplitLines(given), b = test::SplitLines(moved);
  if (a.size() != b.size()) return "line count " + std::to_string(a.size()) + " / " + std::to_string(b.size());
  Layout layout(extension);
  for (size_t i = extension == 't' ? 1 : 0; i < a.size(); ++i) {  // the .txt begins with its path
    const std::vector<Kind> kinds = layout.KindsOf(a[i]);
    const std::vector<std::string> ta = Tokens(a[i]), tb = Tokens(b[i]);
    const std::string where = "line " + std::to_string(i + 1) + ":\n  " + a[i] + "\n  " + b[i];
    if (ta.size() != tb.size()) return where;
    size_t number = 0;
    for (size_t k = 0; k < ta.size(); ++k) {
      Printed pa, pb;
      if (!ParsePrinted(ta[k], pa)) {
        if (ta[k] != tb[k]) return where;
        continue;
      }
      if (!ParsePrinted(tb[k], pb)) return where;
      const Kind kind = number < kinds.size() ? kinds[number] : Kind::Same;
      ++number;
      if (!Agree(kind, pa, pb, t)) return where + "\n  (number " + std::to_string(number) + ")";
    }
  }
  return "";
}

void ExpectEquivariant(const std::vector<Transformation>& transformations) {
  for (const DataSet& set : DataSets()) {
    const Run given = Calculate(set, {1, 0, 1, 0});
    for (const Transformation& t : transformations) {
      SCOPED_TRACE(testing::Message() << set.name << ": X -> " << static_cast<double>(t.a) << " X + "
                                      << static_cast<double>(t.b) << ", Y -> " << static_cast<double>(t.c)
                                      << " Y + " << static_cast<double>(t.d));
      const Run moved = Calculate(set, t);
      ASSERT_EQ(moved.type, given.type);
      EXPECT_EQ(Disagreement('o', given.out, moved.out, t), "");
      EXPECT_EQ(Disagreement('t', given.txt, moved.txt, t), "");
      EXPECT_EQ(Disagreement('v', given.var, moved.var, t), "");
    }
  }
}

TEST(Equivariance, DataShiftedFarFromZeroGiveTheSameReport) {
  ExpectEquivariant({{1, 1e6L, 1, 0}, {1, 1e9L, 1, 0}, {1, 0, 1, 1e6L}, {1, 0, 1, 1e9L},
                     {1, 1e6L, 1, 1e6L}, {1, 1e9L, 1, 1e9L}, {1, -1e9L, 1, -1e9L}});
}

TEST(Equivariance, DataScaledShiftedOrBothGiveTheSameReport) {
  ExpectEquivariant({{1e-8L, 0, 1, 0},     {1e12L, 0, 1, 0},      {1, 0, 1e-8L, 0},
                     {1, 0, 1e12L, 0},     {1e-8L, 0, 1e-8L, 0},  {1e12L, 0, 1e12L, 0},
                     {1e-8L, 0, 1e12L, 0}, {1e12L, 0, 1e-8L, 0},  {1e3L, -1e9L, 1e-3L, 5e5L},
                     {7.5L, 1e9L, 0.37L, -1e9L}, {1e12L, -1e9L, 1e-6L, 1e3L}, {1e-3L, -2e3L, 1e6L, -1e9L}});
}

}  // namespace
}  // namespace kinvalo
