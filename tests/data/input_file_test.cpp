#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "data/working_data.h"
#include "support/file_faults.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

using test::ReadBytes;
using test::ScriptedPlatform;
using test::TempDir;
using test::WriteBytes;

const char* const kHeader =
    "\r\n\r\n          Dependent    independent\r\nSerial    variable     variable\r\n"
    "number    Y            X\r\n----------------------------------\r\n";

std::string InputFile(const std::string& count, const std::string& dataLines) {
  return "Yield\r\nSalinity\r\n File name:  x.inp\r\n Number of independent variables:  1\r\n"
         " Number of data sets:  " + count + "\r\n" + kHeader + dataLines;
}

class InputFileTest : public ::testing::Test {
 protected:
  ScriptedPlatform platform;
  WorkingData dm{platform};
  TempDir dir;

  // A working data set that a failed read must leave as it was.
  void HoldEarlierData() {
    dm.Title1 = "earlier";
    dm.XData = {1, 2};
    dm.YData = {3, 4};
    dm.Serial = {1, 2};
    dm.NrOfData = 2;
  }
  void ExpectEarlierData() {
    EXPECT_EQ(dm.Title1, "earlier");
    EXPECT_EQ(dm.NrOfData, 2);
    EXPECT_EQ(dm.XData, (DataArrayR{1, 2}));
    EXPECT_EQ(dm.YData, (DataArrayR{3, 4}));
  }
  std::vector<std::string> CorruptMessage() const {
    return {"A program error occurred.Real numbers in the inputfile \"" + dm.FileName + "\" are corrupt"};
  }
  void Read(const std::string& bytes) {
    dm.FileName = dir / "in.inp";
    WriteBytes(dm.FileName, bytes);
  }
};

