#include "core/leftovers.h"

#include <signal.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <system_error>

#include "core/paths.h"

namespace kinvalo {

namespace {

bool AllOf(const std::string& text, const char* alphabet) {
  return text.find_first_not_of(alphabet) == std::string::npos;
}

}  // namespace

std::optional<TemporaryName> ParseTemporaryName(const std::string& fileName) {
  static const std::string kMark = ".kinvalo-";
  static const std::string kEnd = ".tmp";
  if (fileName.size() <= kEnd.size() || fileName.compare(fileName.size() - kEnd.size(), kEnd.size(), kEnd) != 0) {
    return std::nullopt;
  }
  const std::string rest = fileName.substr(0, fileName.size() - kEnd.size());
  const size_t mark = rest.rfind(kMark);
  if (mark == std::string::npos || mark == 0) return std::nullopt;
  const std::string idAndHex = rest.substr(mark + kMark.size());
  const size_t dash = idAndHex.find('-');
  if (dash == std::string::npos) return std::nullopt;
  const std::string pid = idAndHex.substr(0, dash);
  const std::string hex = idAndHex.substr(dash + 1);
  if (pid.empty() || pid.size() > 10 || pid[0] == '0' || !AllOf(pid, "0123456789")) return std::nullopt;
  if (hex.empty() || hex.size() > 16 || !AllOf(hex, "0123456789abcdef")) return std::nullopt;
  const long long value = std::stoll(pid);
  if (value > INT_MAX) return std::nullopt;
  return TemporaryName{rest.substr(0, mark), static_cast<long>(value)};
}

bool ProcessMayBeRunning(long pid) {
  if (pid <= 0 || pid > INT_MAX) return false;  // 0 and -1 would mean a group, not a process
  if (::kill(static_cast<pid_t>(pid), 0) == 0) return true;
  return errno != ESRCH;  // EPERM: it runs under another user
}

std::vector<std::string> RemoveLeftovers(const std::string& inputPath, std::chrono::hours maxAge) {
  namespace fs = std::filesystem;
  std::vector<std::string> targets;
  for (const char* extension : {".inp", ".out", ".txt", ".var"}) {
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
    for (const std::string& target : targets) ours = ours || temporary->target == target;
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
