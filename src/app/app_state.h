#pragma once
// What the window keeps between commands: the working data, the choices
// for the next calculation, what is on display of the last result, and the
// state of the output and graphics pages. Nothing below the window sees it:
// the computations take values and return them.
#include <optional>

#include "core/platform.h"
#include "core/result_kinds.h"
#include "data/graph_model.h"
#include "data/working_data.h"

namespace kinvalo {

// What the graph commands keep between commands: the output file last
// read back, the display options, and what the next read depends on.
struct GraphPage {
  std::optional<GraphModel> model;
  GraphOptions options;
  // The function type of the graph prepared last (see ReadOutputFile).
  FunctionType preparedType = FunctionType::NoRelation;
  // The older-file warning has been shown for the output file opened last.
  bool olderFileWarned = false;
};

// What the output commands keep between commands.
struct OutputPage {
  // A result is on the output tab, calculated or opened.
  bool calculated = false;
  // The output file on display was opened from disk, not calculated in this
  // run.
  bool fromFile = false;
  // The output file read last has an explanation table.
  bool explainEnabled = true;
};

// What a command that shows a result says while there is none.
inline constexpr const char* kNoResultMessage =
    "There is no result to show yet. Calculate or open an output file first.";

class AppState {
 public:
  explicit AppState(Platform& services) : platform(services), DM(services) {}
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

  Platform& platform;
  WorkingData DM;
  // The minimum confidence chosen for the next calculation.
  Confidence confidence;
  // The function type of the last result calculated, and whether the
  // result on display offers the combination of Type 3 and 4.
  FunctionType resultType = FunctionType::NoRelation;
  bool bothTypesFound = false;
  OutputPage Output;
  GraphPage Graph;

  // True when a result is there for the output and graph commands; when
  // not, the user is told so and the command does nothing.
  bool ResultToShow() {
    if (Output.calculated) return true;
    platform.ShowMessage(kNoResultMessage);
    return false;
  }
};

}  // namespace kinvalo
