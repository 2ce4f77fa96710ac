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
#include "graphs/graph_prep.h"
#include "support/recording_canvas.h"
#include "support/scripted_platform.h"

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
  std::uint8_t mode;
  bool colour, regressionLine, belt, block, combined;
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
      {0, true, false, true, true, false},
      {0, true, true, false, false, true},
      {0, false, true, true, true, false},
      {3, true, false, true, false, false},
  };
  int drawn = 0;
  for (const Variant& v : kVariants) {
    test::ScriptedPlatform platform;
    AppState s(platform);
    GraphState& g = s.Graph;
    s.DM.FileName = path;
    g.GraphMode = v.mode;
    g.ColourGraph = v.colour;
    g.ShowRegressionLine = v.regressionLine;
    g.ShowBelt = v.belt;
    g.ShowBlock = v.block;
    test::RecordingCanvas canvas;
    try {
      if (!ProbeOutputFile(s)) continue;
      ReadOutputFile(s);
      if (s.DM.NotOutputFile) continue;
      if (v.combined && (g.FileType == 3 || g.FileType == 4) && FileShowsBothTypes(s)) {
        s.R.BothTypesFound = true;
        g.CombineTypes = true;
        g.CombinedShown = true;
        s.Controls.ZtypeButtonCaption = "Show best of the two";
      }
      SelectGraphData(s);
      if (RedrawGraph(s, canvas)) ++drawn;
    } catch (const std::exception&) {
      // A graph refused with its reason: the commands show it and go on.
    }
  }
  return drawn;
}

}  // namespace kinvalo::fuzz
