#pragma once
// Path helpers. Every result file shares the folder and base name of the
// input file and differs only in its extension.
#include <string>

namespace kinvalo {

// Replaces what follows the last "." after the last path delimiter (the dot
// included) by `extension` (".out"); a name without one gets it appended.
std::string ChangeFileExt(const std::string& path, const std::string& extension);
// The extension with its dot, in lower case: ".inp" of "Trial.INP"; ""
// for a name without one.
std::string LowerCaseExtension(const std::string& path);
// The name without its folder.
std::string ExtractFileName(const std::string& path);
// The folder up to and including the last path delimiter ("" when none).
std::string ExtractFilePath(const std::string& path);
bool FileExists(const std::string& path);
// Removes a file if it is there; false only when it is there and stays.
bool DeleteFile(const std::string& path);

}  // namespace kinvalo