TEST_F(InputFileTest, WritesTheExactLayoutAndReadsItBack) {
  dm.FileName = dir / "field.inp";
  dm.Title1 = "Rendement de blé";  // Windows-1252 on disk
  dm.Title2 = "  leading blanks stay";
  dm.Serial = {40, 30, 20, 10, 5, 4};  // the file numbers the data sets anew
  dm.YData = {12.5, 1234567.5, 0.004, 12.5, 2.0 / 3, 1e-7};
  dm.XData = {-3.25, 2, 20240115, 0.12345678901, 1.0 / 3, -0.004};
  dm.NrOfData = 6;
  ASSERT_TRUE(dm.WriteInputFile());
  const std::string expected =
      "Rendement de bl\xE9\r\n  leading blanks stay\r\n File name:  " + dm.FileName +
      "\r\n Number of independent variables:  1\r\n Number of data sets:  6\r\n" + kHeader +
      "    1      12.50        -3.25\r\n"
      "    2 1234567.50         2.00\r\n"
      "    3      0.004  20240115.00\r\n"
      "    4      12.50 0.12345678901\r\n"  // filling its field, X keeps a blank before it
      "    5 0.6666666666666666 0.3333333333333333\r\n"
      "    6      1e-07       -0.004\r\n";
  EXPECT_EQ(ReadBytes(dm.FileName), expected);

  WorkingData back(platform);
  back.FileName = dm.FileName;
  ASSERT_TRUE(back.ReadInputFile());
  EXPECT_EQ(back.Title1, dm.Title1);
  EXPECT_EQ(back.Title2, dm.Title2);
  EXPECT_EQ(back.NrOfData, 6);
  EXPECT_EQ(back.Serial, (DataArrayI{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(back.YData, dm.YData) << "small values such as 0.004 survive";
  EXPECT_EQ(back.XData, dm.XData);
  EXPECT_EQ(back.HeaderLines, InputHeaderLines());
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(InputFileTest, ReadsHandMadeFiles) {
  // Of a data line only its three numbers are kept, however long the line:
  // the rest, here 2 MB of short tokens, is passed over.
  const std::string longTitle(1 << 20, 'T');
  std::string rest;
  for (int i = 0; i < 1000000; ++i) rest += "7 ";
  const struct {
    const char* name;
    std::string bytes, title;
    int count;
    DataArrayR y, x;
  } cases[] = {
      // Single blanks, exponents, tabs, extra words after the third number, a
      // count that differs from the lines, blank lines and a DOS end mark.
      {"variants", InputFile("99", "1 1.5E2 -2\r\n2\t0.5e-1\t+3.\r\n3 7 .25 note\r\n\r\n   \r\n\x1A"), "Yield",
       3, {150, 0.05, 7}, {-2, 3, 0.25}},
      {"no_data_lines_keep_the_count", InputFile("25", ""), "Yield", 25, {}, {}},
      {"lines_of_a_megabyte",
       longTitle + "\r\n" + InputFile("1", "1 2 3" + std::string(1 << 20, ' ') + "x\r\n").substr(7), longTitle,
       1, {2}, {3}},
      {"lines_of_short_tokens", InputFile("2", "1 2.5 3 " + rest + "\r\n2 -4 1e2 " + rest), "Yield", 2, {2.5, -4},
       {3, 100}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HoldEarlierData();
    Read(c.bytes);
    ASSERT_TRUE(dm.ReadInputFile());
    EXPECT_TRUE(dm.Title1 == c.title) << dm.Title1.size() << " characters";
    EXPECT_EQ(dm.NrOfData, c.count);
    EXPECT_EQ(dm.YData, c.y);
    EXPECT_EQ(dm.XData, c.x);
    EXPECT_EQ(dm.HeaderLines, InputHeaderLines());
  }
}

// The reader takes a file in pieces of 64 KiB: a line end split between two
// pieces (CR | LF), a lone CR as the last byte of one and an LF as the first
// byte of the next end their lines as anywhere else.
TEST_F(InputFileTest, ReadsLineEndsAtTheEdgesOfItsPieces) {
  std::string bytes = InputFile("3", "");
  DataArrayR y, x;
  auto add = [&](const std::string& line, const std::string& end) {
    bytes += std::to_string(y.size() + 1) + " " + line + end;
    y.push_back(static_cast<double>(y.size()) + 0.5);
    x.push_back(-static_cast<double>(x.size()));
  };
  const std::pair<size_t, std::string> edges[] = {{65536, "\r\n"}, {131072, "\r"}, {196608 + 1, "\n"}};
  for (const auto& [edge, end] : edges) {
    while (bytes.size() + 64 < edge) add(std::to_string(y.size()) + ".5 " + "-" + std::to_string(x.size()), "\r\n");
    std::string line = std::to_string(y.size()) + ".5 " + "-" + std::to_string(x.size());
    const size_t before = bytes.size() + std::to_string(y.size() + 1).size() + 1;
    line += std::string(edge - 1 - before - line.size(), ' ');
    add(line, end);
  }
  Read(bytes);
  ASSERT_TRUE(dm.ReadInputFile());
  EXPECT_EQ(dm.YData, y);
  EXPECT_EQ(dm.XData, x);
}

// A file refused for a data line shows the message; one refused for its
// header, or for a line longer than any title, throws naming the file and
// the line. The earlier data stay.
TEST_F(InputFileTest, RefusesBrokenFilesAndKeepsTheEarlierData) {
  const std::string head = "a\r\nb\r\nc\r\nd\r\n Number of data sets:  ";
  const struct {
    const char* name;
    std::string bytes;
    const char* line;  // named by the exception; none for a data line
  } cases[] = {
      {"comma_decimal", InputFile("3", "1 2,5 3\r\n"), nullptr},
      {"letter", InputFile("3", "1 2.5 3\r\n2 2a 3\r\n"), nullptr},
      {"real_serial", InputFile("3", "1.0 2.5 3\r\n"), nullptr},
      {"overflow", InputFile("3", "1 1e400 3\r\n"), nullptr},
      {"binary", InputFile("3", "\x01\xFF\xFE garbage \x80\r\n"), nullptr},
      {"nul_bytes", InputFile("3", std::string("1 2\0 3\r\n", 8)), nullptr},
      {"number_longer_than_any", InputFile("1", "1 1." + std::string(5000, '0') + " 3\r\n"), nullptr},
      {"title_longer_than_any", std::string((16 << 20) + 1, 't') + "\r\n" + InputFile("1", "1 2 3\r\n"),
       "line 1: the line is longer than 16777216 characters."},
      {"empty", "", "line 1"},
      {"title_only", "Title only\r\n", "line 2"},
      {"count_with_letter", head + "x12\r\n", "line 5"},
      {"negative_count", head + "-3\r\n", "line 5"},
      {"count_line_too_short", "a\r\nb\r\nc\r\nd\r\nshort\r\n", "line 5"},
      {"column_header_cut_short", head + "3\r\n\r\n\r\n", "line 8"},
  };
  HoldEarlierData();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Read(c.bytes);
    platform.messages.clear();
    const std::string thrown = test::Thrown([&] { EXPECT_FALSE(dm.ReadInputFile()); });
    if (c.line) {
      EXPECT_NE(thrown.find(dm.FileName), std::string::npos) << thrown;
      EXPECT_NE(thrown.find(c.line), std::string::npos) << thrown;
      EXPECT_TRUE(platform.messages.empty());
    } else {
      EXPECT_EQ(thrown, "no error");
      EXPECT_EQ(platform.messages, CorruptMessage());
    }
    ExpectEarlierData();
  }
}

// What is no file to read is refused with its cause, before a byte of it
// is read; a file that cannot be created, or data that are not all held,
// show their message. The earlier data and the earlier file stay whole.
TEST_F(InputFileTest, FailuresShowTheirMessageAndLeaveTheEarlierDataAndFile) {
  const std::string tail =
      "\"could not be opened. It may be in use by another program,  or the programmer should incorporate more time.";
  auto cases = test::UnreadableFiles(dir, ".inp");
  cases.push_back({dir / "absent.inp",
                   "The file \"" + (dir / "absent.inp") + tail + " The system reports: No such file or directory."});
  HoldEarlierData();
  for (const auto& c : cases) {
    platform.messages.clear();
    dm.FileName = c.path;
    EXPECT_FALSE(dm.ReadInputFile());
    EXPECT_EQ(platform.messages, std::vector<std::string>{c.message});
    ExpectEarlierData();
  }
  platform.messages.clear();
  dm.FileName = dir / "no/such/folder.inp";
  EXPECT_FALSE(dm.WriteInputFile());
  dm.FileName = dir / "keep.inp";
  WriteBytes(dm.FileName, "earlier file");
  dm.NrOfData = 3;  // more than the data held
  EXPECT_FALSE(dm.WriteInputFile());
  EXPECT_EQ(ReadBytes(dm.FileName), "earlier file");
  EXPECT_EQ(test::TemporaryFiles(dir.path()), 0);
  EXPECT_EQ(platform.messages, (std::vector<std::string>{"The file \"" + (dir / "no/such/folder.inp") + tail,
                                                          CorruptMessage()[0]}));
}

}  // namespace
}  // namespace kinvalo
