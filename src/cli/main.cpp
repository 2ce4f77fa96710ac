#include <iostream>
#include <string>
#include <vector>

#include "cli/batch.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return kinvalo::RunBatch(args, std::cout, std::cerr);
}
