#include "data/output_reader.h"

namespace kinvalo {

void ReadOutputFile(AppState&) {}
void ProbeOutputFile(AppState&) {}
void LoadResultText(AppState&, const std::string&, bool&, const std::string&) {}

}  // namespace kinvalo
