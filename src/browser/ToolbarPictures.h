#pragma once

#include <QIcon>
#include <QList>

// The browser window's own pictures, drawn by the program: 14 large (32 x 32)
// and 13 small (16 x 16) for the main toolbar, 2 for the "Go Net" strip. Drawn
// once, for every window the frame holds.
struct ToolbarPictures
{
    ToolbarPictures();
    QList<QIcon> large, small, gnet;
};

// Picture numbers of Toolbar1's nine buttons in each list. The small list has one
// picture fewer: Properties is its 13th.
inline const QList<int> LargeButtonPictures = { 7, 6, 2, 1, 5, 9, 10, 11, 14 };
inline const QList<int> SmallButtonPictures = { 7, 6, 2, 1, 5, 9, 10, 11, 13 };
