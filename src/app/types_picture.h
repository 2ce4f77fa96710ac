#pragma once
// The picture on the input tab that explains the two partial regression
// types, drawn by the program itself.
#include <QPixmap>

namespace kinvalo::app {

inline constexpr int kTypesPictureWidth = 280;
inline constexpr int kTypesPictureHeight = 230;

QPixmap DrawTypesPicture();

}  // namespace kinvalo::app
