#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>

#include "data/working_data.h"
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
  void Read(const std::string& bytes) {
    dm.FileName = dir / "in.inp";
    WriteBytes(dm.FileName, bytes);
  }
};

TEST_F(InputFileTest, WritesTheExactLayout) {
  dm.FileName = dir / "field.inp";
  dm.Title1 = "Wheat ECe";
  dm.Title2 = "";
  dm.YData = {12.5, 1234567.5, 0.004, 12.5};
  dm.XData = {-3.25, 2, 20240115, 0.12345678901};
  dm.NrOfData = 4;
  ASSERT_TRUE(dm.WriteInputFile());
  const std::string expected =
      "Wheat ECe\r\n\r\n File name:  " + dm.FileName +
      "\r\n Number of independent variables:  1\r\n Number of data sets:  4\r\n" + kHeader +
      "    1      12.50        -3.25\r\n"
      "    2 1234567.50         2.00\r\n"
      "    3      0.004  20240115.00\r\n"
      "    4      12.50 0.12345678901\r\n";  // filling its field, X keeps a blank before it
  EXPECT_EQ(ReadBytes(dm.FileName), expected);
  EXPECT_EQ(std::string("    1      12.50        -3.25").size(), 29u);
  EXPECT_EQ(dm.HeaderLines.size(), 6u);
  EXPECT_EQ(dm.HeaderLines[5], "----------------------------------");
}

