#pragma once
// The working data: one data set of (Y, X) pairs with its titles, the file
// being read or written and the text on display.
#include <cstdint>
#include <string>
#include <vector>

#include "core/platform.h"

namespace kinvalo {

// Growable arrays indexed from 0 for the first data set. Index them with
// .at(): an index outside an array abandons the command, it never crashes.
using DataArrayR = std::vector<double>;
using DataArrayI = std::vector<std::int32_t>;
using LineSet = std::vector<std::string>;

// The six column-header lines of an input file, as written.
const LineSet& InputHeaderLines();

// "The file "..."could not be opened. ..." shown when a file cannot be
// opened or created.
std::string OpenFailureMessage(const std::string& path);

class WorkingData;
// Throws std::out_of_range when NrOfData counts more data sets than XData
// and YData hold (or is negative).
void CheckDataHeld(const WorkingData& dm);

class WorkingData {
 public:
  explicit WorkingData(Platform& platform);

  std::string FileName;  // the file the next read or write opens
  std::string Title1;
  std::string Title2;
  DataArrayI Serial;
  DataArrayR YData;
  DataArrayR XData;
  // The data the breakpoint search scales its X range from.
  LineSet HeaderLines;
  LineSet TextLines;
  std::int32_t NrOfData = 0;
  // Data sets from this count on were added to those of the input file
  // or the table: the report marks them "Added".
  std::int32_t NrOfInputData = 0;
  std::int32_t NrOfTextLines = 0;

  // Reads the input file named by FileName into the working data: all of
  // it, or (after showing why) nothing. Returns true when it was read.
  // Throws std::runtime_error, naming the file and the line, for a header
  // that is cut short or a count that is not a number.
  bool ReadInputFile();
  // Writes the input file named by FileName. Returns true when written; on
  // failure the message has been shown and an earlier file stays as it was.
  bool WriteInputFile();

  bool AskYesNo(const std::string& text, DefaultAnswer preselected) {
    return platform_.AskYesNo(text, preselected);
  }
  // Shows "A program error occurred." followed by the text. The program
  // goes on: ending it would throw away what the user has in the window.
  void ReportProgramError(const std::string& text);

  Platform& platform() { return platform_; }

 private:
  Platform& platform_;
};

}  // namespace kinvalo
