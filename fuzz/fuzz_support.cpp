#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/output_reader.h"
#include "graphs/graph_command.h"
#include "support/recording_canvas.h"

namespace kinvalo::fuzz {

namespace {

struct Folder {
  std::string path;
  Folder() {
    namespace fs = std::filesystem;
    std::error_code ec;
    // Memory-backed when the system has it: the targets write files on
    // every run.
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    path = (base / ("kinvalo-fuzz-" + std::to_string(::getpid()))).string();
    fs::remove_all(path, ec);
    fs::create_directories(path);
  }
  ~Folder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

struct Variant {
  bool calcObs, colour, regressionLine, belt, block, combined;
};

}  // namespace

const std::string& WorkFolder() {
  static const Folder folder;
  return folder.path;
}

std::string WriteInput(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = WorkFolder() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  Require(static_cast<bool>(out), "the fuzz input could not be written");
  return path;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void Broken(const char* what) {
  std::fprintf(stderr, "\n*** Broken promise: %s\n", what);
  std::abort();
}

int DrawEveryGraph(const std::string& path) {
  static constexpr Variant kVariants[] = {
      {false, true, false, true, true, false},
      {false, true, true, false, false, true},
      {false, false, true, true, true, false},
      {true, true, false, true, false, false},
  };
  int drawn = 0;
  for (const Variant& v : kVariants) {
    GraphOptions options;
    options.calcObs = v.calcObs;
    options.colour = v.colour;
    options.regressionLine = v.regressionLine;
    options.belt = v.belt;
    options.block = v.block;
    test::RecordingCanvas canvas;
    try {
      const OutputReadResult read = ReadOutputFile(path, FunctionType::NoRelation);
      if (!read.model) continue;
      options.combined = v.combined && HasHorizontalSegment(read.model->type) && FileShowsBothTypes(*read.model);
      const Redrawn redrawn =
          RedrawGraph(path, options, PreparedTypeOf(*read.model, options.calcObs), canvas);
      if (redrawn.failure) std::rethrow_exception(redrawn.failure);
      if (redrawn.drawing.drawn) ++drawn;
    } catch (const std::exception&) {
      // A graph refused with its reason: the commands show it and go on.
    }
  }
  return drawn;
}

}  // namespace kinvalo::fuzz
