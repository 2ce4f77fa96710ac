// Finding and loading the graph module: WriteGraphFromModule.
#include <dlfcn.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>

#include "cli/graph_module.h"

namespace kinvalo {

namespace {

// The module of this program: beside it when there is one there (the build
// folder), else where the installation puts it.
std::filesystem::path GraphModulePath() {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
  const std::filesystem::path beside = folder / KINVALO_GRAPH_MODULE;
  if (std::filesystem::exists(beside, ec)) return beside;
  return (folder / KINVALO_GRAPH_MODULE_DIR / KINVALO_GRAPH_MODULE).lexically_normal();
}

}  // namespace

int WriteGraphFromModule(const GraphCommandLine& line, std::ostream& out, std::ostream& err) {
  const std::string path = GraphModulePath().string();
  // Never closed: Qt's objects in it live until the program ends.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  const auto entry =
      module != nullptr ? reinterpret_cast<GraphModuleEntry>(dlsym(module, kGraphModuleEntry)) : nullptr;
  if (entry == nullptr) {
    // dlerror names the file first when the fault is the file's own.
    const char* error = dlerror();
    std::string reason = error != nullptr ? error : "it has no entry point";
    if (reason.starts_with(path + ": ")) reason.erase(0, path.size() + 2);
    err << "kinvalo-cli cannot load " << path << ", which draws the graphs: " << reason << '\n';
    return 1;
  }
  return entry(&line, &out, &err);
}

}  // namespace kinvalo
