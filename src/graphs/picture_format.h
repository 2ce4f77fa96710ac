#pragma once
// The kinds of file a graph is saved as, told by the file's name: the
// batch command checks its command line with it before anything is drawn.
#include <cstdint>
#include <optional>
#include <string>

namespace kinvalo {

enum class PictureFormat : std::uint8_t { Bmp, Png, Svg, Pdf };

// The format a file name asks for by its ending (any case); none for any
// other name.
std::optional<PictureFormat> PictureFormatOf(const std::string& path);

}  // namespace kinvalo
