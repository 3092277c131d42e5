#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class TreeView;

// What a scan of the Favorites folder found: its immediate sub-folders and the
// files directly in it and in each of them, all in listing order.
struct FavoritesScan
{
    struct SubFolder
    {
        QString path;      // full path
        QString name;      // the part after the last separator
        QStringList files; // names
    };

    QString folder;
    QList<SubFolder> subFolders;
    QStringList files; // names of the files lying in the folder itself

    // Nodes the tree gets: the root, one per sub-folder, one per file.
    int nodeCount() const;
};

// One level deep. An empty folder name, a folder that cannot be listed, or a
// sub-folder that leads back to the folder (or above it) gives no entries there.
FavoritesScan ScanFavorites(const QString &folder);

// A shortcut node's text: the file name without its last four characters.
QString FavoriteText(const QString &fileName);

// Fills the Favorites tree from a folder: the root, its sub-folders and the files
// in it and in them. showFrame runs at the moment the start-up shows the frame.
void LoadFavoritesTree(TreeView *tree, const QString &folder, bool startUp,
                       const std::function<void()> &showFrame);

namespace Module1 {
// code 6 is the Favorites folder: <home>/Favorites, or "" when it does not exist.
QString GetSpecialFolder(int code, const QString &homeDir);
}
