#pragma once
// Temporary files left by a run that was killed while writing: each as large
// as the file it was to become (tens of megabytes for a large .out). A later
// run of the same result set removes them.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace kinvalo {

// A temporary file's name taken apart.
struct TemporaryName {
  std::string target;  // the name of the file it was to become, no folder
  long pid = 0;        // the process that wrote it
};

// A temporary file of this program (IsKinvaloTemporaryName) taken apart:
// "<target name, cut to 200 bytes>.kinvalo-<pid>-<16 hex digits>.tmp". Any
// other name, and a pid that cannot be a process, gives nothing.
std::optional<TemporaryName> ParseTemporaryName(const std::string& fileName);

// True while a process of this id may exist.
bool ProcessMayBeRunning(long pid);

// Removes, in the folder of `inputPath`, the temporary files of this
// program whose target is a file of this input's result set (the input
// itself, its .out, .txt, .var and .lsq) and whose writer cannot still be running:
// its process no longer exists, or the file was last written more than
// `maxAge` ago. Nothing else in the folder is touched; a file that cannot be
// removed is left. Returns the names removed.
std::vector<std::string> RemoveLeftovers(const std::string& inputPath,
                                         std::chrono::hours maxAge = std::chrono::hours(24));

}  // namespace kinvalo
