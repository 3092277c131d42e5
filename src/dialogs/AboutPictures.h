#pragma once

#include <QPixmap>

// The about box's pictures, drawn by the program.
namespace AboutPictures {
QPixmap Globe(); // 48 x 48
QPixmap Windows(); // 48 x 48
QPixmap Prompt(); // 48 x 48
QPixmap Banner(); // 300 x 50
} // namespace AboutPictures
