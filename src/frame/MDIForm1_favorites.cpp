// Opening a favourite from the side bar's Favorites tree.
#include "frame/MDIForm1.h"

#include "forms/TreeView.h"
#include "sidebar/Shortcut.h"

void MDIForm1::TreeFavor_DblClick()
{
    const QList<QTreeWidgetItem *> selected = TreeFavor->selectedItems();
    if (selected.isEmpty())
        return;
    const QString path = TreeView::Key(selected.first());
    // Sub-folders have no key; the root is no shortcut either.
    if (path.isEmpty() || path == QLatin1String("Favorites"))
        return;

    // A file gone or unreadable since the build opens nothing, like one without
    // an address line.
    const std::optional<QString> address = ReadShortcutAddress(path);
    if (!address)
        return;
    TreeFavor->viewport()->update();
    openWindow({ *address }, nullptr);
}
