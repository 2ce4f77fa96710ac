#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

#include "core/format.h"
#include "data/output_reader.h"
#include "support/engine_fixture.h"

namespace kinvalo {
namespace {

using test::EngineTest;

using OutputTest = EngineTest;

double Threshold(double x) { return x < 20 ? 10 : 10 + 0.5 * (x - 20); }

// The header names the files, blanks and all, the confidence and the
// excluded and preferred types (the golden files and the batch command show
// the other confidences and preferences). A rising threshold measures the
// increase from the far end; rows beyond the data of the input are marked;
// the table's explanation never exceeds the central one. The explanation
// table says what its checks of a rising threshold mean.
TEST_F(OutputTest, HeaderRisingThresholdAndAddedRows) {
  dm.FileName = dir / "field trial.inp";
  Generate(40, 1, 1, Threshold);
  dm.NrOfInputData = 38;
  options.preference = Preference::PreferType3;
  options.confidence = Confidence::FromPercent(95);
  Search();
  EXPECT_TRUE(platform.messages.empty());
  ASSERT_EQ(result.type, FunctionType::Threshold);
  const std::string out = test::ReadBytes(dir / "field trial.out");
  EXPECT_NE(out.find(" CAN BE TAKEN ZERO LIKE IN TYPE 3.\r\n\r\n Name of this output file:  field trial.out\r\n"
                     " Name of input file used :  field trial.inp\r\n\r\n Title one\r\n Title two\r\n"
                     " Minimum confidence % : 95\r\n X-type excluded: 4 \r\n X-type preferred: 3 \r\n\r\n"),
            std::string::npos);
  EXPECT_NE(out.find("   Slope > BPx              Ybp              N</Nt      increase Yi\r\n"), std::string::npos);
  EXPECT_NE(out.find("  St.Err.Slope>BPx       St.Err.BPx      St.Err.N</Nt    St.Err.Yi\r\n"), std::string::npos);
  const auto txt = test::SplitLines(test::ReadBytes(dir / "field trial.txt"));
  ASSERT_GT(txt.size(), 10u);
  EXPECT_EQ(std::vector(txt.begin() + 8, txt.begin() + 11),
            (std::vector<std::string>{
                " Check # = condition Slope1 < StDevSlope1 is met, Slope1 may be taken zero",
                " Check o = condition Slope1 < StDevSlope1 is not met, Slope1 is definitely positive",
                " For relations of Type 3, the BP value at the LAST # sign is selected as threshold."}));
  const auto lines = test::SplitLines(out);
  const auto serial = std::find(lines.begin(), lines.end(), " Serial        Yobs          X         Ycalc");
  ASSERT_EQ(lines.end() - serial, 42);
  EXPECT_EQ((serial + 39)->find("Added"), std::string::npos);
  EXPECT_TRUE((serial + 40)->ends_with("  Added") && (serial + 41)->ends_with("  Added"));
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (lines[i].find("Expl. Coeff.") == std::string::npos) continue;
    EXPECT_LE(std::stod(lines[i + 1].substr(34, 17)), std::stod(lines[i + 1].substr(51)));
  }
}

// The explanation of a falling plateau (a rising one is golden).
TEST_F(OutputTest, AFallingPlateauExplainsItsChecks) {
  Generate(40, 5, 1, [](double x) { return x < 25 ? 30 - 0.8 * (x - 5) : 14; });
  Search();
  ASSERT_EQ(result.type, FunctionType::Plateau);
  const auto txt = Lines(".txt");
  ASSERT_GT(txt.size(), 10u);
  EXPECT_EQ(std::vector(txt.begin() + 8, txt.begin() + 11),
            (std::vector<std::string>{
                " Check # = condition Slope2 > - StDevSlope2 is met, Slope2 may be taken zero",
                " Check o = condition Slope2 > - StDevSlope2 is not met, Slope2 is definitely negative",
                " For relations of Type 4, the BP at the FIRST # sign is selected as threshold."}));
}

TEST_F(OutputTest, ACentreOnTheBreakpointPrintsASlopeOfTenAndMarksAddedRows) {
  // A result made by hand: the centre of the data above lies on the breakpoint.
  SearchResult r;
  r.data = {{1, 2, 3, 4, 6, 6}, {5, 5, 5, 5, 7, 9}, {}, 4};
  r.options.inputPath = dir / "run.inp";
  r.type = FunctionType::Threshold;
  r.method = 2;
  r.xMin = 1, r.xMax = 6, r.breakpoint = 6, r.slopeAll = 1;
  r.type3.breakpoint = r.type4.breakpoint = 6;
  {
    TextWriter out;
    ASSERT_TRUE(out.Create(dir / "run.out"));
    std::vector<std::string> rawVariance;
    WriteOutputReport(out, rawVariance, r);
    out.Commit();
  }
  const auto lines = Lines(".out");
  const auto serial = std::find(lines.begin(), lines.end(), " Serial        Yobs          X         Ycalc");
  ASSERT_NE(serial, lines.end());
  EXPECT_EQ(*(serial - 3), "     As =  0.00E+000       Ag =  1.00E+001");
  EXPECT_EQ(*(serial + 2), "   1         5.00E+000  1.000E+000   5.00E+000");
  EXPECT_EQ(*(serial + 5), "   4         5.00E+000  4.000E+000   5.00E+000");
  EXPECT_EQ(*(serial + 6), "   5         7.00E+000  6.000E+000   8.00E+000  Added");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(OutputTest, DatesAsXKeepTheirFieldsApartAndTheirDigits) {
  // X as dates: level, rising, level again, so that both types are found.
  Generate(45, 20240101, 1, [](double x) {
    const double d = x - 20240101;
    return d < 15 ? 10 : d < 30 ? 10 + (d - 15) : 25;
  });
  Calculate();
  ASSERT_FALSE(result.refusal);
  ASSERT_TRUE(result.bothTypesFound);
  EXPECT_TRUE(std::is_sorted(dm.XData.begin(), dm.XData.end())) << "the working data are left sorted";

  // Every row of the explanation table keeps its 11 fields apart, though
  // a date is wider than its field.
  const auto txt = Lines(".txt");
  const auto header = std::find_if(txt.begin(), txt.end(), [](const std::string& l) { return l.rfind("    BP", 0) == 0; });
  ASSERT_LT(header + 2, txt.end());
  for (auto row = header + 2; row != txt.end(); ++row) {
    std::istringstream in(*row);
    std::vector<std::string> fields{std::istream_iterator<std::string>(in), {}};
    ASSERT_EQ(fields.size(), 11u) << *row;
    EXPECT_EQ(fields[0].substr(0, 4), "2024") << *row;
  }
  // The limits show the dates where their fields have room: 5 digits in
  // the 13 wide field, 10 in the 21 wide one.
  const auto out = Lines(".out");
  const auto caption = std::find_if(out.begin(), out.end(), [](const std::string& l) { return l.rfind("   Conf. BP left", 0) == 0; });
  ASSERT_LT(caption + 1, out.end());
  const PartialResult& own = result.type == FunctionType::Threshold ? result.type3 : result.type4;
  EXPECT_EQ((caption + 1)->substr(0, 34), E(own.confLeft, 13, 5) + E(own.confRight, 21, 10));
  EXPECT_EQ(E(own.confRight, 21, 10).find("2.0240"), 5u);
  // The graphs read the dates back.
  const OutputReadResult read = ReadOutputFile(dir / "run.out", result.type);
  ASSERT_TRUE(read.model);
  EXPECT_NEAR(read.model->Of(result.type).confRight, own.confRight, 0.5);
  EXPECT_EQ(read.model->x.size(), 45u);
}

}  // namespace
}  // namespace kinvalo