TEST_F(InputFileTest, RoundTripKeepsTitlesValuesAndNumbersSerially) {
  dm.FileName = dir / "trip.inp";
  dm.Title1 = "Rendement de blé";  // written in Windows-1252, read back the same
  dm.Title2 = "  leading blanks stay";
  dm.YData = {5.25, -0.004, 1e-7, 123.456, 2.0 / 3, 1e300};
  dm.XData = {3, 2, 1, 0.5, 1.0 / 3, 1e300};  // wider than their fields
  dm.Serial = {40, 30, 20, 10, 5, 4};
  dm.NrOfData = 6;
  ASSERT_TRUE(dm.WriteInputFile());
  EXPECT_NE(ReadBytes(dm.FileName).find("Rendement de bl\xE9\r\n"), std::string::npos);

  WorkingData back(platform);
  back.FileName = dm.FileName;
  ASSERT_TRUE(back.ReadInputFile());
  EXPECT_EQ(back.Title1, dm.Title1);
  EXPECT_EQ(back.Title2, dm.Title2);
  EXPECT_EQ(back.NrOfData, 6);
  EXPECT_EQ(back.Serial, (DataArrayI{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(back.YData, dm.YData) << "small values such as 0.004 survive";
  EXPECT_EQ(back.XData, dm.XData);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(InputFileTest, ReadsHandMadeVariants) {
  // Single blanks, exponents, tabs, extra words after the third number, a
  // count that differs from the lines, blank lines at the end.
  Read(InputFile("99", "1 1.5E2 -2\r\n2\t0.5e-1\t+3.\r\n3 7 .25 note\r\n\r\n   \r\n\x1A"));
  ASSERT_TRUE(dm.ReadInputFile());
  EXPECT_EQ(dm.Title1, "Yield");
  EXPECT_EQ(dm.NrOfData, 3);
  EXPECT_EQ(dm.YData, (DataArrayR{150, 0.05, 7}));
  EXPECT_EQ(dm.XData, (DataArrayR{-2, 3, 0.25}));
  EXPECT_EQ(dm.HeaderLines[2], "          Dependent    independent");
}

TEST_F(InputFileTest, AFileWithoutDataLinesKeepsItsCount) {
  HoldEarlierData();
  Read(InputFile("25", ""));
  ASSERT_TRUE(dm.ReadInputFile());
  EXPECT_EQ(dm.NrOfData, 25);
  EXPECT_TRUE(dm.XData.empty());
  EXPECT_TRUE(dm.YData.empty());
}

struct CorruptCase {
  const char* name;
  std::string_view lines;
};

class CorruptDataLine : public InputFileTest, public ::testing::WithParamInterface<CorruptCase> {};

TEST_P(CorruptDataLine, ShowsTheMessageAndKeepsTheEarlierData) {
  HoldEarlierData();
  Read(InputFile("3", std::string(GetParam().lines)));
  EXPECT_FALSE(dm.ReadInputFile());
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0], "A program error occurred.Real numbers in the inputfile \"" +
                                      dm.FileName + "\" are corrupt");
  ExpectEarlierData();
}

INSTANTIATE_TEST_SUITE_P(
    InputFile, CorruptDataLine,
    ::testing::Values(CorruptCase{"comma_decimal", "1 2,5 3\r\n"},
                      CorruptCase{"letter", "1 2.5 3\r\n2 2a 3\r\n"},
                      CorruptCase{"real_serial", "1.0 2.5 3\r\n"},
                      CorruptCase{"overflow", "1 1e400 3\r\n"},
                      CorruptCase{"binary", "\x01\xFF\xFE garbage \x80\r\n"},
                      CorruptCase{"nul_bytes", std::string_view("1 2\0 3\r\n", 8)}),
    [](const ::testing::TestParamInfo<CorruptCase>& c) { return std::string(c.param.name); });

TEST_F(InputFileTest, AHeaderCutShortOrABadCountThrowsNamingFileAndLine) {
  HoldEarlierData();
  const std::pair<std::string, std::string> cases[] = {
      {"", "line 1"},
      {"Title only\r\n", "line 2"},
      {"a\r\nb\r\nc\r\nd\r\n Number of data sets:  x12\r\n", "line 5"},
      {"a\r\nb\r\nc\r\nd\r\n Number of data sets:  -3\r\n", "line 5"},
      {"a\r\nb\r\nc\r\nd\r\nshort\r\n", "line 5"},
      {"a\r\nb\r\nc\r\nd\r\n Number of data sets:  3\r\n\r\n\r\n", "line 8"},
  };
  for (const auto& [bytes, line] : cases) {
    Read(bytes);
    try {
      dm.ReadInputFile();
      ADD_FAILURE() << "no exception for " << line;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(dm.FileName), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(line), std::string::npos) << e.what();
    }
    ExpectEarlierData();
  }
}

TEST_F(InputFileTest, ALineOfAMegabyteIsReadWithoutTrouble) {
  const std::string longTitle(1 << 20, 'T');
  Read(longTitle + "\r\n" + InputFile("1", "1 2 3" + std::string(1 << 20, ' ') + "x\r\n").substr(7));
  ASSERT_TRUE(dm.ReadInputFile());
  EXPECT_EQ(dm.Title1.size(), longTitle.size());
  EXPECT_EQ(dm.NrOfData, 1);
}

TEST_F(InputFileTest, AFileThatCannotBeOpenedShowsTheOpenFailureMessage) {
  HoldEarlierData();
  dm.FileName = dir / "absent.inp";
  EXPECT_FALSE(dm.ReadInputFile());
  const std::string expected = "The file \"" + dm.FileName +
                               "\"could not be opened. It may be in use by another program,  or "
                               "the programmer should incorporate more time.";
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0], expected);
  ExpectEarlierData();

  dm.FileName = dir / "no/such/folder.inp";
  EXPECT_FALSE(dm.WriteInputFile());
  EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(InputFileTest, AFailedWriteLeavesTheEarlierFileWhole) {
  dm.FileName = dir / "keep.inp";
  WriteBytes(dm.FileName, "earlier file");
  dm.YData = {1};
  dm.XData = {2};
  dm.NrOfData = 2;  // more than the data held
  EXPECT_FALSE(dm.WriteInputFile());
  EXPECT_EQ(ReadBytes(dm.FileName), "earlier file");
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].rfind("A program error occurred.Real numbers in the inputfile", 0), 0u);
  EXPECT_EQ(dir.Listing(), "keep.inp ");
}

}  // namespace
}  // namespace kinvalo
