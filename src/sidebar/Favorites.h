#pragma once

#include <QString>
#include <functional>

class TreeView;

// Fills the Favorites tree from a folder: the root, its sub-folders and the files
// in it and in them. showFrame runs at the moment the start-up shows the frame.
void LoadFavoritesTree(TreeView *tree, const QString &folder, bool startUp,
                       const std::function<void()> &showFrame);

namespace Module1 {
// code 6 is the Favorites folder: <home>/Favorites, or "" when it does not exist.
QString GetSpecialFolder(int code, const QString &homeDir);
}
