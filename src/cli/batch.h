#pragma once
// kinvalo-cli: the calculation without a window.
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/graph_command_line.h"
#include "cli/graph_module.h"

namespace kinvalo {

// Runs the command line `args` (without the program name). Messages that
// the window shows in message boxes go to `err`, one per line; everything
// else to `out`. Returns 0 when the result files were written, 1 when the
// data were refused or could not be read, 2 for a usage error. The graph
// command, once its command line is found right, is `writeGraph`'s: the
// program's graph module, or WriteGraph itself in a program linked with
// the drawing (cli/write_graph.h).
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             GraphRunner writeGraph = WriteGraphFromModule);

}  // namespace kinvalo
