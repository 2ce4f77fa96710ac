#pragma once
// kinvalo-cli's graph module (kinvalo-cli-graph.so): WriteGraph with Qt and
// the drawing, loaded by kinvalo-cli only when a graph is asked for, and
// its one entry point. The module and the program are built together, by
// the same compiler against the same C++ library, so the entry point takes
// C++ objects by pointer; extern "C" only keeps its name plain for dlsym.
#include <iosfwd>

#include "cli/graph_command_line.h"

extern "C" int kinvalo_cli_write_graph(const kinvalo::GraphCommandLine* line, std::ostream* out,
                                       std::ostream* err);

namespace kinvalo {

inline constexpr const char* kGraphModuleEntry = "kinvalo_cli_write_graph";
using GraphModuleEntry = decltype(&kinvalo_cli_write_graph);

// A GraphRunner: WriteGraph from the graph module, found beside the program
// (in the build folder) or, installed, in the module folder relative to it.
// A module that cannot be loaded is said on `err` in one line, and the
// status is 1.
int WriteGraphFromModule(const GraphCommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace kinvalo
