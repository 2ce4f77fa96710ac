#include "core/leftovers.h"

#include <signal.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <system_error>

#include "core/paths.h"
#include "core/textfile.h"

namespace kinvalo {

std::optional<TemporaryName> ParseTemporaryName(const std::string& fileName) {
  long pid = 0;
  if (!IsKinvaloTemporaryName(fileName, &pid) || pid <= 0 || pid > INT_MAX) return std::nullopt;
  const size_t mark = fileName.rfind(".kinvalo-");
  // The writer never puts a zero before a pid.
  if (mark == std::string::npos || mark == 0 || fileName[mark + 9] == '0') return std::nullopt;
  return TemporaryName{fileName.substr(0, mark), pid};
}

namespace {

// True when a temporary file made for `temporaryTarget` was to become
// `target`: the same name, or for a long name its first bytes as the
// writer keeps them.
bool SameTarget(const std::string& temporaryTarget, const std::string& target) {
  if (temporaryTarget == target) return true;
  // A cut never goes back more than the 3 continuation bytes of a character.
  return target.size() > kTemporaryKeptNameBytes && temporaryTarget.size() + 4 > kTemporaryKeptNameBytes &&
         temporaryTarget.size() < target.size() &&
         target.compare(0, temporaryTarget.size(), temporaryTarget) == 0;
}

}  // namespace

bool ProcessMayBeRunning(long pid) {
  if (pid <= 0 || pid > INT_MAX) return false;  // 0 and -1 would mean a group, not a process
  if (::kill(static_cast<pid_t>(pid), 0) == 0) return true;
  return errno != ESRCH;  // EPERM: it runs under another user
}

std::vector<std::string> RemoveLeftovers(const std::string& inputPath, std::chrono::hours maxAge) {
  namespace fs = std::filesystem;
  std::vector<std::string> targets;
  for (const char* extension : {".inp", ".out", ".txt", ".var", ".lsq"}) {
    targets.push_back(ExtractFileName(ChangeFileExt(inputPath, extension)));
  }
  targets.push_back(ExtractFileName(inputPath));

  std::vector<std::string> removed;
  const std::string folder = ExtractFilePath(inputPath);
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
  if (ec) return removed;
  const auto oldest = fs::file_time_type::clock::now() - maxAge;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const fs::directory_entry& entry = *it;
    const std::string name = entry.path().filename().string();
    const std::optional<TemporaryName> temporary = ParseTemporaryName(name);
    if (!temporary) continue;
    bool ours = false;
    for (const std::string& target : targets) ours = ours || SameTarget(temporary->target, target);
    if (!ours) continue;
    std::error_code fileError;
    // Only plain files: a link of that name is not one this program made.
    if (!entry.is_regular_file(fileError) || entry.is_symlink(fileError)) continue;
    const auto written = entry.last_write_time(fileError);
    if (fileError) continue;
    if (ProcessMayBeRunning(temporary->pid) && written >= oldest) continue;
    if (fs::remove(entry.path(), fileError)) removed.push_back(name);
  }
  return removed;
}

}  // namespace kinvalo
