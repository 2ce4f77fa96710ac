#pragma once
// Reading an output file back: the graphs never draw from the engine's
// memory but from the file, so that a file of an earlier run can be drawn.
// Loading a result file whole for display.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/result_kinds.h"
#include "data/graph_model.h"

namespace kinvalo {

// Why an output file was not read.
enum class ReadRefusal : std::uint8_t {
  CannotOpen,     // the file is not there or cannot be read
  NotOutputFile,  // not an output file of this program
  MissingPart,    // a search reached the end of the file
  ShortTable,     // the observation table has fewer rows than data sets
  CutShort,       // the file ends where a number belongs
  Damaged,        // a token that is not a number where one belongs
};

struct OutputReadResult {
  std::optional<GraphModel> model;  // the whole file, or nothing
  std::optional<ReadRefusal> refusal;
  std::string refusalMessage;
  // The read met a part that older files lack and took fixed fractions of
  // the breakpoints instead; the user is told once for each file.
  bool olderFile = false;
};

// The warning for an output file of an older kind.
extern const char* const kOlderOutputFile;

// Recognises an output file and reads its titles, confidence, function
// type, statistics, parameter table, equations and observation table. A
// file that cannot be opened, is not an output file, or ends or breaks off
// before the end of its observation table, is refused.
//
// The summary's equations give the level of a horizontal segment (Cs of
// Type 3, Cg of Type 4); a read takes the level of `preparedType`, the
// function type of the graph prepared last (Type 1 after a calc-obs graph,
// none before the first graph), in the place of the read type's own.
OutputReadResult ReadOutputFile(const std::string& path, FunctionType preparedType);

// The function type a graph is prepared for, given the type the file holds.
using PreparedTypeRule = std::function<FunctionType(FunctionType fileType)>;

// As above, for a graph prepared from this very read: the level taken is
// that of the type `preparedType` gives for the function type read.
OutputReadResult ReadOutputFile(const std::string& path, const PreparedTypeRule& preparedType);

// The messages of a read in the order it met them: the older-file warning,
// unless it has been shown for this file already, then the refusal.
std::vector<std::string> ReadMessages(const OutputReadResult& read, bool olderFileWarned);

// The most lines loaded for display: far more than a result file holds
// (one line for each data set, plus a hundred), few enough that a file of
// nothing but line ends cannot take gigabytes.
inline constexpr std::size_t kMaxTextLines = 4000000;

enum class TextLoad : std::uint8_t {
  Loaded,
  CannotOpen,
  TooShort,  // fewer than 2 lines: nothing worth showing, no lines kept
};

struct ResultText {
  TextLoad status = TextLoad::Loaded;
  std::vector<std::string> lines;
  std::vector<std::string> messages;  // to show, in this order
};

// Loads a whole result file (kind ".out", ".txt" or ".var") for display;
// of a longer file the first kMaxTextLines lines, with a message.
ResultText LoadResultText(const std::string& path, const std::string& kind);

}  // namespace kinvalo
