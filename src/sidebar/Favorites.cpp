#include "sidebar/Favorites.h"

#include "forms/TreeView.h"
#include "sidebar/FolderList.h"

#include <QDir>
#include <QFileInfo>

namespace {

// True when following this folder would lead back into `folder` or above it:
// a link to the Favorites folder itself or to one of its parents. `self` is the
// folder's canonical path.
bool leadsBackInto(const QString &subFolder, const QString &self)
{
    const QString target = QFileInfo(subFolder).canonicalFilePath();
    if (target.isEmpty() || self.isEmpty())
        return true;
    const QString prefix = target.endsWith(QLatin1Char('/')) ? target : target + QLatin1Char('/');
    return self == target || self.startsWith(prefix);
}

QString keyOf(const QString &folder, const QString &name)
{
    return folder + QLatin1Char('/') + name;
}

} // namespace

int FavoritesScan::nodeCount() const
{
    int n = 1 + subFolders.size() + files.size();
    for (const SubFolder &sub : subFolders)
        n += sub.files.size();
    return n;
}

FavoritesScan ScanFavorites(const QString &folder)
{
    FavoritesScan scan;
    scan.folder = folder;
    if (folder.isEmpty())
        return scan;

    FolderList dirs;
    dirs.setPath(folder);
    FileList files;
    files.setPath(dirs.Path());
    for (int j = 0; j < files.ListCount(); ++j)
        scan.files.append(files.List(j));

    const QString self = QFileInfo(folder).canonicalFilePath();
    for (int i = dirs.ListIndex() + 1; i < dirs.ListCount(); ++i) {
        FavoritesScan::SubFolder sub;
        sub.path = dirs.List(i);
        sub.name = QFileInfo(sub.path).fileName();
        if (!leadsBackInto(sub.path, self)) {
            files.setPath(sub.path);
            for (int j = 0; j < files.ListCount(); ++j)
                sub.files.append(files.List(j));
        }
        scan.subFolders.append(sub);
    }
    return scan;
}

QString FavoriteText(const QString &fileName)
{
    // Shorter names than the cut leave nothing, as a name of exactly four does.
    return fileName.left(qMax(0, fileName.size() - 4));
}

void LoadFavoritesTree(TreeView *tree, const QString &folder, bool startUp,
                       const std::function<void()> &showFrame)
{
    if (!startUp)
        tree->Clear();
    const QString rootText = startUp ? QStringLiteral("Favorites2") : QStringLiteral("Favorites");
    QTreeWidgetItem *root = tree->Add(nullptr, startUp ? TreeView::Child : TreeView::First,
                                      QStringLiteral("Favorites"), rootText);
    const int rootIndex = tree->Count();
    // The frame is on screen while the tree fills. Showing it lets pending events
    // run; should one of them have rebuilt the tree, that build stands.
    if (startUp && showFrame) {
        showFrame();
        root = tree->Item(rootIndex);
        if (!root || tree->Count() != rootIndex || root->text(0) != rootText
            || TreeView::Key(root) != QLatin1String("Favorites"))
            return;
    }

    const FavoritesScan scan = ScanFavorites(folder);

    QList<QTreeWidgetItem *> subNodes;
    for (const FavoritesScan::SubFolder &sub : scan.subFolders) {
        QTreeWidgetItem *node = tree->Add(root, TreeView::Child, QString(), sub.name);
        node->setExpanded(false);
        subNodes.append(node);
    }
    for (const QString &name : scan.files)
        tree->Add(root, TreeView::Child, keyOf(scan.folder, name), FavoriteText(name));
    for (int i = 0; i < scan.subFolders.size(); ++i) {
        const FavoritesScan::SubFolder &sub = scan.subFolders.at(i);
        for (const QString &name : sub.files)
            tree->Add(subNodes.at(i), TreeView::Child, keyOf(sub.path, name),
                      FavoriteText(name));
    }

    root->setText(0, root->text(0) + QStringLiteral(" (") + QString::number(tree->Count())
                          + QLatin1Char(')'));
    root->setExpanded(true);
}

QString Module1::GetSpecialFolder(int code, const QString &homeDir)
{
    if (code != 6 || homeDir.isEmpty())
        return QString();
    const QString path = QDir(homeDir).filePath(QStringLiteral("Favorites"));
    return QFileInfo(path).isDir() ? path : QString();
}
