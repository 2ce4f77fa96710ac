#include <iostream>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/graph_module.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // Qt and the drawing are loaded only for the graph command.
  return kinvalo::RunBatch(args, std::cout, std::cerr, kinvalo::WriteGraphFromModule);
}
