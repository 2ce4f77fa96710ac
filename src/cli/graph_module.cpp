// The entry point of the graph module.
#include "cli/graph_module.h"

#include <exception>
#include <ostream>

#include "cli/write_graph.h"

extern "C" __attribute__((visibility("default"))) int kinvalo_cli_write_graph(
    const kinvalo::GraphCommandLine* line, std::ostream* out, std::ostream* err) {
  // Nothing is thrown across the boundary of the module.
  try {
    return kinvalo::WriteGraph(*line, *out, *err);
  } catch (const std::exception& e) {
    *err << e.what() << '\n';
    return 1;
  }
}
