// The data table of the input page without its window: the number
// conversion, the multi-cell paste, the count box and the taking of rows.
#include "data/input_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "support/scripted_platform.h"

namespace kinvalo {
namespace {

TEST(StringToFloat, ReadsEitherDecimalMarkWhateverTheSystemsAndNothingElse) {
  const double kRefused = std::nan("");
  const struct {
    const char* name;
    const char* text;
    char systemMark;
    double value;
  } cases[] = {{"PointOnPointSystem", "3.5", '.', 3.5},
               {"PointOnCommaSystem", "3.5", ',', 3.5},
               {"CommaOnPointSystem", "2,5", '.', 2.5},
               {"CommaOnCommaSystem", "2,5", ',', 2.5},
               {"NegativeWithExponent", "-1.5E2", '.', -150.0},
               {"PlusSignAndBlanksAround", " +7 ", '.', 7.0},
               {"NoDigitBeforeMark", ",25", '.', 0.25},
               {"LetterAfterNumber", "2a", '.', kRefused},
               {"ThousandsAndDecimalMark", "1,234.5", '.', kRefused},
               {"BlankInside", "1 234", '.', kRefused},
               {"OnlyBlanks", "  ", ',', kRefused},
               {"TwoMarks", "1.2.3", '.', kRefused},
               {"ExponentWithoutDigits", "1e", '.', kRefused},
               {"OnlyMinus", "-", '.', kRefused},
               {"Overflow", "1e999", '.', kRefused}};
  for (const auto& c : cases) {
    if (std::isnan(c.value)) {
      EXPECT_THROW(StringToFloat(c.text, c.systemMark), ConversionError) << c.name;
    } else {
      EXPECT_DOUBLE_EQ(StringToFloat(c.text, c.systemMark), c.value) << c.name;
    }
  }
}

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

// A multi-cell paste keeps what a number needs of each cell.
TEST(FilterPastedCell, KeepsDigitsMarksMinusAndAnExponentBetweenDigits) {
  const struct {
    const char* name;
    const char* pasted;
    const char* kept;
  } cases[] = {{"ThousandsGapAndComma", "1 234,5", "1234,5"},
               {"LettersAndBlanksVanish", " 12 kg", "12"},
               {"PlusSignDropped", "+5", "5"},
               {"ExponentWithSignKept", "1.5E+03", "1.5E+03"},
               {"ExponentAfterMarkKept", "2.e-4", "2.E-4"},
               {"LetterBeforeDigitsIsNoExponent", "E5", "5"},
               {"DanglingExponentDropped", "7e", "7"},
               {"SecondExponentDropped", "1e2e3", "1E23"},
               {"NonBreakingSpace", "1\xC2\xA0" "234", "1234"},
               {"Text", "n.a.", ".."}};
  for (const auto& c : cases) EXPECT_EQ(FilterPastedCell(c.pasted), c.kept) << c.name;
}

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

// A fresh table holds fifteen empty rows; a pasted block opens one row
// for every kind of line end.
TEST_F(InputPageTest, FreshTableAndEveryKindOfLineEndInAPaste) {
  for (const char* end : {"\r\n", "\n", "\r"}) {
    InputPage fresh(dm);
    fresh.LayOutTable();
    EXPECT_EQ(fresh.Grid.RowCount(), 16);
    EXPECT_EQ(fresh.Grid.Cell(0, 0) + "|" + fresh.Grid.Cell(1, 0) + "|" + fresh.Grid.Cell(2, 0), "Serial|    Y|    X");
    EXPECT_EQ(fresh.Grid.Cell(0, 15) + "|" + fresh.Grid.Cell(1, 15) + "|" + fresh.Grid.Cell(2, 15), "15||");
    EXPECT_EQ(std::tuple(fresh.NrOfDataEdit, fresh.Grid.Width()), std::tuple("15", 220));
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

// A pasted cell is a number with its sign, perhaps with a unit after it,
// or it refuses the paste.
TEST(ReadPastedCell, TakesNumbersWithTheirSignAndRefusesHeaders) {
  const struct {
    const char* name;
    const char* pasted;
    const char* kept;  // nullptr: refused
  } cases[] = {{"ThousandsGapAndComma", "1 234,5", "1234,5"},
               {"UnitAfterTheNumber", " 2.5 kg", "2.5"},
               {"UnicodeMinus", "\xE2\x88\x92" "4", "-4"},
               {"Parentheses", "( 4,5 )", "-4,5"},
               {"NarrowNoBreakGap", "1\xE2\x80\xAF" "234", "1234"},
               {"Exponent", "3e2", "3E2"},
               {"Blank", "  ", ""},
               {"HeaderWithYear", "Yield 2019", nullptr},
               {"HeaderWithDigitInUnit", "Salinity-EC1", nullptr},
               {"Word", "n.a.", nullptr},
               {"ThousandsAndDecimalMark", "1,234.5", nullptr},
               {"SignInParentheses", "(-4)", nullptr}};
  for (const auto& c : cases) {
    EXPECT_EQ(ReadPastedCell(c.pasted), c.kept ? std::optional<std::string>(c.kept) : std::nullopt) << c.name;
  }
}

// A typed text that is no number is kept for the run, which names its
// cell and changes nothing.
TEST_F(InputPageTest, ATextThatIsNoNumberStopsTheRunAndChangesNothing) {
  page.StringGrid1SetEditText(1, 1, Columns(16));
  page.StringGrid1SetEditText(2, 5, "2a");
  EXPECT_TRUE(ui.messages.empty());
  const auto y = dm.YData;
  EXPECT_EQ(page.FirstNonNumber(), std::optional(std::pair(2, 5)));
  EXPECT_FALSE(page.TakeTableRows("t1", "t2"));
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Not all data values in the inputfile are real, do not use "
                                                  "letters or blanks. The first is row 5, column X."});
  EXPECT_EQ(dm.YData, y);
  EXPECT_EQ(dm.NrOfData, 16);
  EXPECT_EQ(Row(5), "5|105|2a");
  EXPECT_EQ(page.W.DecimalSeparator, page.W.SystemDecimalSeparator);
}

// The count box is checked when it is left; typed values survive.
TEST_F(InputPageTest, ChecksTheCountBox) {
  const std::string notInteger = "The number of data sets is not a valid integer",
                    tooFew = " The minimum number of data sets is 10";
  const struct {
    const char* text;
    std::string message;  // "" for none
    int rows;
  } cases[] = {{"ten", notInteger, 15},
               {"20.5", notInteger, 15},
               {"-20", tooFew, 15},
               {"9", tooFew, 15},
               {"12", " To remove data make the relevant data cells empty", 15},
               {"15", "", 15},
               {"", "", 15},
               {"2000000000", " The maximum number of data sets is 100000", 15},
               {" 20", " Add data in the last cells at the end of the column", 20}};
  page.StringGrid1SetEditText(1, 2, "7.25");  // typed data
  for (const auto& c : cases) {
    ui.messages.clear();
    page.NrOfDataEdit = c.text;
    page.NrOfDataEditExit();
    EXPECT_EQ(ui.messages, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message})
        << c.text;
    EXPECT_EQ(page.TableRows(), c.rows) << c.text;
    EXPECT_EQ(page.Grid.Cell(1, 2), "7.25");
  }
}

TEST_F(InputPageTest, RaisingTheCountKeepsTypedTextsAndAddsEmptyRows) {
  page.StringGrid1SetEditText(1, 1, "3,5");
  page.StringGrid1SetEditText(2, 15, "oops");
  page.NrOfDataEdit = "20";
  page.NrOfDataEditExit();
  EXPECT_EQ(Row(1), "1|3,5|");
  EXPECT_EQ(Row(15), "15||oops");
  EXPECT_EQ(Row(16), "16||");
  EXPECT_EQ(Row(20), "20||");
  EXPECT_EQ(page.Grid.Width(), 220);
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
  page.LayOutTable();  // as the window does on coming back to the tab
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

// The maximum holds for a count typed into the box, not for pasted rows.
TEST_F(InputPageTest, MoreRowsPastedThanTheCountBoxTakesAreAllKept) {
  page.StringGrid1SetEditText(1, 1, Columns(100001));
  page.StringGrid1SetEditText(1, 2, "7");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Row(100001), "100001|100101|100001");
  ASSERT_TRUE(page.TakeTableRows("a", "b"));
  EXPECT_EQ(dm.NrOfData, 100001);
  EXPECT_EQ(dm.YData.at(1), 7);
}

}  // namespace
}  // namespace kinvalo
