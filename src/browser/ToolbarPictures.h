#pragma once

#include <QIcon>
#include <QList>

// The browser window's own pictures, drawn by the program: 14 large (32 x 32)
// and 13 small (16 x 16) for the main toolbar, 2 for the "Go Net" strip.
QList<QIcon> LargeToolbarPictures();
QList<QIcon> SmallToolbarPictures();
QList<QIcon> GnetPictures();
