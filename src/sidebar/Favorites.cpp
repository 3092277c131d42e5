#include "sidebar/Favorites.h"

#include "frame/TreeView.h"

#include <QDir>

void LoadFavoritesTree(TreeView *tree, const QString &folder, bool startUp,
                       const std::function<void()> &showFrame)
{
    if (!startUp)
        tree->Clear();
    QTreeWidgetItem *root = tree->Add(nullptr, TreeView::First, QStringLiteral("Favorites"),
                                      startUp ? QStringLiteral("Favorites2")
                                              : QStringLiteral("Favorites"));
    if (startUp && showFrame)
        showFrame();
    Q_UNUSED(folder);
    root->setText(0, root->text(0) + QStringLiteral(" (") + QString::number(tree->Count())
                          + QLatin1Char(')'));
    root->setExpanded(true);
}

QString Module1::GetSpecialFolder(int code, const QString &homeDir)
{
    if (code != 6)
        return QString();
    const QString path = QDir(homeDir).filePath(QStringLiteral("Favorites"));
    return QDir(path).exists() ? path : QString();
}
