#include "graphs/picture_format.h"

#include "core/paths.h"

namespace kinvalo {

std::optional<PictureFormat> PictureFormatOf(const std::string& path) {
  const std::string extension = LowerCaseExtension(path);
  if (extension == ".bmp") return PictureFormat::Bmp;
  if (extension == ".png") return PictureFormat::Png;
  if (extension == ".svg") return PictureFormat::Svg;
  if (extension == ".pdf") return PictureFormat::Pdf;
  return std::nullopt;
}

}  // namespace kinvalo
