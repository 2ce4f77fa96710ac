#include "core/paths.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace kinvalo {

namespace {
size_t LastDelimiter(const std::string& path) {
  return path.find_last_of("/\\");
}
}  // namespace

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
  const size_t slash = LastDelimiter(path);
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return path + extension;
  }
  return path.substr(0, dot) + extension;
}

std::string LowerCaseExtension(const std::string& path) {
  std::string extension = path.substr(ChangeFileExt(path, "").size());
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

std::string ExtractFileName(const std::string& path) {
  const size_t slash = LastDelimiter(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFilePath(const std::string& path) {
  const size_t slash = LastDelimiter(path);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

bool DeleteFile(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  return !FileExists(path);
}

}  // namespace kinvalo
