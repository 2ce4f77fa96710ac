#pragma once
// kinvalo-cli graph, once its command line is read: the graph drawn with
// Qt and saved. The tests call it directly; kinvalo-cli loads it from its
// graph module (cli/graph_module.cpp).
#include <iosfwd>

#include "cli/graph_command_line.h"

namespace kinvalo {

// A GraphRunner: draws as the window does when the user has clicked
// through to the same options, and saves the picture.
int WriteGraph(const GraphCommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace kinvalo
