#pragma once
// Reading an output file back: the graphs never draw from the engine's
// memory but from the file, so that a file of an earlier run can be drawn.
// All three work on the file named by DM.FileName or the name given.
#include <cstddef>
#include <string>

#include "data/app_state.h"

namespace kinvalo {

// Recognises an output file and reads its titles, confidence, function
// type, statistics, parameter table, equations and observation table into
// the graph state, the shared results and the working data's graph arrays.
// A file that cannot be opened, is not an output file, or ends or breaks
// off before the end of its observation table, is rejected: the message is
// shown, DM.NotOutputFile is set and nothing of the earlier values changes.
void ReadOutputFile(AppState& s);

// Checks that DM.FileName can be opened. When it cannot, shows the message,
// sets DM.NotOutputFile and returns false: the callers then skip the read,
// so that the message is shown once.
bool ProbeOutputFile(AppState& s);

// The most lines loaded for display: far more than a result file holds
// (one line for each data set, plus a hundred), few enough that a file of
// nothing but line ends cannot take gigabytes.
inline constexpr std::size_t kMaxTextLines = 4000000;

// Loads a whole result file (Kind ".out", ".txt" or ".var") into
// DM.TextLines for display; of a longer file the first kMaxTextLines lines,
// with a message. Ok becomes true when it was loaded, false (with no lines
// kept) when the file holds fewer than 2 lines; it stays as it was when the
// file cannot be opened.
void LoadResultText(AppState& s, const std::string& Name, bool& Ok, const std::string& Kind);

}  // namespace kinvalo
