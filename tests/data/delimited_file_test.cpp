// Data files as spreadsheets and people write them, byte for byte, and the
// files the reader refuses with the message a user sees.
#include "data/delimited_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "support/temp_dir.h"

namespace kinvalo {
namespace {

std::string Rows(const std::string& row, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += row;
  return text;
}

struct Variant {
  const char* name;
  std::string bytes;
  const char* format;
  const char* names;  // joined by '|'
  ColumnChoice defaults;
  double y, x;           // of the first row taken
  const char* leftOut;   // the message, or ""
  const char* ragged;    // the message, or ""
};
void PrintTo(const Variant& v, std::ostream* os) { *os << v.name; }

class Variants : public ::testing::TestWithParam<Variant> {};

TEST_P(Variants, FindTheLayoutTheNamesAndTheFirstValues) {
  const Variant& v = GetParam();
  const DelimitedFile file = DelimitedFile::FromBytes(v.bytes, "d.csv");
  EXPECT_EQ(DescribeFormat(file.Format()), v.format);
  std::string names;
  for (const std::string& name : file.ColumnNames()) names += (names.empty() ? "" : "|") + name;
  EXPECT_EQ(names, v.names);
  EXPECT_EQ(file.DefaultColumns(), v.defaults);
  const ColumnValues values = file.Take(file.DefaultColumns());
  ASSERT_FALSE(values.y.empty());
  EXPECT_EQ(values.y[0], v.y);
  EXPECT_EQ(values.x[0], v.x);
  EXPECT_EQ(values.leftOutMessage, v.leftOut);
  EXPECT_EQ(file.RaggedRowsMessage(), v.ragged);
}

INSTANTIATE_TEST_SUITE_P(
    RealWorld, Variants,
    ::testing::Values(
        Variant{"LibreOfficeComma", "Salinity,Yield\n1.5,7.25\n2,8\n", "Comma-separated, decimal point, UTF-8, with a header row",
                "Salinity|Yield", {0, 1}, 1.5, 7.25, "", ""},
        Variant{"ExcelSemicolonDecimalCommaCrLf", "Plot;Salinity;Yield\r\nA;1,5;7,25\r\nB;2;-8,5E-1\r\n",
                "Semicolon-separated, decimal comma, UTF-8, with a header row", "Plot|Salinity|Yield", {1, 2}, 1.5, 7.25,
                "", ""},
        Variant{"ByteOrderMark", "\xEF\xBB\xBFSalinity,Yield\r\n1.5,7.25\r\n",
                "Comma-separated, decimal point, UTF-8 with BOM, with a header row", "Salinity|Yield", {0, 1}, 1.5, 7.25,
                "", ""},
        Variant{"QuotedSeparatorsQuotesAndLineEnds",
                "\"Salinity, EC\",\"Yield \"\"dry\"\"\r\nt/ha\",Note\r\n\"1.5\",7.25,\"a,b\r\nc\"\r\n2,8,\"\"\r\n",
                "Comma-separated, decimal point, UTF-8, with a header row", "Salinity, EC|Yield \"dry\" t/ha|Note",
                {0, 1}, 1.5, 7.25, "", ""},
        Variant{"LoneCr", "x,y\r1,2\r\r3,4\r", "Comma-separated, decimal point, UTF-8, with a header row", "x|y", {0, 1},
                1, 2, "", ""},
        Variant{"TabDecimalComma", "Salinity\tYield\n1,5\t7,25\n", "Tab-separated, decimal comma, UTF-8, with a header row",
                "Salinity|Yield", {0, 1}, 1.5, 7.25, "", ""},
        Variant{"Windows1252Header", "Salinit\xe9;Rendement\r\n1,5;7,25\r\n",
                "Semicolon-separated, decimal comma, Windows-1252, with a header row", "Salinit\xc3\xa9|Rendement", {0, 1},
                1.5, 7.25, "", ""},
        Variant{"PandasIndexFirst", ",Yield,Salinity\n0,10.2,1\n1,9.8,2\n",
                "Comma-separated, decimal point, UTF-8, with a header row", "Column 1|Yield|Salinity", {1, 2}, 10.2, 1,
                "", ""},
        Variant{"NoHeaderTrailingEmptyLines", "1.5,7.25\n2,8\n\n\n",
                "Comma-separated, decimal point, UTF-8, without a header row", "Column 1|Column 2", {0, 1}, 1.5, 7.25, "",
                ""},
        Variant{"RaggedRowsAndGaps", "a,b,c\n1,2,3\n4,5\n6,7,8,9\n,10,11\nNA,12,13\n10,11,12,,\n,,\n",
                "Comma-separated, decimal point, UTF-8, with a header row", "a|b|c", {0, 1}, 1, 2,
                "2 rows were left out because Y or X is empty or not a number: rows 5 and 6.",
                "2 rows do not have the 3 cells of the other rows: rows 3 and 4."}),
    [](const ::testing::TestParamInfo<Variant>& info) { return std::string(info.param.name); });

struct Bad {
  const char* name;
  std::string bytes;
  std::function<void(const DelimitedFile&)> use;  // what is done with the file read
  std::string message;
};

// Eleven rows of two columns, one of them without X.
const std::string kEleven = "S;Y;Plot\n" + Rows("1;2;A\n", 4) + "1;;B\n" + Rows("1;2;A\n", 6);

TEST(DelimitedFileRefusals, SayWhatIsWrong) {
  const auto pasted = [](ColumnChoice c) { return [c](const DelimitedFile& f) { f.AsPasted(c); }; };
  const auto find = [](const char* name) { return [name](const DelimitedFile& f) { f.FindColumn(name); }; };
  const std::string list = ". Its columns are 1 \"S\", 2 \"Y\" and 3 \"Plot\".";
  const std::vector<Bad> cases = {
      {"Empty", "", nullptr, "The file \"d.csv\" has no column of numbers: Y and X need one each."},
      {"OneNumberColumn", "Plot,Yield\nA,1\nB,2\n", nullptr,
       "The file \"d.csv\" has only one column of numbers, \"Yield\": Y and X need one each."},
      {"Nul", std::string("1,2\n3,\0\n", 8), nullptr,
       "The file \"d.csv\" is not text but binary data. A spreadsheet must first be saved as CSV or as tab-separated "
       "text."},
      {"Controls", "\x01\x02\x03\x04,1\n", nullptr,
       "The file \"d.csv\" is not text but binary data. A spreadsheet must first be saved as CSV or as tab-separated "
       "text."},
      {"Utf16", "\xFF\xFEx", nullptr, "The file \"d.csv\" is UTF-16 text. Please save it as UTF-8 text."},
      {"OpenQuote", "a,b\n1,2\n3,\"4\n5,6\n", nullptr,
       "The file \"d.csv\" has a quote at line 3 that is never closed."},
      {"TooWide", Rows("1,", 10001) + "1\n", nullptr, "The file \"d.csv\" has more than 10000 columns at line 1."},
      {"NineUsable", kEleven.substr(0, kEleven.size() - 6), pasted({0, 1}),
       "Only 9 rows of \"d.csv\" have a number in both Y and X; at least 10 are needed. 1 row was left out because Y "
       "or X is empty or not a number: row 6."},
      {"NoneUsable", "a,b\n1,\n,2\n", pasted({0, 1}),
       "No row of \"d.csv\" has a number in both Y and X; at least 10 are needed. 2 rows were left out because Y or X "
       "is empty or not a number: rows 2 and 3."},
      {"NoSuchName", kEleven, find("Salt"), "There is no column \"Salt\" in \"d.csv\"" + list},
      {"NoSuchNumber", kEleven, find("4"), "There is no column 4 in \"d.csv\"" + list},
      {"NumberZero", kEleven, find("0"), "There is no column 0 in \"d.csv\"" + list},
      {"SameColumn", kEleven, pasted({1, 1}), "Y and X are the same column, \"Y\". Please choose two different columns."},
      {"TextColumn", kEleven, pasted({0, 2}), "The column \"Plot\" of \"d.csv\" holds no numbers."},
  };
  for (const Bad& b : cases) {
    try {
      const DelimitedFile file = DelimitedFile::FromBytes(b.bytes, "d.csv");
      ASSERT_TRUE(b.use) << b.name << " was read";
      b.use(file);
      ADD_FAILURE() << b.name << " was taken";
    } catch (const DataFileError& e) {
      EXPECT_EQ(e.what(), b.message) << b.name;
    }
  }
  // Ten usable rows are enough; the row left out is named, by its line.
  const PastedData data = DelimitedFile::FromBytes(kEleven, "/data/trial 1.csv").AsPasted({0, 1});
  EXPECT_EQ(data.y.size(), 10u);
  EXPECT_EQ(data.leftOutMessage, "1 row was left out because Y or X is empty or not a number: row 6.");
  EXPECT_EQ(data.title1, "S against Y");
  EXPECT_EQ(data.title2, "From trial 1.csv");
  EXPECT_EQ(data.inputPath, "/data/trial 1.inp");
}

// A file far too large is refused by its size, before a byte is read.
TEST(DelimitedFileRefusals, AFileOfTwoGigabytesIsRefusedByItsSize) {
  test::TempDir dir;
  const std::string path = dir / "huge.csv";
  test::WriteBytes(path, "a,b\n");
  std::filesystem::resize_file(path, std::uintmax_t{2} << 30);  // sparse: no disk used
  try {
    DelimitedFile::Read(path);
    ADD_FAILURE() << "read";
  } catch (const DataFileError& e) {
    EXPECT_EQ(e.what(), "The file \"" + path + "\" is larger than 512 MB, too large for a data file.");
  }
}

}  // namespace
}  // namespace kinvalo
