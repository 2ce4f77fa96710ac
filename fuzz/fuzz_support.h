#pragma once
// What every fuzz target shares: a private folder for the files it reads
// and writes, a check that stops the run when a promise is broken, and the
// graph commands replayed on a recording canvas.
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/working_data.h"

namespace kinvalo::fuzz {

// The folder of this process, made on first use and removed at exit.
const std::string& WorkFolder();

// Writes the bytes to `name` in the work folder and returns the path.
std::string WriteInput(const std::string& name, const std::uint8_t* data, std::size_t size);

// The whole file, or "<missing>" when it cannot be read.
std::string FileBytes(const std::string& path);

// Reports a broken promise and aborts, so that the fuzzer keeps the input.
[[noreturn]] void Broken(const char* what);
inline void Require(bool holds, const char* what) {
  if (!holds) Broken(what);
}

// The graph commands on the output file at `path`, as the batch graph
// command runs them, once for each way of showing a graph: lines through
// the breakpoint with belt and block, the regression lines (combined when
// the file holds both types), black and white, and observed against
// calculated. Returns how many graphs were drawn. Expected refusals
// (std::exception) are part of the game.
int DrawEveryGraph(const std::string& path);

}  // namespace kinvalo::fuzz
