// The data table of the input page without its window: the number
// conversion, the multi-cell paste, the count box and the taking of rows.
#include "data/input_table.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/scripted_platform.h"

namespace kinvalo {
namespace {

struct ConversionCase {
  const char* name;
  const char* text;
  char separator;
  bool ok;
  double value;
};

class StringToFloatTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(StringToFloatTest, ReadsEitherDecimalMarkOrRefuses) {
  const ConversionCase& c = GetParam();
  if (c.ok) {
    EXPECT_DOUBLE_EQ(StringToFloat(c.text, c.separator), c.value);
  } else {
    EXPECT_THROW(StringToFloat(c.text, c.separator), ConversionError);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cells, StringToFloatTest,
    ::testing::Values(ConversionCase{"PointOnPointSystem", "3.5", '.', true, 3.5},
                      ConversionCase{"PointOnCommaSystem", "3.5", ',', true, 3.5},
                      ConversionCase{"CommaOnPointSystem", "2,5", '.', true, 2.5},
                      ConversionCase{"CommaOnCommaSystem", "2,5", ',', true, 2.5},
                      ConversionCase{"NegativeWithExponent", "-1.5E2", '.', true, -150.0},
                      ConversionCase{"PlusSignAndBlanksAround", " +7 ", '.', true, 7.0},
                      ConversionCase{"NoDigitBeforeMark", ",25", '.', true, 0.25},
                      ConversionCase{"LetterAfterNumber", "2a", '.', false, 0},
                      ConversionCase{"ThousandsAndDecimalMark", "1,234.5", '.', false, 0},
                      ConversionCase{"BlankInside", "1 234", '.', false, 0},
                      ConversionCase{"Empty", "", '.', false, 0},
                      ConversionCase{"OnlyBlanks", "  ", ',', false, 0},
                      ConversionCase{"TwoMarks", "1.2.3", '.', false, 0},
                      ConversionCase{"ExponentWithoutDigits", "1e", '.', false, 0},
                      ConversionCase{"OnlyMinus", "-", '.', false, 0},
                      ConversionCase{"Overflow", "1e999", '.', false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FloatToStringTest, ShortestTextThatReadsBackWithTheGivenMark) {
  EXPECT_EQ(FloatToString(3.5, ','), "3,5");
  EXPECT_EQ(FloatToString(100000, '.'), "100000");
  EXPECT_EQ(FloatToString(-0.004, '.'), "-0.004");
  EXPECT_EQ(FloatToString(-0.0, '.'), "0");
  EXPECT_EQ(FloatToString(1.5e20, '.'), "1.5E+20");
  for (double v : {0.1, 1.0 / 3.0, 123456.789, 1e-7, -2.5e300}) {
    for (char mark : {'.', ','}) EXPECT_EQ(StringToFloat(FloatToString(v, mark), mark), v);
  }
}

struct FilterCase {
  const char* name;
  const char* pasted;
  const char* kept;
};

class FilterPastedCellTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterPastedCellTest, KeepsWhatANumberNeeds) {
  EXPECT_EQ(FilterPastedCell(GetParam().pasted), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Pasted, FilterPastedCellTest,
    ::testing::Values(FilterCase{"ThousandsGapAndComma", "1 234,5", "1234,5"},
                      FilterCase{"LettersAndBlanksVanish", " 12 kg", "12"},
                      FilterCase{"PlusSignDropped", "+5", "5"},
                      FilterCase{"ExponentWithSignKept", "1.5E+03", "1.5E+03"},
                      FilterCase{"ExponentAfterMarkKept", "2.e-4", "2.E-4"},
                      FilterCase{"LetterBeforeDigitsIsNoExponent", "E5", "5"},
                      FilterCase{"DanglingExponentDropped", "7e", "7"},
                      FilterCase{"SecondExponentDropped", "1e2e3", "1E23"},
                      FilterCase{"NonBreakingSpace", "1\xC2\xA0" "234", "1234"},
                      FilterCase{"Text", "n.a.", ".."}),
    [](const auto& info) { return std::string(info.param.name); });

// A fresh input page, laid out as the input tab shows it at start.
class InputPageTest : public ::testing::Test {
 protected:
  InputPageTest() : dm(ui), page(dm) { page.LayOutTable(); }

  // Two tab-separated columns ending in CR LF, Y = 100 + i, X = i.
  static std::string Columns(int lines, const char* end = "\r\n") {
    std::string text;
    for (int i = 1; i <= lines; ++i) text += std::to_string(100 + i) + "\t" + std::to_string(i) + end;
    return text;
  }
  std::string Row(int r) const {
    return page.Grid.Cell(0, r) + "|" + page.Grid.Cell(1, r) + "|" + page.Grid.Cell(2, r);
  }

  test::ScriptedPlatform ui;
  WorkingData dm;
  InputPage page;
};

TEST_F(InputPageTest, FreshTableHoldsFifteenRowsOfZeros) {
  EXPECT_EQ(page.Grid.RowCount(), 16);
  EXPECT_EQ(Row(0), "Serial|    Y|    X");
  EXPECT_EQ(Row(15), "15|0|0");
  EXPECT_EQ(page.NrOfDataEdit, "15");
  EXPECT_EQ(page.Grid.Width(), 220);
}

TEST_F(InputPageTest, EveryKindOfLineEndOpensOneRow) {
  for (const char* end : {"\r\n", "\n", "\r"}) {
    InputPage fresh(dm);
    fresh.LayOutTable();
    fresh.StringGrid1SetEditText(1, 1, Columns(20, end));
    EXPECT_EQ(dm.NrOfData, 20) << "line end " << static_cast<int>(end[0]);
    EXPECT_EQ(fresh.Grid.Cell(1, 20) + "|" + fresh.Grid.Cell(2, 20), "120|20");
  }
}

TEST_F(InputPageTest, PastedBlocksOfOddShapes) {
  // A last line without its line end still counts, extra line ends at the
  // end add nothing, columns beyond X are left out.
  page.StringGrid1SetEditText(1, 1, Columns(19) + "7\t8\t9\t10\r\n\r\n\r\n");
  EXPECT_EQ(dm.NrOfData, 20);
  EXPECT_EQ(Row(20), "20|7|8");
  // An empty row in the middle leaves empty cells there.
  page.StringGrid1SetEditText(1, 3, "5\t6\r\n\t\r\n7\t8");
  EXPECT_EQ(Row(4), "4||");
  EXPECT_EQ(Row(5), "5|7|8");
  // A single column pasted into X leaves Y as it was.
  page.StringGrid1SetEditText(2, 1, "0,5\r\n1 000,25\r\n");
  EXPECT_EQ(Row(1), "1|101|0,5");
  EXPECT_EQ(Row(2), "2|102|1000,25");
}

TEST_F(InputPageTest, AYValueThatStaysNoNumberIsKeptForTheRunToReport) {
  page.StringGrid1SetEditText(1, 1, Columns(15) + "1,234.5\t16\r\n");
  EXPECT_EQ(page.Grid.Cell(1, 16), "1,234.5");
  EXPECT_EQ(dm.NrOfData, 16);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(page.TakeTableRows("a", "b"));
  EXPECT_EQ(ui.messages.back(), "Not all data values in the inputfile are real, do not use letters or blanks.");
}

struct CountCase {
  const char* name;
  const char* text;
  const char* message;  // "" for none
  int rows;
};

class NrOfDataEditExitTest : public InputPageTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(NrOfDataEditExitTest, ChecksTheCountBox) {
  const CountCase& c = GetParam();
  page.StringGrid1SetEditText(1, 2, "7.25");  // typed data
  ui.messages.clear();
  page.NrOfDataEdit = c.text;
  page.NrOfDataEditExit();
  if (*c.message) {
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], c.message);
  } else {
    EXPECT_TRUE(ui.messages.empty());
  }
  EXPECT_EQ(page.TableRows(), c.rows);
  EXPECT_EQ(page.Grid.Cell(1, 2), "7.25");  // typed values survive
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NrOfDataEditExitTest,
    ::testing::Values(CountCase{"Letters", "ten", "The number of data sets is not a valid integer", 15},
                      CountCase{"Decimal", "20.5", "The number of data sets is not a valid integer", 15},
                      CountCase{"Negative", "-20", " The minimum number of data sets is 10", 15},
                      CountCase{"BelowTen", "9", " The minimum number of data sets is 10", 15},
                      CountCase{"Lowered", "12", " To remove data make the relevant data cells empty", 15},
                      CountCase{"Same", "15", "", 15},
                      CountCase{"Empty", "", "", 15},
                      CountCase{"Raised", " 20", " Add data in the last cells at the end of the column", 20},
                      CountCase{"Huge", "2000000000", " The maximum number of data sets is 100000", 15}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(InputPageTest, RaisingTheCountKeepsTypedTextsAndAddsEmptyRows) {
  page.StringGrid1SetEditText(1, 1, "3,5");
  page.StringGrid1SetEditText(2, 15, "oops");
  page.NrOfDataEdit = "20";
  page.NrOfDataEditExit();
  EXPECT_EQ(Row(1), "1|3,5|0");
  EXPECT_EQ(Row(15), "15|0|oops");
  EXPECT_EQ(Row(16), "16||");
  EXPECT_EQ(Row(20), "20||");
  EXPECT_EQ(dm.YData.at(0), 3.5);
  EXPECT_EQ(dm.NrOfInputData, 15);
  // While a cell is being edited the count box is only checked.
  ui.messages.clear();
  page.NrOfDataEdit = "30";
  page.StringGrid1SetEditText(1, 20, "1");
  EXPECT_EQ(page.TableRows(), 20);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(InputPageTest, RunDropsRowsWithAnEmptyCellAndShowsTheKeptOnes) {
  for (int r = 1; r <= 15; ++r) {
    page.StringGrid1SetEditText(1, r, std::to_string(r * 10));
    page.StringGrid1SetEditText(2, r, std::to_string(r) + ",5");
  }
  page.StringGrid1SetEditText(2, 3, "");
  page.StringGrid1SetEditText(2, 7, "");
  ASSERT_TRUE(page.TakeTableRows("", ""));
  EXPECT_EQ(dm.NrOfData, 13);
  EXPECT_EQ(dm.NrOfInputData, 13);
  EXPECT_EQ(page.NrOfDataEdit, "13");
  EXPECT_EQ(page.Grid.RowCount(), 14);
  EXPECT_EQ(Row(2), "2|20|2,5");
  EXPECT_EQ(Row(3), "3|40|4.5");  // moved rows show their values again
  EXPECT_EQ(Row(13), "13|150|15.5");
  EXPECT_EQ(dm.XData.at(12), 15.5);
  EXPECT_EQ(dm.Title1, " No first title given");
  EXPECT_EQ(dm.Title2, " No second title given");
}

TEST_F(InputPageTest, ALetterStopsTheRunAndChangesNothing) {
  page.StringGrid1SetEditText(1, 5, "2a");
  dm.NrOfData = 15;
  const auto y = dm.YData;
  EXPECT_FALSE(page.TakeTableRows("t1", "t2"));
  EXPECT_EQ(ui.messages.back(), "Not all data values in the inputfile are real, do not use letters or blanks.");
  EXPECT_EQ(dm.YData, y);
  EXPECT_EQ(page.Grid.Cell(1, 5), "2a");
  EXPECT_EQ(page.W.DecimalSeparator, page.W.SystemDecimalSeparator);
}

TEST_F(InputPageTest, TenThousandPastedRows) {
  page.StringGrid1SetEditText(1, 1, Columns(10000));
  EXPECT_EQ(dm.NrOfData, 10000);
  EXPECT_EQ(Row(10000), "10000|10100|10000");
  ASSERT_TRUE(page.TakeTableRows("a", "b"));
  EXPECT_EQ(dm.NrOfData, 10000);
}

// The maximum holds for a count typed into the box, not for pasted rows.
TEST_F(InputPageTest, MoreRowsPastedThanTheCountBoxTakes) {
  page.StringGrid1SetEditText(1, 1, Columns(100001));
  EXPECT_EQ(dm.NrOfData, 100001);
  EXPECT_TRUE(ui.messages.empty());
  page.StringGrid1SetEditText(1, 2, "7");
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace kinvalo
